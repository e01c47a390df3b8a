#include <gtest/gtest.h>

#include "store/TreeFile.h"

namespace treskel {
namespace {

TItemNode* Add(TItemTree& tree, TItemNode* parent, const std::string& text, int32_t id) {
    TItemNode* n = parent != nullptr ? parent->AddChild() : tree.AddTop();
    n->SetText(text);
    n->SetData(std::make_unique<TItemData>());
    n->Data()->Id = id;
    n->SetImageIndex(ImgItem);
    n->SetStateIndex(1);
    return n;
}

// Caption, image, state and expanded state of every item, in pre-order.
std::string Describe(const TItemTree& tree) {
    std::string s;
    ForEachItem(tree, [&s](TItemNode* n) {
        int depth = 0;
        for (TItemNode* p = n->Parent(); p != nullptr; p = p->Parent()) ++depth;
        s += std::string(static_cast<size_t>(depth), '.') + n->Text() + "/" + std::to_string(n->ImageIndex()) + "/" +
             std::to_string(n->StateIndex()) + (n->Expanded() ? "+" : "-") + "#" + std::to_string(n->Data()->Id) + " ";
    });
    return s;
}

TEST(TreeFile, EmptyTreeIsFourZeroBytes) {
    TPlainItemTree tree;
    TMemoryStream s;
    WriteTreskel(tree, s);
    EXPECT_EQ(s.Bytes(), std::vector<uint8_t>(4, 0));
}

TEST(TreeFile, OneItemGoldenBytes) {
    TPlainItemTree tree;
    auto* n = Add(tree, nullptr, "Hi", 7);
    n->SetExpanded(true);
    TMemoryStream s;
    WriteTreskel(tree, s);
    std::vector<uint8_t> golden = {1, 0, 0, 0};
    const uint8_t record[39] = {1, 0, 0, 0, 0, 0, 68, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 7,
                                0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    golden.insert(golden.end(), record, record + 39);
    golden.insert(golden.end(), {2, 0, 0, 0, 'H', 'i'});
    EXPECT_EQ(s.Bytes(), golden);
}

TEST(TreeFile, RoundTripKeepsShapeRecordsAndStates) {
    TPlainItemTree tree;
    auto* a = Add(tree, nullptr, "Alpha", 1);
    auto* b = Add(tree, a, "", 2);  // an empty caption
    Add(tree, b, "Gamma", 3)->SetImageIndex(ImgLocked);
    Add(tree, a, "Delta", 4);
    Add(tree, nullptr, "Epsilon", 5)->SetStateIndex(3);
    a->SetExpanded(true);
    a->SetImageIndex(ImgParent);
    a->Data()->Password = "pw";
    a->Data()->Locked = 1;
    TMemoryStream s;
    WriteTreskel(tree, s);
    s.SetPosition(0);
    TPlainItemTree back;
    LoadTreskel(back, s);
    EXPECT_EQ(Describe(back), Describe(tree));
    EXPECT_EQ(back.Item(0)->Data()->Password, "pw");
    EXPECT_EQ(back.Item(0)->Data()->SubCount, 2);
    EXPECT_EQ(static_cast<TPlainItemNode*>(back.Item(0))->SelectedIndex(), ImgParent);
}

TEST(TreeFile, OldItemImageReadsAsTheNewOne) {
    TPlainItemTree tree;
    Add(tree, nullptr, "Old", 1)->SetImageIndex(ImgOldItem);
    TMemoryStream s;
    WriteTreskel(tree, s);
    s.SetPosition(0);
    TPlainItemTree back;
    LoadTreskel(back, s);
    EXPECT_EQ(back.Item(0)->ImageIndex(), ImgItem);
    EXPECT_EQ(back.Item(0)->Data()->ImageIndex, ImgItem);
}

TEST(TreeFile, EmptyStreamIsAnEmptyTree) {
    TMemoryStream s;
    TPlainItemTree tree;
    LoadTreskel(tree, s);
    EXPECT_EQ(tree.Count(), 0);
}

TEST(TreeFile, EveryCutIsRefusedWithoutBuildingAnything) {
    TPlainItemTree tree;
    auto* a = Add(tree, nullptr, "Alpha", 1);
    Add(tree, Add(tree, a, "Beta", 2), "Gamma", 3);
    TMemoryStream s;
    WriteTreskel(tree, s);
    const auto bytes = s.Bytes();
    for (size_t cut = 1; cut < bytes.size(); ++cut) {
        TMemoryStream part(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
        TPlainItemTree back;
        EXPECT_THROW(LoadTreskel(back, part), ETreeFileError) << cut;
        EXPECT_EQ(back.Count(), 0);
    }
}

// The next save would drop them: bytes after the last item are damage.
TEST(TreeFile, BytesAfterTheLastItemAreRefused) {
    TPlainItemTree tree;
    Add(tree, Add(tree, nullptr, "Alpha", 1), "Beta", 2);
    TMemoryStream s;
    WriteTreskel(tree, s);
    for (size_t extra : {1, 5, 43}) {
        auto bytes = s.Bytes();
        bytes.insert(bytes.end(), extra, 0);
        TMemoryStream more(bytes);
        TPlainItemTree back;
        EXPECT_THROW(LoadTreskel(back, more), ETreeFileError) << extra;
        EXPECT_EQ(back.Count(), 0);
    }
}

TEST(TreeFile, ImpossibleCountsAreRefused) {
    std::vector<uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0x7F};  // 2^31-1 top items in 4 bytes
    TMemoryStream s(bytes);
    TPlainItemTree tree;
    EXPECT_THROW(LoadTreskel(tree, s), ETreeFileError);
    TMemoryStream neg(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_THROW(LoadTreskel(tree, neg), ETreeFileError);
}

TEST(TreeFile, DeepNestingLoadsWithoutRecursion) {
    TPlainItemTree tree;
    TItemNode* n = Add(tree, nullptr, "0", 0);
    for (int i = 1; i < 100000; ++i) n = Add(tree, n, "x", i);
    TMemoryStream s;
    WriteTreskel(tree, s);
    s.SetPosition(0);
    TPlainItemTree back;
    LoadTreskel(back, s);
    EXPECT_EQ(ItemCount(back), 100000);
}

TEST(SubTreeStream, CutAndReadMoveABranch) {
    TPlainItemTree tree;
    auto* a = Add(tree, nullptr, "A", 1);
    a->SetImageIndex(ImgParent);
    auto* b = Add(tree, a, "B", 2);
    Add(tree, b, "C", 3);
    auto* other = Add(tree, nullptr, "Other", 4);
    TMemoryStream itemStream;
    itemStream.WriteBuffer(std::string(500, 'z').data(), 500);  // stale bytes of an earlier move
    CutItemToStream(itemStream, tree, b);
    EXPECT_EQ(a->Count(), 0);
    EXPECT_EQ(a->ImageIndex(), ImgItem);
    auto* moved = other->AddChild();
    ReadItemStream(itemStream, *moved);
    EXPECT_EQ(moved->Text(), "B");
    EXPECT_EQ(moved->Data()->Id, 2);
    ASSERT_EQ(moved->Count(), 1);
    EXPECT_EQ(moved->Item(0)->Text(), "C");
    EXPECT_TRUE(moved->Expanded());
    EXPECT_TRUE(moved->Item(0)->Expanded());
}

TEST(SubTreeStream, LinkParentGetsLinkImages) {
    TPlainItemTree tree;
    auto* link = Add(tree, nullptr, "L", 1);
    link->Data()->IsLink = 1;
    auto* c1 = Add(tree, link, "c1", 2);
    Add(tree, link, "c2", 3);
    TMemoryStream s;
    CutItemToStream(s, tree, c1);
    EXPECT_EQ(link->ImageIndex(), ImgLinkParent);
    CutItemToStream(s, tree, link->Item(0));
    EXPECT_EQ(link->ImageIndex(), ImgLink);
}

TEST(SubTreeStream, ALockedParentKeepsItsLockImage) {
    TPlainItemTree tree;
    auto* locked = Add(tree, nullptr, "P", 1);
    locked->Data()->Locked = 1;
    locked->SetImageIndex(ImgLocked);
    auto* only = Add(tree, locked, "c", 2);
    TMemoryStream s;
    CutItemToStream(s, tree, only);
    EXPECT_EQ(locked->Count(), 0);
    EXPECT_EQ(locked->ImageIndex(), ImgLocked);
}

TEST(SubTreeStream, ReadItemStopsAfterItsBlock) {
    TPlainItemTree tree;
    Add(tree, nullptr, "A", 1);
    TMemoryStream s;
    WriteItem(s, *tree.Item(0));
    const int64_t end = s.Position();
    s.WriteBuffer("tail", 4);
    s.SetPosition(0);
    TPlainItemTree back;
    ReadItem(s, *back.AddTop());
    EXPECT_EQ(s.Position(), end);
}

}  // namespace
}  // namespace treskel
