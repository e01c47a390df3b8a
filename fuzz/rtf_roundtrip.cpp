// Notes as the rich-edit control writes them, made from the input: packing
// never refuses one, and unpacking gives back its bytes but for the layout
// of the packed payloads.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "store/RtfPack.h"
#include "support/RtfNotes.h"

namespace {

std::vector<uint8_t> Run(void (*coder)(treskel::TStream&, treskel::TStream&), const std::string& s) {
    treskel::TReadOnlyMemoryStream in(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int64_t>(s.size()));
    treskel::TMemoryStream out;
    coder(in, out);
    return out.Bytes();
}

[[noreturn]] void Fail(const char* what, const std::string& rtf) {
    std::fprintf(stderr, "%s:\n%s\n", what, rtf.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    FuzzedDataProvider input(data, size);
    test::RtfNoteWriter writer([&](uint32_t n) { return input.ConsumeIntegralInRange<uint32_t>(0, n - 1); });
    const test::GeneratedNote note = writer.Note(input.ConsumeIntegralInRange(1, 60));
    std::vector<uint8_t> packed;
    try {
        packed = Run(PackRtfObjects, note.rtf);
    } catch (const Exception& e) {
        Fail(("packing refused: " + e.Message()).c_str(), note.rtf);
    }
    const std::string packedText(packed.begin(), packed.end());
    const std::vector<uint8_t> unpacked = Run(UnpackRtfObjects, packedText);
    if (std::string(unpacked.begin(), unpacked.end()) != note.unpacked) Fail("unpacking gave other bytes", note.rtf);
    if (Run(PackRtfObjects, note.unpacked) != packed) Fail("the unpacked note packs otherwise", note.rtf);
    return 0;
}
