#include "app/InstanceName.h"

#include "framework/core/FileNames.h"
#include "framework/core/SysUtils.h"

std::string InstanceName(std::string_view exePath) {
    return UpperCase(ExtractFileName(exePath));
}
