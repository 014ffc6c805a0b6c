#include "components/gif/GifErrors.h"

#include "framework/core/Exceptions.h"

void GifRaise(const char* message) {
    throw EInvalidGraphicOperation(message);
}

void GifRaiseUnknownExtension(std::uint8_t label) {
    throw Exception::CreateFmt<EInvalidGraphicOperation>(kGifUnknownExtension, {unsigned(label)});
}

void GifRaiseReadError() {
    throw EReadError();
}
