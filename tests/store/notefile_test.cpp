#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "store/CRC32c.h"
#include "store/NoteFile.h"
#include "store/RtfPack.h"
#include "support/Bombs.h"
#include "support/StoreTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using Bytes = std::vector<unsigned char>;

const std::string kRtf =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n\\pard Hello note\\par\r\n"
    "{\\object\\objemb{\\*\\objclass Paint.Picture}{\\*\\objdata 0105000002000000\r\n0B000000}}\r\n"
    "{\\pict\\wmetafile8\\picw10\\pich10 \r\n010009000003\r\n4100}\\par\r\n}";

TMemoryStream RtfStream(const std::string& s) { return TMemoryStream(std::vector<uint8_t>(s.begin(), s.end())); }

std::string Load(const std::string& file) {
    LH5Compression lh5(nullptr);
    TMemoryStream out;
    EXPECT_TRUE(LoadNoteFile(file, out, lh5));
    return out.AsString();
}

std::string Canonical(const std::string& rtf) {
    TMemoryStream in = RtfStream(rtf), packed, back;
    PackRtfObjects(in, packed);
    packed.SetPosition(0);
    UnpackRtfObjects(packed, back);
    return back.AsString();
}

TEST(NoteHeader, GoldenBytes) {
    TMemoryStream s;
    TNoteHeader h;
    h.Level = 2;
    h.Title = "Shopping";
    WriteNoteHeader(s, h);
    ASSERT_EQ(s.Size(), 272);
    const Bytes start = {0x00, 0x00, 0x80, 0x3F, 0x02, 0x07, 'T', 'r', 'e', 's', 'k', 'e', 'l', 0, 0, 0,
                         0x08, 'S',  'h',  'o',  'p',  'p',  'i', 'n', 'g', 0};
    EXPECT_EQ(Bytes(s.Memory(), s.Memory() + start.size()), start);
    s.SetPosition(0);
    const TNoteHeader back = ReadNoteHeader(s);
    EXPECT_EQ(back.Version, 1.0f);
    EXPECT_EQ(back.Level, 2);
    EXPECT_EQ(back.Signature, "Treskel");
    EXPECT_EQ(back.Title, "Shopping");
}

TEST(NoteHeader, LongTitleIsCutTo255) {
    TMemoryStream s;
    TNoteHeader h;
    h.Title = std::string(300, 't');
    WriteNoteHeader(s, h);
    EXPECT_EQ(s.Size(), 272);
    EXPECT_EQ(s.Memory()[16], 255);
    s.SetPosition(0);
    EXPECT_EQ(ReadNoteHeader(s).Title, std::string(255, 't'));
}

TEST(NoteFile, AllLevelsRoundTripAndReturnTheFileCrc) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    for (int level = 0; level <= 2; ++level) {
        SCOPED_TRACE(level);
        const std::string file = dir.File("100" + std::to_string(level));
        TMemoryStream rtf = RtfStream(kRtf);
        const uint32_t crc = SaveNoteFile(file, level, "Title", rtf, lh5);
        EXPECT_EQ(crc, FileCrc32(file));
        const Bytes bytes = test::ReadAll(file);
        EXPECT_EQ(bytes[4], level);
        if (level == 0) {
            EXPECT_EQ(std::string(bytes.begin() + 272, bytes.end()), kRtf);
        }
        EXPECT_EQ(Load(file), level == 0 ? kRtf : Canonical(kRtf));
        EXPECT_EQ(lh5.StreamIn, nullptr);
    }
}

TEST(NoteFile, LargeNotesRoundTripAtLevelTwo) {
    test::TempDir dir;
    std::string big;
    while (big.size() < 3'000'000) big += "{\\b word} text \\par\r\n" + std::to_string(big.size());
    TMemoryStream rtf = RtfStream(big);
    LH5Compression lh5(nullptr);
    test::TempFilesIn ops(dir.Path());
    SaveNoteFile(dir.File("7"), 2, "Big", rtf, lh5, ops);
    EXPECT_EQ(Load(dir.File("7")), big);
    EXPECT_LT(test::ReadAll(dir.File("7")).size(), big.size() / 4);
}

