#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "compress/LH5Control.h"
#include "compress/SampleData.h"
#include "support/Bombs.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using test::ConstantBytes;
using test::RandomBytes;
using test::RtfText;

std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) { return test::Lh5Compress(data); }
std::vector<uint8_t> Expand(const std::vector<uint8_t>& data) { return test::Lh5Expand(data); }

void ExpectCorrupt(const std::vector<uint8_t>& data) {
    try {
        Expand(data);
        ADD_FAILURE() << "no error for a damaged stream";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is corrupt!");
    }
}

TEST(LH5, EmptyInputIsElevenZeroBytes) {
    EXPECT_EQ(Compress({}), std::vector<uint8_t>(11, 0));
    EXPECT_TRUE(Expand(std::vector<uint8_t>(11, 0)).empty());
}

TEST(LH5, OneRepeatedByteUsesOneSymbolTables) {
    // A single byte: every table is a one-symbol table and the code takes
    // no bits.
    auto one = Compress({'A'});
    // size 1; count 1; t: 0,0; c: 0 then 'A' in 9 bits; p: 0,0.
    const std::vector<uint8_t> golden = {0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x04, 0x10, 0x00};
    EXPECT_EQ(one, golden);
    EXPECT_EQ(Expand(one), std::vector<uint8_t>{'A'});
}

TEST(LH5, RoundTripsAcrossWindowAndBlockBoundaries) {
    for (size_t n : {1u, 2u, 3u, 4u, 255u, 256u, 257u, 258u, 8191u, 8192u, 8193u, 16383u, 16384u, 16385u, 100000u}) {
        for (const auto& data : {RtfText(n), RandomBytes(n), ConstantBytes(n)}) {
            auto packed = Compress(data);
            ASSERT_EQ(Expand(packed), data) << "size " << n;
        }
    }
}

TEST(LH5, RoundTripsLargeInputsWithManyBlocks) {
    auto text = RtfText(3'000'000);
    auto packed = Compress(text);
    EXPECT_LT(packed.size(), text.size() / 3);
    EXPECT_EQ(Expand(packed), text);
    auto constant = ConstantBytes(5'000'000);
    packed = Compress(constant);
    EXPECT_LT(packed.size(), 20000u);
    EXPECT_EQ(Expand(packed), constant);
}

TEST(LH5, RandomDataGrowsOnlySlightly) {
    auto data = RandomBytes(1 << 20);
    auto packed = Compress(data);
    EXPECT_LT(packed.size(), data.size() + data.size() / 50);
}

TEST(LH5, StoredSizeCountsFromTheStreamPosition) {
    auto body = RtfText(5000);
    TMemoryStream note;
    const std::string header(272, 'H');
    note.WriteBuffer(header.data(), 272);
    note.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    note.SetPosition(272);
    TMemoryStream packed;
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &note;
    lh5.StreamOut = &packed;
    lh5.Compress();
    EXPECT_EQ(GetU32(packed.Memory()), 5000u);

    // Expanding after a header: the budget is what follows the position.
    TMemoryStream file;
    file.WriteBuffer(header.data(), 272);
    packed.SaveToStream(file);
    const std::string trailer = "trailing bytes after the stream";
    file.WriteBuffer(trailer.data(), static_cast<int64_t>(trailer.size()));
    file.SetPosition(272);
    TMemoryStream out;
    lh5.StreamIn = &file;
    lh5.StreamOut = &out;
    lh5.Expand();
    EXPECT_EQ(out.Bytes(), body);
    // The input is left just after the stream, the trailer unread.
    EXPECT_EQ(file.Position(), 272 + packed.Size());
}

TEST(LH5, FileModeCodesFileToFile) {
    test::TempDir dir;
    auto data = RtfText(40000);
    test::WriteAll(dir.File("in"), std::string(data.begin(), data.end()));
    LH5Compression lh5(nullptr);
    lh5.SetFileIn(dir.File("in"));
    lh5.SetFileOut(dir.File("packed"));
    lh5.Compress();
    lh5.SetFileIn(dir.File("packed"));
    lh5.SetFileOut(dir.File("out"));
    lh5.Expand();
    auto back = test::ReadAll(dir.File("out"));
    EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.end()), data);
}

