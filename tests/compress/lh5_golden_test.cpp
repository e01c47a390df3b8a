// Streams that another -lh5- encoder wrote (Debian's jlha, through
// scripts/make-jlha-streams.py, which tells how they were made): a note
// body made elsewhere must expand exactly, however that encoder chose its
// blocks, codes and matches.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "compress/LH5Control.h"
#include "compress/SampleData.h"
#include "store/NoteFile.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadData(const std::string& name) {
    auto bytes = test::ReadAll(std::string(TRESKEL_SOURCE_DIR) + "/tests/data/jlha/" + name);
    return Bytes(bytes.begin(), bytes.end());
}

TEST(LH5Golden, StreamsOfAnotherEncoderExpandExactly) {
    for (const char* name : {"text", "rtf", "binary", "zeros", "short", "large"}) {
        SCOPED_TRACE(name);
        const Bytes original = ReadData(std::string(name) + ".bin");
        Bytes stream = ReadData(std::string(name) + ".lh5");
        ASSERT_EQ(GetU32(stream.data()), original.size());
        const int64_t streamSize = static_cast<int64_t>(stream.size());
        stream.insert(stream.end(), {'n', 'e', 'x', 't'});

        // Pushed through the component, with bytes after the stream.
        TMemoryStream in(stream), out;
        test::Lh5Expand(in, out);
        EXPECT_TRUE(out.Bytes() == original);
        EXPECT_EQ(in.Position(), streamSize);

        // Pulled in small pieces, as the note reader takes them.
        TMemoryStream again(stream);
        TLH5ExpandStream pulled(again, again.Size());
        Bytes back;
        uint8_t piece[777];
        for (int64_t n; (n = pulled.Read(piece, sizeof piece)) > 0;) back.insert(back.end(), piece, piece + n);
        EXPECT_TRUE(back == original);
        EXPECT_EQ(again.Position(), streamSize);

        // As the body of a level-2 note (none of them holds an object or a
        // picture for the unpacker to change).
        TMemoryStream note;
        TNoteHeader header;
        header.Level = 2;
        WriteNoteHeader(note, header);
        note.WriteBuffer(stream.data(), streamSize);
        note.SetPosition(0);
        TMemoryStream rtf;
        LH5Compression lh5(nullptr);
        LoadNote(note, rtf, lh5);
        EXPECT_TRUE(rtf.Bytes() == original);
    }
}

}  // namespace
}  // namespace treskel
