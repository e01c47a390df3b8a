// Wave data, list items, container streams and files, and the checks of
// bitmap files: everything of the containers that needs no window.
#include <gtest/gtest.h>

#include "foundation/qclcont.h"
#include "foundation/qclprocs.h"
#include "platform/DibFormat.h"
#include "support/Media.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using Bytes = std::vector<uint8_t>;

void Load(TQclWave& wave, const Bytes& b) {
    TReadOnlyMemoryStream s(b.data(), static_cast<int64_t>(b.size()));
    wave.LoadFromStream(s);
}

TEST(QclWave, LoadsChecksAndKeepsOldDataOnRefusal) {
    TQclWave wave;
    int changes = 0;
    wave.OnChange = [&](TObject*) { ++changes; };
    TMemoryStream empty;
    wave.WriteWithSize(empty);
    EXPECT_EQ(empty.Bytes(), (Bytes{0, 0, 0, 0}));
    const Bytes good = test::Wave(100);
    Load(wave, good);
    EXPECT_EQ(wave.Size(), static_cast<int64_t>(good.size()));
    TQclWaveInfo info;
    TMemoryStream copy;
    wave.SaveToStream(copy);
    ASSERT_TRUE(QclCheckWave(copy, info));
    EXPECT_TRUE(info.pcm);
    EXPECT_EQ(info.channels, TQclWaveChannels::wcMono);
    EXPECT_EQ(info.samplesPerSec, 8000u);
    Bytes notRiff = good;
    notRiff[0] = 'X';
    // Shorter than the header, though the tags are all there.
    const Bytes tagsOnly(good.begin(), good.begin() + 20);
    for (const Bytes& bad : {notRiff, tagsOnly}) {
        try {
            Load(wave, bad);
            ADD_FAILURE();
        } catch (const EInvalidWave& e) {
            EXPECT_EQ(std::string(e.what()).rfind("TQclWave: ", 0), 0u);
        }
        EXPECT_EQ(wave.Size(), static_cast<int64_t>(good.size()));
    }
    for (bool compressed : {false, true}) {
        TMemoryStream s;
        compressed ? wave.WriteCompressed(s) : wave.WriteWithSize(s);
        s.SetPosition(0);
        TQclWave back;
        compressed ? back.ReadCompressed(s) : back.ReadWithSize(s);
        EXPECT_EQ(Bytes(back.Memory(), back.Memory() + back.Size()), good);
    }
    Load(wave, {});
    EXPECT_TRUE(wave.IsEmpty());
    EXPECT_EQ(changes, 2);
}

TEST(QclListItems, ItemStreamGolden) {
    TQclStringListItem item(nullptr);
    TMemoryStream s;
    item.SaveToStream(s);
    EXPECT_EQ(s.Bytes(), Bytes{0});
    item.SetDescription(std::string(300, 'd'));
    EXPECT_EQ(item.Description().size(), 255u);  // what its length byte can hold
    item.SetDescription("ab");
    item.SetIdent(258);
    item.Items()->Add("x");
    TMemoryStream t;
    item.SaveToStream(t);
    EXPECT_EQ(t.Bytes(), (Bytes{2 | 4 | 8, 2, 'a', 'b', 2, 1, 0, 0, 3, 0, 0, 0, 'x', '\r', '\n'}));
}

template <class List>
Bytes Saved(List& list, bool withOffsets) {
    TMemoryStream s;
    list.SaveToStream(s, withOffsets);
    return s.Bytes();
}

TEST(QclContainers, StreamsWithOffsetsAndNotifiesOnce) {
    TQclWaveList waves(nullptr);
    waves.Add();
    waves.Items(0)->Wave()->Assign(nullptr);
    waves.Add();
    Load(*waves.Items(1)->Wave(), test::Wave(3000));
    waves.Items(1)->SetCompressed(true);
    waves.Items(1)->SetDescription("beep");
    const Bytes saved = Saved(waves, true);
    // The offset of item k is where its flags byte starts.
    EXPECT_EQ(GetU32(saved.data() + 4), 12u);
    EXPECT_EQ(saved[12], 0);
    EXPECT_EQ(GetU32(saved.data() + 8), 13u);
    EXPECT_EQ(saved[13], 1 | 2 | 8);

    TQclWaveList back(nullptr);
    int changes = 0, linked = 0;
    back.OnChange = [&](TObject*) { ++changes; };
    TQclChangeLink link;
    link.OnChange = [&](TObject*) { ++linked; };
    back.RegisterChanges(&link);
    TReadOnlyMemoryStream in(saved.data(), static_cast<int64_t>(saved.size()));
    back.LoadFromStream(in, true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(linked, 1);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Items(1)->Description(), "beep");
    EXPECT_EQ(Saved(back, true), saved);
    EXPECT_THROW(back.Items(2), EListError);
    {
        TQclWaveList other(nullptr);
        TQclChangeLink moved;
        other.RegisterChanges(&moved);
        EXPECT_EQ(moved.Container(), &other);
    }
    auto* gone = new TQclStringList(nullptr);
    TQclChangeLink orphan;
    gone->RegisterChanges(&orphan);
    gone->Free();
    EXPECT_EQ(orphan.Container(), nullptr);  // the dying container let go of its link
}

