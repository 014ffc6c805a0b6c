#include "framework/jpeg/JpegShim.h"

#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

/* The error manager: libjpeg's default one prints to stderr and calls exit().
   This one formats the message into the caller's buffer and jumps back to the
   entry point, which destroys the decompressor and returns a status. */
typedef struct Guard {
    struct jpeg_error_mgr base;
    jmp_buf jump;
    int status;
    char* message;
    size_t message_size;
    unsigned max_scans;
} Guard;

static void SetMessage(Guard* guard, const char* text) {
    if (guard->message == NULL || guard->message_size == 0) return;
    strncpy(guard->message, text, guard->message_size - 1);
    guard->message[guard->message_size - 1] = '\0';
}

static void OnError(j_common_ptr cinfo) {
    Guard* guard = (Guard*)cinfo->err;
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    SetMessage(guard, text);
    guard->status = QV_JPEG_ERROR;
    longjmp(guard->jump, 1);
}

/* Warnings (corrupt data, premature end) are not reported: the image decodes
   as far as it can. Nothing ever goes to stderr. */
static void OnMessage(j_common_ptr cinfo, int level) {
    (void)cinfo;
    (void)level;
}

static void OnOutput(j_common_ptr cinfo) { (void)cinfo; }

/* A progressive file may hold any number of scans, each a full pass over the
   coefficients: cap them so a small file cannot keep the decoder busy for minutes. */
typedef struct Progress {
    struct jpeg_progress_mgr base;
    Guard* guard;
} Progress;

static void OnProgress(j_common_ptr cinfo) {
    Progress* progress = (Progress*)cinfo->progress;
    if (cinfo->is_decompressor) {
        j_decompress_ptr d = (j_decompress_ptr)cinfo;
        if ((unsigned)d->input_scan_number > progress->guard->max_scans) {
            progress->guard->status = QV_JPEG_TOO_MANY_SCANS;
            SetMessage(progress->guard, "too many scans");
            longjmp(progress->guard->jump, 1);
        }
    }
}

/* The memory source. libjpeg asks for more data when the buffer is used up; the
   whole file is in the buffer from the start, so that can only mean the data
   ended early. Answering with an end-of-image marker (and a warning) makes
   libjpeg finish instead of asking again forever. */
static const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

static void InitSource(j_decompress_ptr cinfo) { (void)cinfo; }

static boolean FillInput(j_decompress_ptr cinfo) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kFakeEoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

static void SkipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    if ((unsigned long)count > cinfo->src->bytes_in_buffer) {
        /* Skipping past the end: all that is left is the end marker. */
        (void)FillInput(cinfo);
        return;
    }
    cinfo->src->next_input_byte += count;
    cinfo->src->bytes_in_buffer -= (size_t)count;
}

static void TermSource(j_decompress_ptr cinfo) { (void)cinfo; }

static void UseMemory(j_decompress_ptr cinfo, struct jpeg_source_mgr* source, const unsigned char* data,
                      size_t size) {
    source->init_source = InitSource;
    source->fill_input_buffer = FillInput;
    source->skip_input_data = SkipInput;
    source->resync_to_restart = jpeg_resync_to_restart;
    source->term_source = TermSource;
    source->next_input_byte = (const JOCTET*)data;
    source->bytes_in_buffer = size;
    cinfo->src = source;
}

static void Describe(j_decompress_ptr cinfo, QvJpegHeader* header) {
    header->width = cinfo->image_width;
    header->height = cinfo->image_height;
    header->components = cinfo->num_components;
    header->adobe = cinfo->saw_Adobe_marker ? 1 : 0;
    header->progressive = cinfo->progressive_mode ? 1 : 0;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE: header->colour = QV_JPEG_GRAY; break;
    case JCS_YCbCr:
    case JCS_RGB: header->colour = cinfo->num_components == 3 ? QV_JPEG_RGB : QV_JPEG_OTHER; break;
    case JCS_CMYK:
    case JCS_YCCK: header->colour = cinfo->num_components == 4 ? QV_JPEG_CMYK : QV_JPEG_OTHER; break;
    default: header->colour = QV_JPEG_OTHER; break;
    }
}

static void Prepare(j_decompress_ptr cinfo, Guard* guard, char* message, size_t message_size) {
    memset(cinfo, 0, sizeof *cinfo);
    memset(guard, 0, sizeof *guard);
    cinfo->err = jpeg_std_error(&guard->base);
    guard->base.error_exit = OnError;
    guard->base.emit_message = OnMessage;
    guard->base.output_message = OnOutput;
    guard->message = message;
    guard->message_size = message_size;
    if (message != NULL && message_size > 0) message[0] = '\0';
}

