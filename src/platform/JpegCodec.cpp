#include "platform/JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace treskel {

namespace {

// Why the decoder was stopped by us rather than by the library.
enum class Refusal { None, TooLarge, Cut, TooManyScans, TooMuchWork };

// The library reports a fatal error through error_exit, which must not
// return: it jumps back to TDecoder::Run, which raises the exception once
// the library's frames are gone.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    Refusal refusal = Refusal::None;
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// Warnings (damaged data the library can step over) are not shown.
void OutputMessage(j_common_ptr) {}

[[noreturn]] void Refuse(j_common_ptr cinfo, Refusal why, int code) {
    reinterpret_cast<ErrorManager*>(cinfo->err)->refusal = why;
    cinfo->err->msg_code = code;
    (*cinfo->err->error_exit)(cinfo);
    std::abort();  // error_exit does not return
}

constexpr uint64_t kMostPixelsPerByte = 4096;

// Progressive files may hold any number of scans, and each scan costs a
// pass over the blocks it covers; a picture needs few.  The work is
// bounded before each scan is read: at most so many passes over every
// block on average (the usual progression makes about five), and at least
// the work of a few million blocks, which takes a small fraction of a
// second, for small pictures of many scans.
constexpr int kMaxScans = 1000;
constexpr uint64_t kMostPassesPerBlock = 16;
constexpr uint64_t kLeastBlockWork = uint64_t{1} << 22;

struct WorkMonitor {
    jpeg_progress_mgr pub;
    int scan = 0;          // the last scan counted
    uint64_t work = 0;     // blocks of the scans counted so far
    uint64_t budget = 0;   // the most blocks all scans may cover
};

uint64_t Blocks(const jpeg_component_info& c) { return uint64_t{c.width_in_blocks} * c.height_in_blocks; }

// Called before each step of reading the scans: a scan newly begun is
// counted, and refused when it would pass the budget, before its data.
void Progress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* m = reinterpret_cast<WorkMonitor*>(cinfo->progress);
    if (d->input_scan_number == m->scan) return;
    m->scan = d->input_scan_number;
    if (m->scan > kMaxScans) Refuse(cinfo, Refusal::TooManyScans, JERR_NOTIMPL);
    for (int i = 0; i < d->comps_in_scan; ++i) m->work += Blocks(*d->cur_comp_info[i]);
    if (m->work > m->budget) Refuse(cinfo, Refusal::TooMuchWork, JERR_NOTIMPL);
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

// A decompressor over a stream, destroyed with everything the library took
// for it on every road out.  Only Run calls into the library.
class TDecoder {
public:
    explicit TDecoder(TStream& stream) : available_(stream.Size() - stream.Position()) {
        cinfo_.err = jpeg_std_error(&err_.pub);
        err_.pub.error_exit = ErrorExit;
        err_.pub.output_message = OutputMessage;
        monitor_.pub.progress_monitor = Progress;
        source_.stream = &stream;
        source_.pub.init_source = InitSource;
        source_.pub.fill_input_buffer = FillInputBuffer;
        source_.pub.skip_input_data = SkipInputData;
        source_.pub.resync_to_restart = jpeg_resync_to_restart;
        source_.pub.term_source = TermSource;
        Run([this] {
            jpeg_create_decompress(&cinfo_);
            cinfo_.progress = &monitor_.pub;
            cinfo_.src = &source_.pub;
        });
    }
    ~TDecoder() { jpeg_destroy_decompress(&cinfo_); }
    TDecoder(const TDecoder&) = delete;
    TDecoder& operator=(const TDecoder&) = delete;

    // Runs steps of the library; its fatal errors raise EJPEG.  The steps
    // hold nothing that needs destroying: the library's error jumps over
    // them.
    template <class F>
    void Run(F steps) {
        if (setjmp(err_.jump) != 0) Raise();
        steps();
    }