TEST(NoteFile, TemporaryFileOnlyAboveTheThreshold) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    test::TempFilesIn noTempDir(dir.File("missing") + "/");
    std::string rtf(NoteTempThreshold, 'a');
    TMemoryStream atLimit = RtfStream(rtf);
    EXPECT_NO_THROW(SaveNoteFile(dir.File("1"), 2, "", atLimit, lh5, noTempDir));
    rtf += 'a';
    TMemoryStream above = RtfStream(rtf);
    EXPECT_THROW(SaveNoteFile(dir.File("2"), 2, "", above, lh5, noTempDir), EFCreateError);
    // The file operations name the temporary file; it is gone afterwards.
    test::TempFilesIn ops(dir.Path());
    EXPECT_NO_THROW(SaveNoteFile(dir.File("2"), 2, "", above, lh5, ops));
    ASSERT_EQ(ops.made.size(), 1u);
    EXPECT_FALSE(FileExists(ops.made[0]));
    EXPECT_EQ(Load(dir.File("2")), rtf);
    // Only the level-2 save passes through one.
    for (int level : {0, 1}) {
        TMemoryStream again = RtfStream(rtf);
        SaveNoteFile(dir.File("3"), level, "", again, lh5, ops);
    }
    EXPECT_EQ(ops.made.size(), 1u);
}

TEST(NoteFile, FailedPackingKeepsThePreviousNote) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    TMemoryStream good = RtfStream(kRtf);
    SaveNoteFile(dir.File("5"), 1, "Good", good, lh5);
    const Bytes before = test::ReadAll(dir.File("5"));
    for (int level : {1, 2}) {
        TMemoryStream bad = RtfStream("{\\rtf1 {\\*\\objdata 01XY02}}");
        EXPECT_THROW(SaveNoteFile(dir.File("5"), level, "Bad", bad, lh5), EConvertError);
        EXPECT_EQ(test::ReadAll(dir.File("5")), before);
        EXPECT_FALSE(FileExists(dir.File("5.tmp")));
    }
}

TEST(NoteFile, MissingShortAndUnknownLevel) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    TMemoryStream out;
    EXPECT_FALSE(LoadNoteFile(dir.File("404"), out, lh5));
    test::WriteAll(dir.File("short"), std::string(100, 'x'));
    EXPECT_THROW(LoadNoteFile(dir.File("short"), out, lh5), EReadError);
    TMemoryStream rtf = RtfStream(kRtf);
    SaveNoteFile(dir.File("9"), 0, "", rtf, lh5);
    Bytes b = test::ReadAll(dir.File("9"));
    b[4] = 3;
    test::WriteAll(dir.File("9"), b);
    EXPECT_THROW(LoadNoteFile(dir.File("9"), out, lh5), ENoteFileError);
    TMemoryStream rtf2 = RtfStream(kRtf);
    EXPECT_THROW(SaveNoteFile(dir.File("9"), 3, "", rtf2, lh5), ENoteFileError);
}

TEST(NoteFile, DamagedLevelTwoBodyIsCorrupt) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    TMemoryStream rtf = RtfStream(kRtf);
    SaveNoteFile(dir.File("3"), 2, "", rtf, lh5);
    Bytes b = test::ReadAll(dir.File("3"));
    b.resize(b.size() - 5);
    test::WriteAll(dir.File("3"), b);
    TMemoryStream out;
    try {
        LoadNoteFile(dir.File("3"), out, lh5);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is corrupt!");
    }
}

// The bytes of a note read through a file-like stream (no memory stream's
// shortcut), telling how many were read and what `atRead` finds at each.
class TWatchedNote : public TStream {
public:
    explicit TWatchedNote(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(bytes_.size()) - at_);
        if (n <= 0) return 0;
        if (atRead) atRead();
        std::memcpy(buffer, bytes_.data() + at_, static_cast<size_t>(n));
        at_ += n;
        read += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        at_ = (origin == soFromBeginning ? 0 : origin == soFromCurrent ? at_ : static_cast<int64_t>(bytes_.size())) + offset;
        return at_;
    }
    std::function<void()> atRead;
    int64_t read = 0;

private:
    std::vector<uint8_t> bytes_;
    int64_t at_ = 0;
};

std::vector<uint8_t> NoteBytes(int level, const std::vector<uint8_t>& body) {
    TMemoryStream note;
    TNoteHeader h;
    h.Level = static_cast<uint8_t>(level);
    WriteNoteHeader(note, h);
    note.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    return note.Bytes();
}

