// Reading any text as a window layout: a layout or an error, never a crash
// however deep or broken it is.
#include <cstdint>
#include <string>

#include "platform/FormLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        treskel::ParseLayout(text, "fuzz.form");
    } catch (const treskel::EReadError&) {
    }
    return 0;
}
