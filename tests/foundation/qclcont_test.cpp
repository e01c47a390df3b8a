// Wave data, list items, container streams and files, and the checks of
// bitmap files: everything of the containers that needs no window.
#include <gtest/gtest.h>

#include "foundation/qclcont.h"
#include "foundation/qclprocs.h"
#include "platform/DibFormat.h"
#include "platform/FormLoader.h"
#include "support/DibBytes.h"
#include "support/Media.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using Bytes = std::vector<uint8_t>;

void Load(TQclWave& wave, const Bytes& b) {
    TReadOnlyMemoryStream s(b.data(), static_cast<int64_t>(b.size()));
    wave.LoadFromStream(s);
}

template <class List>
Bytes Saved(List& list, bool withOffsets) {
    TMemoryStream s;
    list.SaveToStream(s, withOffsets);
    return s.Bytes();
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

// The wave item of the stream procedures: the wave's own plain or
// compressed form.
TEST(QclWave, WaveItemsArePlainOrCompressed) {
    TQclWave wave;
    const Bytes good = test::Wave(2000);
    Load(wave, good);
    TMemoryStream plain, packed;
    QclWriteWave(plain, wave, false);
    QclWriteWave(packed, wave, true);
    EXPECT_EQ(GetU32(plain.Memory()), good.size());
    EXPECT_EQ(Bytes(plain.Memory() + 4, plain.Memory() + plain.Size()), good);
    TMemoryStream expanded;
    packed.SetPosition(0);
    QclExpandStream(packed, expanded);
    EXPECT_EQ(expanded.Bytes(), good);
    for (TMemoryStream* s : {&plain, &packed}) {
        s->SetPosition(0);
        TQclWave back;
        QclReadWave(*s, back, s == &packed);
        EXPECT_EQ(Bytes(back.Memory(), back.Memory() + back.Size()), good);
        EXPECT_EQ(s->Position(), s->Size());
    }
}

TEST(QclWave, CreateFromFileLoadsAWaveFileAndRefusesAnythingElse) {
    test::TempDir dir;
    const Bytes good = test::Wave(500);
    test::WriteAll(dir.File("beep.wav"), good);
    test::WriteAll(dir.File("text.wav"), std::string("not a wave at all, though long enough to hold a header"));
    const auto wave = TQclWave::CreateFromFile(dir.File("beep.wav"));
    EXPECT_EQ(Bytes(wave->Memory(), wave->Memory() + wave->Size()), good);
    EXPECT_THROW(TQclWave::CreateFromFile(dir.File("text.wav")), EInvalidWave);
    EXPECT_THROW(TQclWave::CreateFromFile(dir.File("none.wav")), EFOpenError);
}

// A component of the tests that holds a wave as a published sub-object,
// as a sounding control would, and is the root of the layouts here.
class TSounding : public TComponent {
    TRESKEL_CLASS(TSounding)
public:
    explicit TSounding(TComponent* owner) : TComponent(owner) {}
    TQclWave* Sound() { return &sound_; }

private:
    TQclWave sound_;
};

void RegisterForTests() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterContainerClasses();
    PublishClass<TSounding, TComponent>().Object("Sound", &TSounding::Sound);
}

std::string Hex(const Bytes& b) {
    std::string s;
    for (uint8_t x : b) s += IntToHex(x, 2);
    return s;
}

// "Data" holds the size and the bytes of the wave; a wave without data
// writes none, an emptied one four zero bytes.
TEST(QclWave, TheDataPropertyHoldsTheWave) {
    RegisterForTests();
    const Bytes good = test::Wave(64);
    Bytes data(4);
    PutU32(data.data(), static_cast<uint32_t>(good.size()));
    data.insert(data.end(), good.begin(), good.end());
    TSounding root(nullptr);
    ReadLayout(&root, "object Root: TSounding\n  Sound.Data = {" + Hex(data) + "}\nend\n", "test");
    EXPECT_EQ(Bytes(root.Sound()->Memory(), root.Sound()->Memory() + root.Sound()->Size()), good);
    EXPECT_NE(WriteLayout(&root).find("Sound.Data = {"), std::string::npos);
    TSounding again(nullptr);
    ReadLayout(&again, WriteLayout(&root), "again");
    EXPECT_EQ(Bytes(again.Sound()->Memory(), again.Sound()->Memory() + again.Sound()->Size()), good);

    Bytes notWave = data;
    notWave[4] = 'X';
    TSounding bad(nullptr);
    EXPECT_THROW(ReadLayout(&bad, "object Root: TSounding\n  Sound.Data = {" + Hex(notWave) + "}\nend\n", "bad"),
                 EReadError);
    EXPECT_TRUE(bad.Sound()->IsEmpty());

    root.Sound()->Clear();
    EXPECT_EQ(WriteLayout(&root).find("Data"), std::string::npos);
    TMemoryStream sink;
    root.Sound()->WriteWithSize(sink);  // makes an empty data stream
    EXPECT_NE(WriteLayout(&root).find("Sound.Data = {\n    00000000}"), std::string::npos) << WriteLayout(&root);
}

