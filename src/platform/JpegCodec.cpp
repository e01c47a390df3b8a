#include "platform/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace treskel {

namespace {

// The library reports a fatal error through error_exit, which must not
// return: it jumps back to JpegDecode, which raises the exception once the
// library's frames are gone.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// Warnings (damaged data the library can step over) are not shown.
void OutputMessage(j_common_ptr) {}

constexpr uint64_t kMostPixelsPerByte = 4096;

// Progressive files may hold any number of scans; a picture needs few.
constexpr int kMaxScans = 1000;

void Progress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) ERREXIT(cinfo, JERR_NOTIMPL);
    }
}

// The compressed bytes come from a stream of ours.
struct StreamSource {
    jpeg_source_mgr pub;
    TStream* stream;
    JOCTET buffer[4096];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<StreamSource*>(cinfo->src);
    int64_t n = 0;
    try {
        n = src->stream->Read(src->buffer, sizeof src->buffer);
    } catch (const Exception&) {
        n = -1;
    }
    // A file cut short is damaged: no half picture.
    if (n <= 0) ERREXIT(cinfo, JERR_INPUT_EOF);
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<size_t>(n);
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    auto* src = &cinfo->src[0];
    while (count > 0) {
        if (static_cast<size_t>(count) <= src->bytes_in_buffer) {
            src->next_input_byte += count;
            src->bytes_in_buffer -= static_cast<size_t>(count);
            return;
        }
        count -= static_cast<long>(src->bytes_in_buffer);
        src->bytes_in_buffer = 0;
        FillInputBuffer(cinfo);
    }
}

// Four inks to three colours; files that carry the Adobe marker store the
// inks inverted.
void CmykToBgr(const uint8_t* cmyk, uint8_t* bgr, int width, bool inverted) {
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = static_cast<uint8_t>(y * k / 255);
        bgr[1] = static_cast<uint8_t>(m * k / 255);
        bgr[2] = static_cast<uint8_t>(c * k / 255);
    }
}

}  // namespace

bool LooksLikeJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

void JpegDecode(TStream& stream, TRasterImage& image) {
    // Everything that owns memory lives outside the jump's reach.
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    StreamSource source{};
    jpeg_progress_mgr progress{};
    std::vector<uint8_t> cmykRow;
    int code = 0;

    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.output_message = OutputMessage;
    if (setjmp(err.jump) != 0) {
        code = err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        throw EJPEG(Format("JPEG error #%d", code));
    }
    jpeg_create_decompress(&cinfo);
    const int64_t available = stream.Size() - stream.Position();
    progress.progress_monitor = Progress;
    cinfo.progress = &progress;
    source.stream = &stream;
    source.pub.init_source = InitSource;
    source.pub.fill_input_buffer = FillInputBuffer;
    source.pub.skip_input_data = SkipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = TermSource;
    cinfo.src = &source.pub;

    jpeg_read_header(&cinfo, TRUE);
    if (!RasterSizeAllowed(cinfo.image_width, cinfo.image_height)) ERREXIT(&cinfo, JERR_IMAGE_TOO_BIG);
    // No coder makes thousands of pixels of one byte: a file that short is
    // cut, and is refused before room for its pixels is taken.
    if (uint64_t{cinfo.image_width} * cinfo.image_height > kMostPixelsPerByte * static_cast<uint64_t>(available))
        ERREXIT(&cinfo, JERR_INPUT_EOF);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
    image.Allocate(width, height);
    if (cmyk) cmykRow.resize(static_cast<size_t>(width) * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW row = cmyk ? cmykRow.data() : image.Row(y);
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) CmykToBgr(cmykRow.data(), image.Row(y), width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

}  // namespace treskel
