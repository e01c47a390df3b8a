#include "store/TreeFile.h"

#include <memory>
#include <string>

#include "platform/SysUtils.h"

namespace treskel {

namespace {

void AppendBranch(std::vector<uint8_t>& out, TItemNode& top) {
    ForEachInBranch(&top, [&out](TItemNode* n) {
        if (n->Data() == nullptr) n->SetData(std::make_unique<TItemData>());
        TItemData& d = *n->Data();
        d.Expanded = n->Expanded() ? 1 : 0;
        d.SubCount = n->Count();
        d.ImageIndex = static_cast<uint16_t>(n->ImageIndex());
        d.StateIndex = static_cast<uint16_t>(n->StateIndex());
        const auto record = StoreItemData(d);
        out.insert(out.end(), record.begin(), record.end());
        const std::string text = n->Text();
        uint8_t len[4];
        PutU32(len, static_cast<uint32_t>(text.size()));
        out.insert(out.end(), len, len + 4);
        out.insert(out.end(), text.begin(), text.end());
    });
}

struct ParsedItem {
    TItemData data;
    std::string caption;
};

[[noreturn]] void Damaged(const char* what, size_t at) {
    throw ETreeFileError(Format("The tree data is damaged: %s (at byte %lld).", what, static_cast<long long>(at)));
}

// Parses `count` item blocks, depth-first, from p[pos..n); returns the end.
// Every block is at least MinItemBlockSize bytes, so counts that more bytes
// could not hold are refused before anything is built.
size_t ParseBlocks(const uint8_t* p, size_t n, size_t pos, int64_t count, std::vector<ParsedItem>& items) {
    int64_t pending = count;
    auto fits = [&](int64_t blocks) { return blocks <= static_cast<int64_t>((n - pos) / MinItemBlockSize); };
    if (!fits(pending)) Damaged("more items are counted than the data can hold", pos);
    while (pending > 0) {
        const size_t blockStart = pos;
        if (n - pos < static_cast<size_t>(MinItemBlockSize)) Damaged("an item is cut off", blockStart);
        ParsedItem item{LoadItemData(p + pos), {}};
        pos += ItemDataSize;
        const int32_t len = static_cast<int32_t>(GetU32(p + pos));
        pos += 4;
        if (len < 0 || static_cast<size_t>(len) > n - pos) Damaged("a caption length is out of range", blockStart);
        item.caption.assign(reinterpret_cast<const char*>(p + pos), static_cast<size_t>(len));
        pos += static_cast<size_t>(len);
        if (item.data.SubCount < 0) Damaged("a sub-item count is negative", blockStart);
        pending += item.data.SubCount - 1;
        if (!fits(pending)) Damaged("more sub-items are counted than the data can hold", blockStart);
        items.push_back(std::move(item));
    }
    return pos;
}

void Apply(TItemNode* node, ParsedItem& item) {
    if (item.data.ImageIndex == ImgOldItem) item.data.ImageIndex = ImgItem;
    node->SetImageIndex(item.data.ImageIndex);
    node->SetStateIndex(item.data.StateIndex);
    node->SetText(item.caption);
    node->SetData(std::make_unique<TItemData>(item.data));
}

// Builds parsed blocks: the first into `first` when given, other top
// blocks as new top items of `tree`.
void Build(std::vector<ParsedItem>& items, TItemNode* first, TItemTree* tree) {
    struct Open {
        TItemNode* node;
        int32_t left;
        bool expanded;
    };
    std::vector<Open> stack;
    for (size_t i = 0; i < items.size(); ++i) {
        TItemNode* node;
        if (stack.empty()) {
            node = (i == 0 && first != nullptr) ? first : tree->AddTop();
        } else {
            node = stack.back().node->AddChild();
            --stack.back().left;
        }
        Apply(node, items[i]);
        stack.push_back({node, items[i].data.SubCount, items[i].data.Expanded != 0});
        while (!stack.empty() && stack.back().left == 0) {
            stack.back().node->SetExpanded(stack.back().expanded);
            stack.pop_back();
        }
    }
}

std::vector<uint8_t> ReadRest(TStream& stream) {
    const int64_t n = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(n > 0 ? n : 0));
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

}  // namespace

void WriteItem(TStream& stream, TItemNode& node) {
    std::vector<uint8_t> bytes;
    AppendBranch(bytes, node);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::vector<uint8_t> TreeFileBytes(const TItemTree& tree) {
    std::vector<uint8_t> bytes(4);
    PutU32(bytes.data(), static_cast<uint32_t>(tree.Count()));
    for (int i = 0; i < tree.Count(); ++i) AppendBranch(bytes, *tree.Item(i));
    return bytes;
}

void WriteTreskel(const TItemTree& tree, TStream& stream) {
    const auto bytes = TreeFileBytes(tree);
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void ReadItem(TStream& stream, TItemNode& node) {
    const int64_t start = stream.Position();
    const auto bytes = ReadRest(stream);
    std::vector<ParsedItem> items;
    const size_t end = ParseBlocks(bytes.data(), bytes.size(), 0, 1, items);
    Build(items, &node, nullptr);
    stream.SetPosition(start + static_cast<int64_t>(end));
}

void LoadTreskel(TItemTree& tree, TStream& stream) {
    const auto bytes = ReadRest(stream);
    if (bytes.empty()) return;
    if (bytes.size() < 4) Damaged("the top count is cut off", 0);
    const int32_t top = static_cast<int32_t>(GetU32(bytes.data()));
    if (top < 0) Damaged("the top count is negative", 0);
    std::vector<ParsedItem> items;
    const size_t end = ParseBlocks(bytes.data(), bytes.size(), 4, top, items);
    // The next save would drop them.
    if (end != bytes.size()) Damaged("there are bytes after the last item", end);
    Build(items, nullptr, &tree);
}

void CutItemToStream(TStream& itemStream, TItemTree& tree, TItemNode* node) {
    itemStream.SetPosition(0);
    WriteItem(itemStream, *node);
    TItemNode* parent = node->Parent();
    tree.Delete(node);
    if (parent == nullptr) return;
    // A locked parent keeps its lock image: the commands that refuse a
    // locked item go by it.
    if (parent->ImageIndex() == ImgLocked) return;
    const bool link = parent->Data() != nullptr && parent->Data()->IsLink != 0;
    if (parent->Count() == 0)
        parent->SetImageIndex(link ? ImgLink : ImgItem);
    else
        parent->SetImageIndex(link ? ImgLinkParent : ImgParent);
}

void ReadItemStream(TStream& itemStream, TItemNode& node) {
    itemStream.SetPosition(0);
    ReadItem(itemStream, node);
    ForEachInBranch(&node, [](TItemNode* n) { n->SetExpanded(true); });
}

}  // namespace treskel
