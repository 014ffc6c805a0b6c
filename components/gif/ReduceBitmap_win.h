#pragma once

#include <windows.h>

#include "framework/core/Types.h"

class TBitmap;
class TMemoryStream;

// Turns a bitmap of any depth into a BMP file of at most 8 bits with a
// palette (for 8 bits by one of the methods of ColorReduction.h), read
// through GetDIBits with a header of its own, so the source's compression,
// bit fields, colours-used count or top-down rows never reach the result.
// Returns a new stream at position 0, owned by the caller.
// - a bitmap without a handle raises EInvalidGraphic;
// - a bitmap already in the target format (method not grayscale) saves itself;
// - targets 1 and 4 bits are converted by the system, 8 bits by the method,
//   24 bits give the 24-bit image unreduced;
// - any other target, or a bitmap the system cannot read at 24 bits, shows
//   "Function not yet implemented" through the message hook and raises EAbort.
// Allocation failures raise EOutOfMemory with everything freed.
TMemoryStream* ReduceBitmapColors(TBitmap* bitmap, TPixelFormat target, int method);

// Shows an error message to the user; the default is a modal message box.
// Tests put in one that records the text instead.
using TReductionMessageHook = void (*)(const char* text);
TReductionMessageHook SetReductionMessageHook(TReductionMessageHook hook);
