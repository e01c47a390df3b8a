#include <gtest/gtest.h>

#include "store/ItemData.h"
#include "store/ItemTree.h"
#include "store/NoteStore.h"
#include "support/StoreTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

TItemData Sample() {
    TItemData d;
    d.Expanded = 1;
    d.Locked = 1;
    d.SubCount = 2;
    d.ImageIndex = 26;
    d.ColourIndex = 3;
    d.Style = 5;
    d.FontSize = 9;
    d.StateIndex = 1;
    d.Id = 12345678;
    d.Compression = 2;
    d.Crc = 0x352441C2;
    d.Password = "secret";
    return d;
}

TEST(ItemData, GoldenBytes) {
    const std::array<uint8_t, 39> golden = {0x01, 0x01, 0x02, 0x00, 0x00, 0x00, 0x1A, 0x00, 0x03, 0x05,
                                            0x09, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4E,
                                            0x61, 0xBC, 0x00, 0x02, 0xC2, 0x41, 0x24, 0x35, 0x06, 's',
                                            'e',  'c',  'r',  'e',  't',  0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(StoreItemData(Sample()), golden);
    TMemoryStream s;
    WriteItemData(s, Sample());
    EXPECT_EQ(s.Size(), 39);
    s.SetPosition(0);
    const TItemData back = ReadItemData(s);
    EXPECT_EQ(StoreItemData(back), golden);
    EXPECT_EQ(back.Password, "secret");
    EXPECT_EQ(back.Id, 12345678);
}

TEST(ItemData, NeverSavedRecordHasCrcMinusOne) {
    const auto b = StoreItemData(TItemData{});
    EXPECT_EQ(GetU32(&b[24]), 0xFFFFFFFFu);
}

TEST(ItemData, PasswordOfTenCharactersAndLonger) {
    TItemData d;
    d.SetPassword("0123456789");
    EXPECT_EQ(LoadItemData(StoreItemData(d).data()).Password, "0123456789");
    d.SetPassword("0123456789ABC");
    EXPECT_EQ(d.Password, "0123456789");
    EXPECT_EQ(d.Locked, 1);
    auto b = StoreItemData(d);
    b[28] = 200;  // a damaged length reads no further than the field
    EXPECT_EQ(LoadItemData(b.data()).Password, "0123456789");
}

TEST(ItemId, FormulaAtMidnightAndAtNoon) {
    EXPECT_EQ(NewItemId(DateTimeToTimeStamp(2024, 3, 15, 0, 0, 0, 0)), 0);
    const TTimeStamp t = DateTimeToTimeStamp(2024, 3, 15, 12, 34, 56, 789);
    EXPECT_EQ(t.Date, 738960);
    EXPECT_EQ(t.Time, 45296789);
    EXPECT_EQ(NewItemId(t), 45296789 & 738960);
    EXPECT_EQ(DateTimeToTimeStamp(1, 1, 1, 0, 0, 0, 0).Date, 1);
    // Only the last 8 digits are kept.
    EXPECT_EQ(NewItemId(TTimeStamp{999999999, 999999999}), 99999999);
}

TEST(ItemId, NewIdsAvoidTheTreeAndTheDataDirectory) {
    test::TempDir dir;
    TPlainItemTree tree;
    auto clock = [] { return DateTimeToTimeStamp(2024, 3, 15, 12, 34, 56, 789); };
    const int32_t first = NewItemId(clock());
    auto* node = tree.AddTop();
    node->SetData(std::make_unique<TItemData>());
    node->Data()->Id = first;
    test::WriteLooseNote(dir.Path(), "T", first + 1, "note");
    TNoteStore notes;
    notes.SetDataPath(dir.Path());
    TPlainItemTree opened;
    notes.Open(opened, "T");
    EXPECT_EQ(NewItemId(tree, notes, clock), first + 2);
}

TEST(ItemId, SystemClockGivesAnIdOfAtMostEightDigits) {
    test::TempDir dir;
    TPlainItemTree tree;
    TNoteStore notes;
    notes.SetDataPath(dir.Path());
    for (int i = 0; i < 50; ++i) {
        const int32_t id = NewItemId(tree, notes);
        EXPECT_GE(id, 0);
        EXPECT_LT(id, 100000000);
        auto* n = tree.AddTop();
        n->SetData(std::make_unique<TItemData>());
        n->Data()->Id = id;
    }
    EXPECT_EQ(ItemCount(tree), 50);
}


TEST(ItemTree, LinksAndLocks) {
    TPlainItemTree tree;
    auto* a = test::AddItem(tree, nullptr, "A", 1);
    auto* link = test::AddItem(tree, a, "B", 2, true);
    auto* b = test::AddItem(tree, nullptr, "B", 2);
    auto* deep = test::AddItem(tree, b, "C", 3);
    test::AddItem(tree, deep, "D", 4);
    EXPECT_EQ(FindLinkOrigin(tree, link), b);
    RenameLinks(tree, b, "Bee");
    EXPECT_EQ(link->Text(), "Bee");
    EXPECT_EQ(b->Text(), "B");
    EXPECT_FALSE(CheckLocked(b));
    SetItemPassword(deep->Item(0), "pw");
    EXPECT_TRUE(CheckLocked(b));
    EXPECT_FALSE(CheckLocked(a));
    tree.Delete(b);
    EXPECT_EQ(FindLinkOrigin(tree, link), nullptr);
}

TEST(ItemTree, VeryDeepTreesAreWalkedAndFreedWithoutRecursion) {
    auto tree = std::make_unique<TPlainItemTree>();
    TItemNode* n = tree->AddTop();
    for (int i = 0; i < 200000; ++i) n = n->AddChild();
    EXPECT_EQ(ItemCount(*tree), 200001);
    tree.reset();
}

}  // namespace
}  // namespace treskel