    // Reads the header and refuses a picture too large, or larger than its
    // file can hold, before anything is decoded.
    void ReadHeader() {
        Run([this] {
            jpeg_read_header(&cinfo_, TRUE);
            j_common_ptr common = reinterpret_cast<j_common_ptr>(&cinfo_);
            if (!RasterSizeAllowed(cinfo_.image_width, cinfo_.image_height))
                Refuse(common, Refusal::TooLarge, JERR_IMAGE_TOO_BIG);
            // No coder makes thousands of pixels of one byte: a file that
            // short is cut.
            if (uint64_t{cinfo_.image_width} * cinfo_.image_height > kMostPixelsPerByte * static_cast<uint64_t>(available_))
                Refuse(common, Refusal::Cut, JERR_INPUT_EOF);
            uint64_t blocks = 0;
            for (int i = 0; i < cinfo_.num_components; ++i) blocks += Blocks(cinfo_.comp_info[i]);
            monitor_.budget = std::max(kMostPassesPerBlock * blocks, kLeastBlockWork);
        });
    }

    jpeg_decompress_struct& Info() { return cinfo_; }

private:
    [[noreturn]] void Raise() {
        const int code = err_.pub.msg_code;
        std::string words;
        switch (err_.refusal) {
            case Refusal::TooLarge:
                words = Format("the picture is too large (%u x %u pixels)", cinfo_.image_width, cinfo_.image_height);
                break;
            case Refusal::Cut: words = "the file ends long before its picture does"; break;
            case Refusal::TooManyScans:
                words = Format("the picture is stored in more than %d scans, far more than any picture needs", kMaxScans);
                break;
            case Refusal::TooMuchWork:
                words = "the picture is stored in so many scans for its size that showing it would take far too long";
                break;
            case Refusal::None: words = LibraryWords(code); break;
        }
        throw EJPEG(Format("JPEG error #%d: %s.", code, words.c_str()));
    }

    std::string LibraryWords(int code) {
        switch (code) {
            case JERR_INPUT_EOF: return "the file ends before its picture does";
            case JERR_NO_SOI: return "the file is not a JPEG picture";
            case JERR_OUT_OF_MEMORY: return "there is not enough memory to decode the picture";
            default: break;
        }
        char text[JMSG_LENGTH_MAX] = {};
        (*err_.pub.format_message)(reinterpret_cast<j_common_ptr>(&cinfo_), text);
        return std::string("the picture is damaged, or of a kind that cannot be shown (") + text + ")";
    }

    jpeg_decompress_struct cinfo_{};
    ErrorManager err_{};
    StreamSource source_{};
    WorkMonitor monitor_{};
    int64_t available_;
};

}  // namespace

bool LooksLikeJpeg(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

void JpegPictureSize(TStream& stream, int& width, int& height) {
    TDecoder decoder(stream);
    decoder.ReadHeader();
    width = static_cast<int>(decoder.Info().image_width);
    height = static_cast<int>(decoder.Info().image_height);
}

void JpegDecode(TStream& stream, TRasterImage& image) {
    TDecoder decoder(stream);
    decoder.ReadHeader();
    jpeg_decompress_struct& cinfo = decoder.Info();
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    // A progressive file's scans are all read here, within the work they
    // may cost; the picture's room is taken only once they passed.
    decoder.Run([&] { jpeg_start_decompress(&cinfo); });
    const int width = static_cast<int>(cinfo.output_width), height = static_cast<int>(cinfo.output_height);
    image.Allocate(width, height);
    std::vector<uint8_t> cmykRow(cmyk ? static_cast<size_t>(width) * 4 : 0);
    decoder.Run([&] {
        while (cinfo.output_scanline < cinfo.output_height) {
            const int y = static_cast<int>(cinfo.output_scanline);
            JSAMPROW row = cmyk ? cmykRow.data() : image.Row(y);
            jpeg_read_scanlines(&cinfo, &row, 1);
            if (cmyk) CmykToBgr(cmykRow.data(), image.Row(y), width, cinfo.saw_Adobe_marker);
        }
        jpeg_finish_decompress(&cinfo);
    });
}

}  // namespace treskel