// A note of a kilobyte that declares gigabytes is refused as corrupt from
// its size field alone: nothing is decoded, nothing reaches the RTF.
TEST(NoteFile, NoteBombsAreRefusedBeforeAnythingIsDecoded) {
    LH5Compression lh5(nullptr);
    for (uint32_t declared : {static_cast<uint32_t>(MaxStoredItemSize + 1), 2147483632u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(declared);
        const auto bomb = test::Lh5Bomb(declared);
        ASSERT_LT(bomb.size(), 2200u);
        TWatchedNote note(NoteBytes(2, bomb));
        test::TCountingStream rtf;
        try {
            LoadNote(note, rtf, lh5);
            FAIL() << "a note bomb was loaded";
        } catch (const Exception& e) {
            ASSERT_EQ(e.Message(), "File is corrupt!");
        }
        EXPECT_EQ(rtf.written, 0);
        EXPECT_EQ(note.read, NoteHeaderSize + 4);
    }
    // Just inside the bound the same kind of stream is a note like any
    // other (a picture of one colour): the bound refuses nothing real.
    TWatchedNote inside(NoteBytes(2, test::Lh5Bomb(20000000)));
    test::TCountingStream rtf;
    LoadNote(inside, rtf, lh5);
    EXPECT_EQ(rtf.written, 20000000);
}

// Level 0 and 1 bodies beyond the bound are refused unread; RTF beyond it
// is never saved, so no saved note is refused.
TEST(NoteFile, BodiesAndRtfBeyondTheBoundAreRefused) {
    LH5Compression lh5(nullptr);
    class HugeBody : public TStream {
    public:
        int64_t Read(void*, int64_t) override { throw EReadError("read"); }
        int64_t Write(const void*, int64_t) override { return 0; }
        int64_t Seek(int64_t, TSeekOrigin origin) override { return origin == soFromEnd ? MaxStoredItemSize + 1 : 0; }
    };
    for (int level : {0, 1}) {
        HugeBody body;
        test::TCountingStream rtf;
        try {
            ReadNoteBody(body, level, rtf, lh5);
            FAIL();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "File is corrupt!");
        }
    }
    test::TempDir dir;
    HugeBody rtf;
    EXPECT_THROW(SaveNoteFile(dir.File("1"), 0, "", rtf, lh5), ENoteFileError);
    EXPECT_FALSE(FileExists(dir.File("1")));
}

// The RTF of a level-2 note is written as its body is read: the packed
// text between the two steps is never held whole.
TEST(NoteFile, LevelTwoIsDecodedAsItIsRead) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    std::string text = "{\\rtf1 ";
    for (int i = 0; i < 300000; ++i) text += IntToStr(static_cast<int>(i * 7919LL % 100003)) + (i % 9 == 0 ? "\\par\r\n" : " ");
    text += "}";
    TMemoryStream rtf = RtfStream(text);
    SaveNoteFile(dir.File("1"), 2, "", rtf, lh5);
    const Bytes file = test::ReadAll(dir.File("1"));
    ASSERT_GT(file.size(), 300000u);  // several reads of the body
    TWatchedNote note(std::vector<uint8_t>(file.begin(), file.end()));
    TMemoryStream out;
    int64_t readsAfterOutput = 0;
    note.atRead = [&] { readsAfterOutput += out.Size() > 0 ? 1 : 0; };
    LoadNote(note, out, lh5);
    EXPECT_EQ(out.AsString(), text);
    EXPECT_GT(readsAfterOutput, 0);
}

// Files made by an earlier build must keep reading the same.
TEST(NoteFile, GoldenFilesStillRead) {
    const std::string data = std::string(TRESKEL_SOURCE_DIR) + "/tests/data/";
    for (const char* name : {"note-level0.bin", "note-level1.bin", "note-level2.bin"}) {
        SCOPED_TRACE(name);
        if (std::getenv("TRESKEL_WRITE_GOLDEN") != nullptr) {
            LH5Compression lh5(nullptr);
            TMemoryStream rtf = RtfStream(kRtf);
            SaveNoteFile(data + name, name[10] - '0', "Golden", rtf, lh5);
        }
        EXPECT_EQ(Load(data + name), name[10] == '0' ? kRtf : Canonical(kRtf));
    }
}

}  // namespace
}  // namespace treskel
