// Prefix codes of the -lh5- stream: length-limited code lengths, canonical
// codes and decoding tables.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "compress/LH5Format.h"

namespace treskel::lh5 {

int MakeCodeLengths(const uint32_t* freq, int n, uint8_t* len) {
    std::fill(len, len + n, 0);
    // The symbols that occur, rarest first, ties by symbol.
    uint64_t leaf[NC];
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (freq[i] != 0) leaf[m++] = static_cast<uint64_t>(freq[i]) << 16 | static_cast<uint64_t>(i);
    if (m < 2) return m;
    std::sort(leaf, leaf + m);

    // Huffman tree by two queues: the leaves in order and the inner nodes
    // as they are made, which come out in order too; a leaf goes first on
    // a tie.  Node k's parent is an inner node; leaves are 0..m-1, inner
    // nodes m..2m-2.
    uint64_t weight[NC - 1];
    int parent[2 * NC - 1];
    int nextLeaf = 0;
    int nextNode = 0;
    auto takeSmallest = [&](int made) {
        if (nextLeaf < m && (nextNode == made || (leaf[nextLeaf] >> 16) <= weight[nextNode])) return nextLeaf++;
        return m + nextNode++;
    };
    auto weightOf = [&](int node) { return node < m ? leaf[node] >> 16 : weight[node - m]; };
    for (int made = 0; made < m - 1; ++made) {
        const int a = takeSmallest(made);
        const int b = takeSmallest(made);
        weight[made] = weightOf(a) + weightOf(b);
        parent[a] = m + made;
        parent[b] = m + made;
    }
    int depth[2 * NC - 1];
    depth[2 * m - 2] = 0;
    for (int i = 2 * m - 3; i >= 0; --i) depth[i] = depth[parent[i]] + 1;
    int lenCount[MAXCODELEN + 1] = {};
    for (int i = 0; i < m; ++i) ++lenCount[std::min(depth[i], MAXCODELEN)];

    // Leaves cut to 16 overfill the code space: move leaves down from the
    // deepest shorter length until it is filled exactly.
    uint32_t kraft = 0;
    for (int l = 1; l <= MAXCODELEN; ++l) kraft += static_cast<uint32_t>(lenCount[l]) << (MAXCODELEN - l);
    while (kraft > (1u << MAXCODELEN)) {
        --lenCount[MAXCODELEN];
        for (int l = MAXCODELEN - 1; l > 0; --l) {
            if (lenCount[l] != 0) {
                --lenCount[l];
                lenCount[l + 1] += 2;
                break;
            }
        }
        --kraft;
    }

    // Longest codes to the rarest symbols.
    int k = 0;
    for (int l = MAXCODELEN; l > 0; --l)
        for (int c = 0; c < lenCount[l]; ++c) len[leaf[k++] & 0xFFFF] = static_cast<uint8_t>(l);
    return m;
}

void MakeCodes(const uint8_t* len, int n, uint16_t* code) {
    uint16_t count[MAXCODELEN + 1] = {};
    for (int i = 0; i < n; ++i) ++count[len[i]];
    uint32_t start[MAXCODELEN + 2] = {};
    for (int l = 1; l <= MAXCODELEN; ++l) start[l + 1] = (start[l] + count[l]) << 1;
    for (int i = 0; i < n; ++i) code[i] = len[i] != 0 ? static_cast<uint16_t>(start[len[i]]++) : 0;
}

namespace {

void FillRun(uint16_t* t, uint32_t span, uint16_t entry) {
    if (span >= 4) {
        const uint64_t four = entry * 0x0001000100010001ull;
        for (uint32_t j = 0; j < span; j += 4) std::memcpy(t + j, &four, 8);
    } else {
        for (uint32_t j = 0; j < span; ++j) t[j] = entry;
    }
}

}  // namespace

bool DecodeTable::Build(const uint8_t* len, int n, int bits) {
    bits_ = bits;
    if (*std::max_element(len, len + n) > MAXCODELEN) return false;
    // Four counts side by side: one count bumped for every symbol in turn
    // waits on its own last store.
    uint16_t counts[4][MAXCODELEN + 1] = {};
    int i = 0;
    for (; i + 4 <= n; i += 4)
        for (int k = 0; k < 4; ++k) ++counts[k][len[i + k]];
    for (; i < n; ++i) ++counts[0][len[i]];
    for (int l = 0; l <= MAXCODELEN; ++l) count_[l] = static_cast<uint16_t>(counts[0][l] + counts[1][l] + counts[2][l] + counts[3][l]);
    uint32_t kraft = 0;
    for (int l = 1; l <= MAXCODELEN; ++l) kraft += static_cast<uint32_t>(count_[l]) << (MAXCODELEN - l);
    if (kraft != (1u << MAXCODELEN)) return false;

    uint32_t start = 0;
    uint16_t index = 0;
    for (int l = 1; l <= MAXCODELEN; ++l) {
        start_[l] = static_cast<uint16_t>(start);
        index_[l] = index;
        index = static_cast<uint16_t>(index + count_[l]);
        start = (start + count_[l]) << 1;
    }
    uint16_t fill[MAXCODELEN + 1];
    std::copy(std::begin(index_), std::end(index_), fill);
    for (int i = 0; i < n; ++i)
        if (len[i] != 0) sorted_[fill[len[i]]++] = static_cast<uint16_t>(i);

    // Canonical codes in code order fill the table from its start, each
    // code of length l <= bits a run of 2^(bits - l) entries; the longer
    // codes share the prefixes after them.
    uint16_t* t = table_;
    for (int l = 1; l <= bits; ++l) {
        const uint32_t span = 1u << (bits - l);
        for (int k = 0; k < count_[l]; ++k, t += span) FillRun(t, span, EntryOf(sorted_[index_[l] + k], l));
    }
    std::fill(t, table_ + (1u << bits), kLong);
    return true;
}

void DecodeTable::BuildSingle(int symbol, int bits) {
    bits_ = bits;
    std::fill(table_, table_ + (1u << bits), EntryOf(symbol, 0));
}

void DecodeTable::BuildIdentity(int bits) {
    bits_ = bits;
    for (uint32_t i = 0; i < (1u << bits); ++i) table_[i] = MakeEntry(static_cast<int>(i >> (bits - 8)), 8);
}

uint32_t DecodeTable::DecodeLong(uint32_t next16) const {
    for (int l = bits_ + 1; l <= MAXCODELEN; ++l) {
        const uint32_t c = next16 >> (MAXCODELEN - l);
        const uint32_t offset = c - start_[l];
        if (offset < count_[l]) return EntryOf(sorted_[index_[l] + offset], l);
    }
    // A complete code always resolves; kept for safety.
    return EntryOf(sorted_[0], MAXCODELEN);
}

}  // namespace treskel::lh5
