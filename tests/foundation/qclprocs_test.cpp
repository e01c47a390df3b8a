// The LZRW block coder, compressed streams and the stream items.
#include <gtest/gtest.h>

#include <random>

#include "foundation/qclcont.h"
#include "foundation/qclprocs.h"
#include "support/Bombs.h"

namespace treskel {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Compress(const Bytes& in) {
    Bytes out(in.size() + 6);  // exactly what the coder may use
    out.resize(QclLZRWCompress(in.data(), out.data(), static_cast<uint16_t>(in.size())));
    return out;
}

Bytes Expand(const Bytes& block) {
    Bytes out(kQclLZRWBlock);
    out.resize(QclLZRWExpand(block.data(), out.data(), static_cast<uint16_t>(block.size())));
    return out;
}

Bytes Packed(const Bytes& data) {
    TReadOnlyMemoryStream in(data.data(), static_cast<int64_t>(data.size()));
    TMemoryStream out;
    QclCompressStream(in, out, static_cast<int>(data.size()));
    EXPECT_EQ(in.Position(), static_cast<int64_t>(data.size()));
    return out.Bytes();
}

Bytes Unpacked(const Bytes& packed) {
    TReadOnlyMemoryStream in(packed.data(), static_cast<int64_t>(packed.size()));
    TMemoryStream out;
    QclExpandStream(in, out);
    return out.Bytes();
}

void ExpectLZRWError(const Bytes& block) {
    Bytes out(kQclLZRWBlock);
    try {
        QclLZRWExpand(block.data(), out.data(), static_cast<uint16_t>(block.size()));
        ADD_FAILURE() << "accepted a damaged block";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "LZRW Error!");
    }
}

TEST(QclLZRW, GoldenBlocks) {
    EXPECT_EQ(Compress({}), Bytes{128});
    EXPECT_EQ(Expand({128}), Bytes{});
    EXPECT_EQ(Compress(Bytes(20, 'v')), (Bytes{64, 0x80, 0x00, 0, 0, 4, 'v'}));
    EXPECT_EQ(Expand({64, 0x80, 0x00, 0, 0, 4, 'v'}), Bytes(20, 'v'));
    EXPECT_EQ(Compress({'a', 'b', 'c'}), (Bytes{128, 'a', 'b', 'c'}));
    // Literals a, b, then a match one byte back of length 4: an overlapping
    // copy repeats the last byte.
    EXPECT_EQ(Expand({64, 0x30, 0x00, 'a', 'b', 0x00, 0x11}), (Bytes{'a', 'b', 'b', 'b', 'b', 'b'}));
    // A match of the text seen 6 bytes earlier, length 6.
    const Bytes text{'a', 'b', 'c', 'd', 'e', 'f', 'a', 'b', 'c', 'd', 'e', 'f', 'a', 'b', 'c', 'd', 'e', 'f'};
    EXPECT_EQ(Compress(text),
              (Bytes{64, 0x02, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 0x00, 0x69}));  // distance 6, length 12
    EXPECT_EQ(Packed({}), (Bytes{0, 0, 0, 0}));
}

