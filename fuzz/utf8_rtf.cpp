// The RTF the editor's window writes in UTF-8, made into plain RTF: any
// bytes, whole or cut anywhere, give the same output; without binary data
// it is seven-bit, and every character costs a bounded number of bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "richedit/RichEdit2Rules.h"

namespace {

// Western and Central European letters, enough for both roads: a letter its
// font's code page holds and one written as an escape.
std::string CodePages(char32_t c, unsigned codePage) {
    if (codePage == 1252 && c >= 0xA0 && c <= 0xFF) return std::string(1, static_cast<char>(c));
    if (codePage == 1250 && c == 0x10D) return "\xE8";
    return std::string();
}

std::string Filtered(std::string_view doc, size_t step) {
    treskel::TUtf8RtfFilter filter(1252, CodePages);
    std::string out;
    for (size_t i = 0; i < doc.size(); i += step) filter.Write(doc.substr(i, step), out);
    filter.Finish(out);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte chooses how the window cuts its output; the rest is
    // written after the header that makes it UTF-8 RTF.
    const size_t step = 1 + data[0] % 13;
    const std::string doc = "{\\urtf1 " + std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string whole = Filtered(doc, doc.size());
    if (Filtered(doc, step) != whole) std::abort();
    if (doc.find("\\bin") == std::string::npos)
        for (char c : whole)
            if (static_cast<uint8_t>(c) >= 0x80) std::abort();
    // The most a byte becomes: a stray byte's replacement escape followed
    // by the most question marks a skip count may ask (16).
    if (whole.size() > 64 + 24 * doc.size()) std::abort();
    return 0;
}