int qv_jpeg_read_header(const unsigned char* data, size_t size, QvJpegHeader* header, char* message,
                        size_t message_size) {
    struct jpeg_decompress_struct cinfo;
    struct jpeg_source_mgr source;
    Guard guard;
    Prepare(&cinfo, &guard, message, message_size);
    memset(header, 0, sizeof *header);
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return guard.status;
    }
    jpeg_create_decompress(&cinfo);
    UseMemory(&cinfo, &source, data, size);
    (void)jpeg_read_header(&cinfo, TRUE);
    Describe(&cinfo, header);
    jpeg_destroy_decompress(&cinfo);
    return QV_JPEG_OK;
}

/* Writes one decoded row as B, G, R. CMYK values from an Adobe file are stored
   inverted (0 = full ink): then C * K / 255 is the red value directly; plain
   CMYK is (255 - C) * (255 - K) / 255. */
static void StoreRow(const JSAMPLE* in, unsigned width, int colour, int adobe, unsigned char* out) {
    unsigned x;
    for (x = 0; x < width; ++x, out += 3) {
        if (colour == QV_JPEG_GRAY) {
            out[0] = out[1] = out[2] = in[x];
        } else if (colour == QV_JPEG_RGB) {
            const JSAMPLE* p = in + 3 * x;
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        } else {
            const JSAMPLE* p = in + 4 * x;
            unsigned c = p[0], m = p[1], y = p[2], k = p[3];
            if (!adobe) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            out[0] = (unsigned char)((y * k + 127) / 255);
            out[1] = (unsigned char)((m * k + 127) / 255);
            out[2] = (unsigned char)((c * k + 127) / 255);
        }
    }
}

int qv_jpeg_decode(const unsigned char* data, size_t size, unsigned expect_width, unsigned expect_height,
                   unsigned long long max_pixels, unsigned max_scans, unsigned char* out, size_t out_size,
                   size_t stride, int top_down, char* message, size_t message_size) {
    struct jpeg_decompress_struct cinfo;
    struct jpeg_source_mgr source;
    Guard guard;
    Progress progress;
    QvJpegHeader header;
    JSAMPARRAY row;
    Prepare(&cinfo, &guard, message, message_size);
    guard.max_scans = max_scans;
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return guard.status;
    }
    jpeg_create_decompress(&cinfo);
    UseMemory(&cinfo, &source, data, size);
    memset(&progress, 0, sizeof progress);
    progress.base.progress_monitor = OnProgress;
    progress.guard = &guard;
    cinfo.progress = &progress.base;
    (void)jpeg_read_header(&cinfo, TRUE);
    Describe(&cinfo, &header);

    if ((unsigned long long)header.width * (unsigned long long)header.height > max_pixels) {
        guard.status = QV_JPEG_TOO_LARGE;
        SetMessage(&guard, "image too large");
        longjmp(guard.jump, 1);
    }
    if (header.width != expect_width || header.height != expect_height || stride < 3ull * header.width ||
        (header.height > 0 && (out_size / stride < header.height))) {
        guard.status = QV_JPEG_BAD_BUFFER;
        SetMessage(&guard, "output buffer does not fit the image");
        longjmp(guard.jump, 1);
    }
    switch (header.colour) {
    case QV_JPEG_GRAY: cinfo.out_color_space = JCS_GRAYSCALE; break;
    case QV_JPEG_RGB: cinfo.out_color_space = JCS_RGB; break;
    case QV_JPEG_CMYK: cinfo.out_color_space = JCS_CMYK; break;
    default:
        guard.status = QV_JPEG_UNSUPPORTED;
        SetMessage(&guard, "unsupported colour format");
        longjmp(guard.jump, 1);
    }

    (void)jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != header.width || cinfo.output_height != header.height) {
        guard.status = QV_JPEG_BAD_BUFFER;
        SetMessage(&guard, "unexpected output size");
        longjmp(guard.jump, 1);
    }
    /* The row buffer lives in libjpeg's pool, so destroying the decompressor frees
       it on every path. */
    row = (*cinfo.mem->alloc_sarray)((j_common_ptr)&cinfo, JPOOL_IMAGE,
                                     cinfo.output_width * (JDIMENSION)cinfo.output_components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const JDIMENSION r = cinfo.output_scanline;
        unsigned char* target;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) break;
        target = out + (size_t)(top_down ? r : header.height - 1 - r) * stride;
        StoreRow(row[0], header.width, header.colour, header.adobe, target);
    }
    (void)jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return QV_JPEG_OK;
}
