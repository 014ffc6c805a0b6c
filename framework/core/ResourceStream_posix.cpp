// Native twin of ResourceStream_win.cpp: modules have no resources of their
// own here, only registered blobs.
#include "framework/core/ResourceStream.h"

bool fw_detail::FindModuleResource(TInstanceHandle, const TResourceName&, const TResourceName&,
                                   const void*&, std::size_t&) {
    return false;
}