TEST(LH5, EmptyInputExpandsToNothingAndShortSizeIsAReadError) {
    EXPECT_TRUE(Expand({}).empty());
    EXPECT_THROW(Expand({1, 0}), EReadError);
}

TEST(LH5, CutOffStreamsAreCorrupt) {
    auto packed = Compress(RtfText(20000));
    for (size_t cut : std::vector<size_t>{5, 6, 7, 10, 50, 1000, packed.size() / 2, packed.size() - 1}) {
        SCOPED_TRACE(cut);
        ExpectCorrupt(std::vector<uint8_t>(packed.begin(), packed.begin() + static_cast<long>(cut)));
    }
}

TEST(LH5, IncompressibleDataTravelsAsPlainLiteralBlocks) {
    auto data = RandomBytes(100000, 9);
    auto packed = Compress(data);
    // After the count: one code-length symbol, 10 (length 8), and 256
    // lengths, all of that one symbol.
    EXPECT_EQ(packed[6], 0x02);
    EXPECT_EQ(packed[7], 0xA0);
    EXPECT_LT(packed.size(), data.size() + data.size() / 200);
    EXPECT_EQ(Expand(packed), data);
    for (size_t cut : std::vector<size_t>{20, 5000, packed.size() - 1}) {
        ExpectCorrupt(std::vector<uint8_t>(packed.begin(), packed.begin() + static_cast<long>(cut)));
    }
}

TEST(LH5, SizeBeyondWhatTheInputCanHoldIsRefused) {
    auto packed = Compress(RtfText(100));
    PutU32(packed.data(), 0xFFFFFFFFu);
    ExpectCorrupt(packed);
}

// Hand-made streams, bit by bit.
using Bits = test::Lh5Bits;

TEST(LH5, DamagedTablesAreCorrupt) {
    {
        SCOPED_TRACE("code-length code overfills the code space");
        Bits b(1);
        b.Put(16, 1).Put(5, 19);
        for (int i = 0; i < 19; ++i) {
            b.Put(3, 1);
            if (i == 2) b.Put(2, 0);
        }
        ExpectCorrupt(b.Bytes());
    }
    {
        SCOPED_TRACE("code length above 16");
        Bits b(1);
        b.Put(16, 1).Put(5, 2).Put(3, 7).Put(10, 0x3FF).Put(1, 0);
        ExpectCorrupt(b.Bytes());
    }
    {
        SCOPED_TRACE("position table count 15");
        Bits b(1);
        b.Put(16, 1).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 'A').Put(4, 15);
        ExpectCorrupt(b.Bytes());
    }
    {
        SCOPED_TRACE("one-symbol literal table naming 511");
        Bits b(1);
        b.Put(16, 1).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 511);
        ExpectCorrupt(b.Bytes());
    }
    {
        SCOPED_TRACE("zero run past 510 lengths");
        Bits b(1);
        // Code-length code: symbols 0, 1, 2 with lengths 1, 2, 2.
        b.Put(16, 1).Put(5, 3).Put(3, 1).Put(3, 2).Put(3, 2).Put(2, 0);
        b.Put(9, 510).Put(2, 3).Put(9, 511);
        ExpectCorrupt(b.Bytes());
    }
    {
        SCOPED_TRACE("literal table count 511");
        Bits b(1);
        b.Put(16, 1).Put(5, 0).Put(5, 3).Put(9, 511);
        ExpectCorrupt(b.Bytes());
    }
}

TEST(LH5, ReferenceBeforeTheFirstByteReadsZeros) {
    Bits b(3);
    // One match of length 3 at distance 1, all tables one-symbol.
    b.Put(16, 1).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 256).Put(4, 0).Put(4, 0);
    EXPECT_EQ(Expand(b.Bytes()), std::vector<uint8_t>(3, 0));
}