TEST(QclLZRW, RoundTripsRandomAndStructuredData) {
    std::mt19937 rng(14);
    auto random = [&](size_t n, int range) {
        Bytes b(n);
        for (auto& c : b) c = static_cast<uint8_t>(rng() % range);
        return b;
    };
    Bytes text;
    for (int i = 0; text.size() < 100000; ++i) {
        std::string line = "line " + std::to_string(i % 97) + " of a note\r\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    Bytes runs;
    for (int i = 0; i < 300; ++i) runs.insert(runs.end(), static_cast<size_t>(1 + rng() % 5000), static_cast<uint8_t>(i));
    for (const Bytes& data : {random(1, 256), random(2, 256), random(17, 2), random(32781, 256), random(32782, 4),
                              random(70000, 256), text, runs, Bytes(32781, 0), Bytes(4111, 7)}) {
        const Bytes packed = Packed(data);
        EXPECT_EQ(Unpacked(packed), data) << data.size();
        for (size_t at = 0; at < data.size(); at += kQclLZRWBlock) {
            Bytes block(data.begin() + static_cast<ptrdiff_t>(at),
                        data.begin() + static_cast<ptrdiff_t>(std::min(data.size(), at + kQclLZRWBlock)));
            // Each block stands alone; a compressed one is never longer than its input.
            const Bytes c = Compress(block);
            EXPECT_LE(c.size(), block.size() + 1);
            EXPECT_EQ(Expand(c), block);
        }
    }
    EXPECT_LT(Packed(text).size(), text.size() / 3);
}

TEST(QclLZRW, EncoderReadsOnlyItsBlock) {
    // Exactly sized heap blocks: the sanitizer sees any read past the end
    // while the run test and the hash look ahead.  A run in front keeps the
    // encoder going (short output) until it reaches the tail.
    for (const Bytes& tail : {Bytes{1, 2}, Bytes{9}, Bytes(16, 5), Bytes{1, 2, 3, 1, 2}}) {
        Bytes block(40, 0);
        block.insert(block.end(), tail.begin(), tail.end());
        auto data = std::make_unique<uint8_t[]>(block.size());
        std::copy(block.begin(), block.end(), data.get());
        Bytes out(block.size() + 6);
        const uint16_t n = QclLZRWCompress(data.get(), out.data(), static_cast<uint16_t>(block.size()));
        out.resize(n);
        EXPECT_EQ(out[0], 64);
        EXPECT_EQ(Expand(out), block);
    }
}

TEST(QclLZRW, DamagedBlocksRaise) {
    ExpectLZRWError({64, 0x80, 0x00, 0x00, 0x13});               // a match before the output's start
    ExpectLZRWError({64, 0x80, 0x00, 0x00});                     // a match cut short
    ExpectLZRWError({64, 0x80, 0x00, 0x00, 0x00, 0x01});         // a run cut short
    ExpectLZRWError({64, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o',
                     'p', 'q'});                                 // a control word cut short
    // Nine runs of 4111 bytes would pass the block's 32,781.
    Bytes runs{64, 0xFF, 0x80};
    for (int i = 0; i < 9; ++i) runs.insert(runs.end(), {0, 0x0F, 0xFF, 'x'});
    ExpectLZRWError(runs);
    Bytes stored(kQclLZRWBlock + 2, 1);
    stored[0] = 128;
    ExpectLZRWError(stored);
}

TEST(QclLZRW, DamagedStreamsRaise) {
    const Bytes good = Packed(Bytes(100, 3));
    auto expectError = [](Bytes b) {
        TReadOnlyMemoryStream in(b.data(), static_cast<int64_t>(b.size()));
        TMemoryStream out;
        EXPECT_THROW(QclExpandStream(in, out), Exception);
    };
    Bytes bigTotal = good;
    PutU32(bigTotal.data(), 0x7FFFFFF0);  // more than the stream holds
    expectError(bigTotal);
    Bytes bigChunk = good;
    PutU32(bigChunk.data() + 4, 0x10000);  // longer than any block
    expectError(bigChunk);
    Bytes shortTotal = good;
    PutU32(shortTotal.data(), 2);  // not even a chunk length
    expectError(shortTotal);
}

// 2.6 MB of run blocks would expand to 2.18 GB: refused before a byte is
// decoded; the largest stream a stored item may hold still expands.
TEST(QclLZRW, RunBlockBombsAreRefusedBeforeDecoding) {
    const Bytes bomb = test::LzrwRunBomb(66667);
    ASSERT_LT(bomb.size(), 2700000u);
    TReadOnlyMemoryStream in(bomb.data(), static_cast<int64_t>(bomb.size()));
    test::TCountingStream out;
    try {
        QclExpandStream(in, out);
        ADD_FAILURE() << "a bomb was expanded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "LZRW Error!");
    }
    EXPECT_EQ(out.written, 0);
    const int most = static_cast<int>(MaxStoredItemSize / kQclLZRWBlock);
    const Bytes largest = test::LzrwRunBomb(most);
    TReadOnlyMemoryStream ok(largest.data(), static_cast<int64_t>(largest.size()));
    QclExpandStream(ok, out);
    EXPECT_EQ(out.written, static_cast<int64_t>(most) * kQclLZRWBlock);
    // Through a container item the same.
    Bytes item{qclItemCompressed | qclItemData};
    item.insert(item.end(), bomb.begin(), bomb.end());
    TReadOnlyMemoryStream itemIn(item.data(), static_cast<int64_t>(item.size()));
    TQclStringListItem strings(nullptr);
    EXPECT_THROW(strings.LoadFromStream(itemIn), Exception);
    EXPECT_EQ(strings.Items()->Count(), 0);
}

TEST(QclLZRW, CompressTakesNoMoreThanAskedAndStopsOnEmptyReads) {
    const Bytes data(50000, 'z');
    TReadOnlyMemoryStream in(data.data(), static_cast<int64_t>(data.size()));
    TMemoryStream out;
    QclCompressStream(in, out, 40000);
    EXPECT_EQ(in.Position(), 40000);  // the rest stays for the caller
    EXPECT_EQ(Unpacked(out.Bytes()), Bytes(40000, 'z'));
    TMemoryStream more;
    EXPECT_THROW(QclCompressStream(in, more, 20000), EReadError);  // 10,000 left: no endless loop
}

TEST(QclStreamItems, Golden) {
    TMemoryStream s;
    QclWriteInteger(s, -2);
    QclWriteByte(s, 7);
    QclWriteShortString(s, "ab");
    QclWriteShortString(s, std::string(300, 'x'));
    TStringList list{"one", "two"};
    QclWriteStrings(s, list, false);
    const Bytes head{0xFE, 0xFF, 0xFF, 0xFF, 7, 2, 'a', 'b', 255};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), s.Memory()));
    const Bytes tail{10, 0, 0, 0, 'o', 'n', 'e', '\r', '\n', 't', 'w', 'o', '\r', '\n'};
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), s.Memory() + head.size() + 255));
    QclWriteStrings(s, list, true);
    s.SetPosition(0);
    EXPECT_EQ(QclReadInteger(s), -2);
    EXPECT_EQ(QclReadByte(s), 7);
    EXPECT_EQ(QclReadShortString(s), "ab");
    EXPECT_EQ(QclReadShortString(s), std::string(255, 'x'));
    for (bool compressed : {false, true}) {
        TStringList back;
        QclReadStrings(s, back, compressed);
        EXPECT_TRUE(back.Equals(list));
    }
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(QclStreamItems, PlainLengthBeyondTheStreamRaisesBeforeAllocating) {
    const Bytes b{0xFF, 0xFF, 0xFF, 0x7F, 'a'};
    TReadOnlyMemoryStream in(b.data(), static_cast<int64_t>(b.size()));
    TMemoryStream data;
    EXPECT_THROW(QclReadItemData(in, data, false), EReadError);
    EXPECT_EQ(data.Size(), 0);
}

}  // namespace
}  // namespace treskel
