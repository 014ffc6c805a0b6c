#pragma once

/* The only code that talks to libjpeg. It is C on purpose: libjpeg reports fatal
   errors through a longjmp back into qv_jpeg_read_header / qv_jpeg_decode, and a
   longjmp must not skip a C++ destructor. Nothing here raises or allocates
   outside libjpeg's own pools; every failure comes back as a status code and a
   message, which the C++ side turns into EInvalidGraphic. */

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum QvJpegStatus {
    QV_JPEG_OK = 0,
    QV_JPEG_ERROR = 1,       /* libjpeg rejected the data; message holds its text */
    QV_JPEG_TOO_LARGE = 2,   /* width x height above the caller's limit */
    QV_JPEG_UNSUPPORTED = 3, /* a colour layout the decoder does not convert */
    QV_JPEG_TOO_MANY_SCANS = 4,
    QV_JPEG_BAD_BUFFER = 5   /* the output buffer does not fit the image */
};

enum QvJpegColour {
    QV_JPEG_GRAY = 1,
    QV_JPEG_RGB = 2,  /* YCbCr or RGB data */
    QV_JPEG_CMYK = 3, /* CMYK or YCCK data */
    QV_JPEG_OTHER = 4
};

typedef struct QvJpegHeader {
    unsigned width;
    unsigned height;
    int components;
    int colour;      /* enum QvJpegColour */
    int adobe;       /* an Adobe APP14 marker was seen (CMYK values stored inverted) */
    int progressive;
} QvJpegHeader;

/* Reads the header of the JPEG in [data, data + size). */
int qv_jpeg_read_header(const unsigned char* data, size_t size, QvJpegHeader* header, char* message,
                        size_t message_size);

/* Decodes the JPEG into 24-bit B, G, R rows: image row r goes to
   out + r * stride (top_down) or out + (height - 1 - r) * stride.
   Before decompression starts it rejects width x height above max_pixels
   (computed in 64 bits) and an image whose size differs from expect_width x
   expect_height; while reading it rejects more than max_scans scans. A stream
   that ends early decodes as far as it goes (the rest stays as libjpeg fills
   it). */
int qv_jpeg_decode(const unsigned char* data, size_t size, unsigned expect_width, unsigned expect_height,
                   unsigned long long max_pixels, unsigned max_scans, unsigned char* out, size_t out_size,
                   size_t stride, int top_down, char* message, size_t message_size);

#ifdef __cplusplus
}
#endif