// String and wave lists keep their items inside them in a layout, each
// item's settings and data in its "Internal" bytes, the lists' own
// settings as properties.
TEST(QclContainerLayouts, ListsHoldTheirItemsAndSettings) {
    RegisterForTests();
    TSounding root(nullptr);
    root.SetName("Root");
    auto* strings = new TQclStringList(&root);
    strings->SetName("Strings1");
    strings->SetAbout("any text");
    strings->SetStorageMode(4);
    strings->SetPathPrefix(TQclPathPrefix::ppFixed);
    strings->SetFileName("C:\\art\\gly.bmp");
    strings->Items(strings->Add())->Items()->Add("first");
    TQclStringListItem* second = strings->Items(strings->Add());
    second->Items()->Add("second");
    second->SetDescription("two");
    second->SetIdent(7);
    second->SetCompressed(true);
    auto* waves = new TQclWaveList(&root);
    waves->SetName("Waves1");
    Load(*waves->Items(waves->Add())->Wave(), test::Wave(300));
    strings->Items(0)->SetName("First");
    const std::string text = WriteLayout(&root);
    EXPECT_NE(text.find("object First: TQclStringListItem"), std::string::npos) << text;
    EXPECT_NE(text.find("PathPrefix = ppFixed"), std::string::npos) << text;

    TSounding back(nullptr);
    ReadLayout(&back, text, "back");
    auto* s = dynamic_cast<TQclStringList*>(back.FindComponent("Strings1"));
    auto* w = dynamic_cast<TQclWaveList*>(back.FindComponent("Waves1"));
    ASSERT_NE(s, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(s->About(), "any text");
    EXPECT_EQ(s->StorageMode(), 4);
    EXPECT_EQ(s->PathPrefix(), TQclPathPrefix::ppFixed);
    EXPECT_EQ(s->FileName(), "C:\\art\\gly.bmp");
    ASSERT_EQ(s->Count(), 2);
    EXPECT_EQ(s->Items(0)->Owner(), s);
    EXPECT_EQ(s->Items(0)->Name(), "First");
    EXPECT_EQ(s->Items(0)->Items()->Get(0), "first");
    EXPECT_EQ(s->Items(1)->Items()->Get(0), "second");
    EXPECT_EQ(s->Items(1)->Description(), "two");
    EXPECT_EQ(s->Items(1)->Ident(), 7);
    EXPECT_TRUE(s->Items(1)->Compressed());
    ASSERT_EQ(w->Count(), 1);
    EXPECT_EQ(Saved(*w, true), Saved(*waves, true));
    EXPECT_EQ(WriteLayout(&back), text);
}

// An item adds itself to its container before its own properties are
// read; outside a container of its kind it has no place.
TEST(QclContainerLayouts, ItemsJoinTheirContainerFirstAndOnlyAContainerOfTheirKind) {
    RegisterForTests();
    // The list as the root of the layout, watched from before it is read.
    TQclStringList list(nullptr);
    std::vector<std::pair<int, int>> changes;  // items, and strings of the first
    list.OnChange = [&](TObject*) {
        changes.emplace_back(list.Count(), list.Count() > 0 ? list.Items(0)->Items()->Count() : -1);
    };
    // Internal: flags (data), then the list "a".
    ReadLayout(&list, "object Strings1: TQclStringList\n  object TQclStringListItem\n"
                      "    Internal = {0803000000610D0A}\n  end\nend\n",
               "test");
    ASSERT_GE(changes.size(), 2u);
    EXPECT_EQ(changes.front(), (std::pair<int, int>{1, 0}));  // joined, with nothing read yet
    EXPECT_EQ(changes.back(), (std::pair<int, int>{1, 1}));
    EXPECT_EQ(list.Items(0)->Items()->Get(0), "a");
    for (const char* bad : {"object Root: TSounding\n  object I: TQclStringListItem\n  end\nend\n",
                            "object Root: TSounding\n  object W: TQclWaveList\n    object I: TQclStringListItem\n"
                            "    end\n  end\nend\n",
                            "object Root: TSounding\n  object S: TQclStringList\n    object I: TQclStringListItem\n"
                            "      Internal = {0803000000610D0A00}\n    end\n  end\nend\n"}) {
        TSounding other(nullptr);
        EXPECT_THROW(ReadLayout(&other, bad, "bad"), EReadError) << bad;
    }
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
