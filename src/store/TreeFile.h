// The tree file of a treskel and the item block it is made of, which is
// also the sub-tree stream that moves an item with its sub-items.
//
// Tree file: top count (i32), then one item block per top item.
// Item block: the 39-byte record, caption length (i32), caption, then
// SubCount item blocks.  All integers little-endian.
#pragma once

#include <cstdint>
#include <vector>

#include "store/ItemTree.h"
#include "platform/Streams.h"

namespace treskel {

// A tree file or item block that cannot be what it claims.
TRESKEL_EXCEPTION(ETreeFileError, Exception);

// Smallest item block: record and caption length.
inline constexpr int MinItemBlockSize = ItemDataSize + 4;

// Refreshes the records from the nodes (Expanded, SubCount, ImageIndex,
// StateIndex; a node without a record gets a default one) and writes.
void WriteItem(TStream& stream, TItemNode& node);
void WriteTreskel(const TItemTree& tree, TStream& stream);
std::vector<uint8_t> TreeFileBytes(const TItemTree& tree);

// Reads one item block into `node` (which takes its record, caption and
// new sub-items) and leaves the stream just after it.  The block is
// checked whole before the node is touched.
void ReadItem(TStream& stream, TItemNode& node);
// Reads a tree file from the stream's position to its end: an empty stream
// is an empty tree; bytes after the last item are damage; top items are
// added after any already there.
void LoadTreskel(TItemTree& tree, TStream& stream);

// Writes the node's block at the start of `itemStream`, removes the node
// and gives its former parent the image that fits what is left under it.
void CutItemToStream(TStream& itemStream, TItemTree& tree, TItemNode* node);
// Reads the block at the start of `itemStream` into `node` and expands it
// with all its sub-items.
void ReadItemStream(TStream& itemStream, TItemNode& node);

}  // namespace treskel
