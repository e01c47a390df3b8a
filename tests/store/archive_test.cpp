#include <gtest/gtest.h>

#include <map>

#include "store/TreeFile.h"
#include "store/NoteStore.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
#include "support/StoreTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using test::FailingOps;
using Bytes = std::vector<unsigned char>;

std::map<std::string, Bytes> Snapshot(const test::TempDir& dir) { return test::DataFiles(dir.Path()); }

void Loose(const test::TempDir& dir, int32_t id, const std::string& bytes) {
    test::WriteLooseNote(dir.Path(), "T", id, bytes);
}

TEST(Archive, EmptyTreskelIsTwelveBytes) {
    test::TempDir dir;
    TPlainItemTree tree;
    SaveTreskel(tree, dir.Path(), "Empty");
    EXPECT_EQ(test::ReadAll(dir.File("Empty.tsx")), Bytes({4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Snapshot(dir).size(), 1u);
}

TEST(Archive, ItemWithoutNoteAndLinksPackMinusOne) {
    test::TempDir dir;
    TPlainItemTree tree;
    test::AddItem(tree, nullptr, "Origin", 11);
    test::AddItem(tree, nullptr, "Link", 11, true);
    test::AddItem(tree, nullptr, "Bare", 12);
    Loose(dir, 11, "NOTE");
    PackTreskel(tree, dir.Path(), "T");
    const Bytes a = test::ReadAll(dir.File("T.tsx"));
    TMemoryStream s(std::vector<uint8_t>(a.begin(), a.end()));
    const TArchiveIndex index = ScanArchive(s);
    ASSERT_EQ(index.Entries.size(), 3u);
    EXPECT_EQ(index.Entries[0].Id, 11);
    EXPECT_EQ(index.Entries[0].Size, 4);
    EXPECT_EQ(std::string(a.begin() + index.Entries[0].Offset, a.begin() + index.Entries[0].Offset + 4), "NOTE");
    EXPECT_EQ(index.Entries[1].Size, -1);  // the link
    EXPECT_EQ(index.Entries[2].Size, -1);  // no note file
    EXPECT_FALSE(FileExists(NoteFileName(dir.Path(), "T", 11)));
    EXPECT_FALSE(DirectoryExists(dir.File("T.tsn")));
    // Tail of the archive, byte for byte: the bare item's entry.
    EXPECT_EQ(Bytes(a.end() - 8, a.end()), Bytes({12, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Archive, SaveAndOpenRoundTrip) {
    test::TempDir dir;
    TPlainItemTree tree;
    auto* a = test::AddItem(tree, nullptr, "A", 1);
    test::AddItem(tree, a, "B", 2);
    test::AddItem(tree, nullptr, "C", 3);
    Loose(dir, 1, "one");
    Loose(dir, 2, std::string(100000, 'b'));
    test::WriteAll(dir.File("T.tsk"), std::string("stale tree file"));
    SaveTreskel(tree, dir.Path(), "T");
    EXPECT_EQ(tree.Item(0)->Data(), nullptr);  // records released
    EXPECT_EQ(Snapshot(dir).size(), 1u);      // only the archive is left

    const Bytes archive = test::ReadAll(dir.File("T.tsx"));
    TPlainItemTree back;
    TNoteStore notes;
    notes.SetDataPath(dir.Path());
    notes.Open(back, "T");
    EXPECT_EQ(ItemCount(back), 3);
    EXPECT_EQ(back.Item(0)->Item(0)->Text(), "B");
    EXPECT_EQ(Snapshot(dir).size(), 1u);  // the notes stay in the archive
    notes.Pack(back, "T");
    EXPECT_EQ(test::ReadAll(dir.File("T.tsx")), archive);
}

TEST(Archive, MissingArchiveOpensEmpty) {
    test::TempDir dir;
    TPlainItemTree tree;
    test::AddItem(tree, nullptr, "x", 1);
    OpenTreskel(tree, dir.Path(), "New");
    EXPECT_EQ(tree.Count(), 0);
}

TEST(Archive, DuplicateIdsPackTheFileOnce) {
    test::TempDir dir;
    TPlainItemTree tree;
    test::AddItem(tree, nullptr, "A", 5);
    test::AddItem(tree, nullptr, "B", 5);
    Loose(dir, 5, "shared");
    PackTreskel(tree, dir.Path(), "T");
    const Bytes a = test::ReadAll(dir.File("T.tsx"));
    TMemoryStream s(std::vector<uint8_t>(a.begin(), a.end()));
    const TArchiveIndex index = ScanArchive(s);
    EXPECT_EQ(index.Entries[0].Size, 6);
    EXPECT_EQ(index.Entries[1].Size, -1);
}

TEST(Archive, CaptionsComeFromArchiveNames) {
    test::TempDir dir;
    for (const char* name : {"Work.tsx", "my.notes.tsx", "Home.TSX", "Work.tsx.tmp", "Work.tsk", "x.tsxa", "12"})
        test::WriteAll(dir.File(name), std::string("x"));
    auto captions = TreskelCaptions(dir.Path());
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ(captions, std::vector<std::string>({"Home", "Work", "my.notes"}));
}

// A valid archive of two notes to damage.
Bytes SampleArchive(test::TempDir& dir) {
    TPlainItemTree tree;
    auto* a = test::AddItem(tree, nullptr, "A", 1);
    test::AddItem(tree, a, "B", 2);
    Loose(dir, 1, "first note");
    Loose(dir, 2, "second note");
    PackTreskel(tree, dir.Path(), "T");
    return test::ReadAll(dir.File("T.tsx"));
}

TEST(Archive, EveryTruncationIsRefusedAndNothingIsWritten) {
    test::TempDir dir;
    const Bytes good = SampleArchive(dir);
    Loose(dir, 1, "newer loose note");
    for (size_t cut = 0; cut < good.size(); ++cut) {
        test::WriteAll(dir.File("T.tsx"), Bytes(good.begin(), good.begin() + static_cast<long>(cut)));
        const auto before = Snapshot(dir);
        TPlainItemTree tree;
        try {
            OpenTreskel(tree, dir.Path(), "T");
            ADD_FAILURE() << "accepted a cut at " << cut;
        } catch (const ETreskelError& e) {
            EXPECT_NE(e.Message().find("is damaged"), std::string::npos) << e.Message();
        }
        EXPECT_EQ(Snapshot(dir), before) << cut;
    }
}

TEST(Archive, OversizedFieldsAreRefused) {
    test::TempDir dir;
    const Bytes good = SampleArchive(dir);
    auto refuse = [&](Bytes bad) {
        TMemoryStream s(std::vector<uint8_t>(bad.begin(), bad.end()));
        EXPECT_THROW(ScanArchive(s), ETreskelError);
    };
    Bytes b = good;
    PutU32(b.data(), 0x7FFFFFFF);  // tree size
    refuse(b);
    b = good;
    PutU32(b.data(), 0xFFFFFFF0);  // negative tree size
    refuse(b);
    const size_t countAt = 4 + GetU32(good.data());
    b = good;
    PutU32(b.data() + countAt, 1000);
    refuse(b);
    b = good;
    PutU32(b.data() + countAt + 8, 0x7FFFFFFF);  // first note size
    refuse(b);
    b = good;
    PutU32(b.data() + countAt + 8, 0xFFFFFFFE);  // -2
    refuse(b);
}

TEST(Archive, DamagedTreeFileIsAnErrorWithAnEmptyTree) {
    test::TempDir dir;
    TPlainItemTree tree;
    test::AddItem(tree, nullptr, "A", 1);
    PackTreskel(tree, dir.Path(), "T");
    Bytes a = test::ReadAll(dir.File("T.tsx"));
    PutU32(a.data() + 4, 5);  // five top items in a tree file of one
    test::WriteAll(dir.File("T.tsx"), a);
    TPlainItemTree back;
    EXPECT_THROW(OpenTreskel(back, dir.Path(), "T"), ETreskelError);
    EXPECT_EQ(back.Count(), 0);
}

TEST(Archive, AFailedSaveLeavesEverythingAsItWas) {
    test::TempDir dir;
    TPlainItemTree tree;
    auto* a = test::AddItem(tree, nullptr, "A", 1);
    test::AddItem(tree, a, "B", 2);
    Loose(dir, 1, std::string(300000, '1'));
    Loose(dir, 2, "two");
    test::WriteAll(dir.File("T.tsx"), std::string("the previous archive"));
    test::WriteAll(dir.File("T.tsk"), std::string("the loose tree file"));
    const auto before = Snapshot(dir);

    std::vector<FailingOps> cases = {FailingOps(FailingOps::kCreate), FailingOps(FailingOps::kFlush),
                                     FailingOps(FailingOps::kReadBack), FailingOps(FailingOps::kCorrupt),
                                     FailingOps(FailingOps::kReplace)};
    for (int64_t limit : {0, 3, 4, 50, 200, 1000, 250000, 300100}) cases.emplace_back(FailingOps::kWrite, limit);
    for (auto& ops : cases) {
        try {
            PackTreskel(tree, dir.Path(), "T", ops);
            ADD_FAILURE() << "a failing save reported success";
        } catch (const ETreskelError& e) {
            EXPECT_NE(e.Message().find("could not be saved"), std::string::npos);
            EXPECT_NE(e.Message().find("unchanged"), std::string::npos);
        }
        EXPECT_EQ(Snapshot(dir), before);
        EXPECT_NE(tree.Item(0)->Data(), nullptr);
    }
    PackTreskel(tree, dir.Path(), "T");
    EXPECT_EQ(Snapshot(dir).size(), 1u);
}

}  // namespace
}  // namespace treskel