TEST(LH5, EmptyBlocksForeverAreCorruptNotALoop) {
    // Blocks of zero codes, then the input ends: the reader must stop.
    Bits b(10);
    for (int i = 0; i < 20; ++i) b.Put(16, 0).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, 0).Put(4, 0).Put(4, 0);
    ExpectCorrupt(b.Bytes());
}

TEST(LH5, FlippedBitsNeverCrash) {
    auto packed = Compress(RtfText(30000));
    std::mt19937 rng(5);
    for (int i = 0; i < 2000; ++i) {
        auto damaged = packed;
        damaged[4 + rng() % (damaged.size() - 4)] ^= static_cast<uint8_t>(1u << (rng() % 8));
        try {
            auto out = Expand(damaged);
            EXPECT_EQ(out.size(), 30000u);
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "File is corrupt!");
        }
    }
}

// Records what a coder reports.
class Progress : public TCodingProgress {
public:
    void SetMax(int64_t max) override { Max = max; }
    void SetPosition(int64_t position) override {
        EXPECT_GE(position, Position);
        Position = position;
    }
    int64_t Max = -1;
    int64_t Position = 0;
};

TEST(LH5, ProgressFollowsTheUncompressedBytesBothWays) {
    auto data = RtfText(700000);
    Progress p;
    TMemoryStream in(data), packed, out;
    LH5Compression lh5(nullptr);
    lh5.SetProgress(&p);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &in;
    lh5.StreamOut = &packed;
    lh5.Compress();
    EXPECT_EQ(p.Max, 700000);
    EXPECT_EQ(p.Position, 700000);
    p = Progress();
    packed.SetPosition(0);
    lh5.StreamIn = &packed;
    lh5.StreamOut = &out;
    lh5.Expand();
    EXPECT_EQ(p.Max, 700000);
    EXPECT_EQ(p.Position, 700000);
}

// However many bytes its blocks code, the decoder gives exactly the size
// the stream declares, pushed or pulled.
TEST(LH5, NeverWritesPastTheDeclaredSize) {
    auto stream = test::Lh5Bomb(100000000);  // its blocks code 100 MB
    PutU32(stream.data(), 1000);
    EXPECT_EQ(Expand(stream), std::vector<uint8_t>(1000, 0));
    TMemoryStream in(stream);
    TLH5ExpandStream pulled(in, in.Size());
    EXPECT_EQ(pulled.Size(), 1000);
    std::vector<uint8_t> out(5000, 7);
    EXPECT_EQ(pulled.Read(out.data(), 5000), 1000);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), 1000);
    EXPECT_EQ(pulled.Read(out.data(), 5000), 0);
}

// Pulled a few bytes at a time, the stream gives what Expand gives and
// leaves the input just after itself.
TEST(LH5, PulledBytesAreTheExpandedBytes) {
    const auto data = RtfText(900000);
    auto packed = Compress(data);
    const size_t streamEnd = packed.size();
    packed.insert(packed.end(), {'n', 'e', 'x', 't'});
    TMemoryStream in(packed);
    TLH5ExpandStream pulled(in, in.Size());
    EXPECT_EQ(pulled.Size(), 900000);
    std::vector<uint8_t> out;
    std::mt19937 rng(3);
    for (;;) {
        uint8_t buf[70000];
        const int64_t n = pulled.Read(buf, 1 + rng() % sizeof buf);
        if (n == 0) break;
        out.insert(out.end(), buf, buf + n);
        EXPECT_EQ(pulled.Position(), static_cast<int64_t>(out.size()));
    }
    EXPECT_EQ(out, data);
    EXPECT_EQ(in.Position(), static_cast<int64_t>(streamEnd));
    EXPECT_THROW(pulled.Seek(0, soFromBeginning), EStreamError);
    TMemoryStream empty(Compress({}));
    TLH5ExpandStream none(empty, empty.Size());
    EXPECT_EQ(none.Size(), 0);
    EXPECT_EQ(empty.Position(), 4);  // nothing to decode: no block is read
}

TEST(LH5, StreamModeNeedsBothStreams) {
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    EXPECT_THROW(lh5.Compress(), EInvalidOperation);
}

}  // namespace
}  // namespace treskel