TEST(QclContainers, FilesAreCheckedAgainstTheirSize) {
    test::TempDir dir;
    TQclStringList list(nullptr);
    for (const char* text : {"alpha", "beta"}) static_cast<TQclStringList&>(list).Items(list.Add())->Items()->Add(text);
    const std::string file = dir.File("list.txt");
    list.SaveToFile(file);
    Bytes bytes = test::ReadAll(file);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 13), (Bytes{8, 'Q', 'C', 'L', 'S', 'L', 'L', '3', '0', 2, 0, 0, 0}));
    int count = 0;
    std::vector<uint32_t> offsets{99};
    EXPECT_EQ(QclReadContainerHeader(file, count, &offsets), ckStringList);
    EXPECT_EQ(offsets, (std::vector<uint32_t>{21, 33}));
    TQclStringListItem item(nullptr);
    EXPECT_TRUE(QclLoadContainerItem(file, ckStringList, nullptr, item, 1));
    EXPECT_EQ(item.Items()->Text(), "beta\r\n");
    EXPECT_THROW(QclLoadContainerItem(file, ckStringList, nullptr, item, 2), EListError);
    try {
        QclLoadContainerItem(file, ckWaveList, nullptr, item, 0);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find(file), std::string::npos);
    }

    auto damaged = [&](size_t at, uint32_t value) {
        Bytes b = bytes;
        PutU32(b.data() + at, value);
        test::WriteAll(dir.File("bad.txt"), b);
        offsets = {99};
        EXPECT_THROW(QclReadContainerHeader(dir.File("bad.txt"), count, &offsets), EReadError);
    };
    damaged(9, 0x40000000);                          // a count the file cannot hold
    damaged(9, 0xFFFFFFFF);                          // a negative count
    damaged(13, static_cast<uint32_t>(bytes.size()));  // an offset past the end
    damaged(17, 3);                                  // an offset inside the header
    Bytes other(bytes);
    other[4] = 'X';
    test::WriteAll(dir.File("other.txt"), other);
    offsets = {99};
    EXPECT_EQ(QclReadContainerHeader(dir.File("other.txt"), count, &offsets), ckUnknown);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(offsets, std::vector<uint32_t>{99});
    EXPECT_EQ(QclContainerExt(ckImageList, true), ".iml");
    EXPECT_EQ(QclContainerExt(ckRichTextList, false), "rtf");
    EXPECT_EQ(QclContainerExt(ckUnknown, true), "");
}

TEST(QclContainers, StreamCountsBeyondTheStreamRaiseBeforeMakingItems) {
    const Bytes b{0xFF, 0xFF, 0xFF, 0x0F, 0};
    TReadOnlyMemoryStream in(b.data(), static_cast<int64_t>(b.size()));
    TQclStringList list(nullptr);
    EXPECT_THROW(list.LoadFromStream(in, false), EReadError);
    EXPECT_EQ(list.Count(), 0);
}

TEST(DibChecks, SizesAreCheckedAgainstTheBytes) {
    DibLayout l;
    Bytes b = test::Bmp(10, 10, 4);
    ASSERT_TRUE(CheckBitmapFile(b.data(), b.size(), l));
    EXPECT_EQ(l.colors, 16u);
    EXPECT_EQ(l.stride, 8u);
    EXPECT_EQ(l.imageSize, 80u);
    EXPECT_EQ(l.bitsOffset, 104u);
    EXPECT_FALSE(CheckBitmapFile(b.data(), b.size() - 1, l));  // one row byte short
    const Bytes top = test::Bmp(3, -2, 24);
    EXPECT_TRUE(CheckBitmapFile(top.data(), top.size(), l));
    auto refused = [&](size_t at, uint32_t value, int bytes = 4) {
        Bytes c = b;
        for (int i = 0; i < bytes; ++i) c[at + i] = static_cast<uint8_t>(value >> (8 * i));
        EXPECT_FALSE(CheckBitmapFile(c.data(), c.size(), l)) << at << " " << value;
    };
    refused(14, 0x10000);       // a header larger than the file
    refused(18, 0x40000000);    // rows x height far beyond the bytes
    refused(22, 0);             // no rows
    refused(28, 3, 2);          // a bit count that does not exist
    refused(46, 17);            // more colours than 4 bits index
    refused(10, 60);            // pixels inside the colour table
    refused(30, 4);             // JPEG inside a DIB
    // Run-length data: a run past the row's end, and one past the last row.
    const Bytes rle = test::Bmp(4, 1, 8, 1, {4, 9, 0, 1});
    EXPECT_TRUE(CheckBitmapFile(rle.data(), rle.size(), l));
    for (const Bytes& runs : {Bytes{5, 9, 0, 1}, Bytes{4, 9, 0, 0, 1, 9}, Bytes{0, 3, 1, 2}, Bytes{0, 2, 9, 0}}) {
        const Bytes bad = test::Bmp(4, 1, 8, 1, runs);
        EXPECT_FALSE(CheckBitmapFile(bad.data(), bad.size(), l));
    }
}

}  // namespace
}  // namespace treskel
