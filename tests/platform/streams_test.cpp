#include <gtest/gtest.h>

#include "platform/FileSys.h"
#include "platform/Streams.h"
#include "support/TestEnv.h"

using namespace treskel;
using treskel::test::TempDir;

TEST(MemoryStream, ShortReadRaises) {
    TMemoryStream m;
    m.WriteBuffer("abc", 3);
    m.SetPosition(1);
    char buf[4];
    EXPECT_EQ(m.Read(buf, 4), 2);
    m.SetPosition(1);
    EXPECT_THROW(m.ReadBuffer(buf, 3), EReadError);
    m.SetPosition(0);
    m.ReadBuffer(buf, 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
}

TEST(MemoryStream, SizeSeekAndGrowthKeepContent) {
    TMemoryStream m;
    for (int i = 0; i < 100000; ++i) WriteU8(m, static_cast<uint8_t>(i));
    EXPECT_EQ(m.Size(), 100000);
    m.SetSize(10);
    EXPECT_EQ(m.Position(), 10);
    m.SetSize(12);
    EXPECT_EQ(m.Memory()[9], 9);
    EXPECT_EQ(m.Memory()[11], 0);
    m.Seek(-2, soFromEnd);
    EXPECT_EQ(m.Position(), 10);
    EXPECT_THROW(m.Seek(-1, soFromBeginning), EStreamError);
    // Writing past the end leaves a zero gap.
    m.SetPosition(20);
    WriteU8(m, 7);
    EXPECT_EQ(m.Size(), 21);
}

TEST(Streams, LittleEndianFields) {
    TMemoryStream m;
    WriteU16(m, 0x1234);
    WriteU32(m, 0xA1B2C3D4);
    WriteI32(m, -2);
    EXPECT_EQ(m.Bytes(), (std::vector<uint8_t>{0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0xFE, 0xFF, 0xFF, 0xFF}));
    m.SetPosition(0);
    EXPECT_EQ(ReadU16(m), 0x1234);
    EXPECT_EQ(ReadU32(m), 0xA1B2C3D4u);
    EXPECT_EQ(ReadI32(m), -2);
    EXPECT_THROW(ReadU8(m), EReadError);
}

TEST(Streams, CopyFromZeroCopiesEverythingFromTheStart) {
    TMemoryStream a, b;
    a.WriteBuffer("hello", 5);
    EXPECT_EQ(b.CopyFrom(a, 0), 5);
    EXPECT_EQ(b.AsString(), "hello");
    a.SetPosition(1);
    TMemoryStream c;
    c.CopyFrom(a, 3);
    EXPECT_EQ(c.AsString(), "ell");
    EXPECT_THROW(c.CopyFrom(a, 5), EReadError);
}

TEST(FileStream, CreateWriteReadAndErrors) {
    TempDir dir;
    std::string name = dir.File("a.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("0123456789", 10);
        f.SetSize(4);
        EXPECT_EQ(f.Size(), 4);
    }
    {
        TFileStream f(name, fmOpenRead | fmShareDenyWrite);
        char buf[8];
        EXPECT_THROW(f.ReadBuffer(buf, 5), EReadError);
        f.SetPosition(0);
        f.ReadBuffer(buf, 4);
        EXPECT_EQ(std::string(buf, 4), "0123");
        // A stream opened for reading cannot be written.
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
    }
    EXPECT_THROW(TFileStream(dir.File("missing.bin"), fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream(dir.File("no\\such\\dir.bin"), fmCreate), EFCreateError);
    try {
        TFileStream f(dir.File("missing.bin"), fmOpenRead);
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot open file"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("missing.bin"), std::string::npos);
    }
}

TEST(FileSys, DirectoriesRenameReplaceAndFind) {
    TempDir dir;
    EXPECT_TRUE(ForceDirectories(dir.File("x\\y\\z")));
    EXPECT_TRUE(DirectoryExists(dir.File("x\\y")));
    test::WriteAll(dir.File("b.tsx"), "B");
    test::WriteAll(dir.File("A.TSX"), "AA");
    test::WriteAll(dir.File("c.tsk"), "C");
    auto found = FindFiles(dir.File("*.tsx"));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Name, "A.TSX");
    EXPECT_EQ(found[0].Size, 2);
    EXPECT_EQ(found[1].Name, "b.tsx");
    EXPECT_FALSE(RenameFile(dir.File("b.tsx"), dir.File("c.tsk")));  // target exists
    EXPECT_TRUE(ReplaceFile(dir.File("b.tsx"), dir.File("c.tsk")));
    EXPECT_EQ(test::ReadAll(dir.File("c.tsk")).size(), 1u);
    EXPECT_FALSE(FileExists(dir.File("b.tsx")));
    EXPECT_EQ(FileSizeOf(dir.File("nothing")), -1);
    EXPECT_TRUE(DeleteFile(dir.File("c.tsk")));
    EXPECT_FALSE(DeleteFile(dir.File("c.tsk")));
    EXPECT_FALSE(LastFileError().empty());
}

TEST(FileSys, MaskMatching) {
    EXPECT_TRUE(MatchesMask("Notes.TSX", "*.tsx"));
    EXPECT_FALSE(MatchesMask("Notes.tsxx", "*.tsx"));
    EXPECT_TRUE(MatchesMask("12345", "*.*"));
    EXPECT_TRUE(MatchesMask("a1.txt", "a?.t*"));
    EXPECT_FALSE(MatchesMask("a12.txt", "a?.t*"));
}

TEST(MemoryStream, AnImpossibleSizeIsAnOutOfMemoryError) {
    TMemoryStream m;
    EXPECT_THROW(m.SetSize(INT64_MAX / 2), EOutOfMemory);
    EXPECT_EQ(m.Size(), 0);
    WriteU8(m, 1);
    EXPECT_EQ(m.Size(), 1);
}
