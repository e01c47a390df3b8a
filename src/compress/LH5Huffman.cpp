// Prefix codes of the -lh5- stream: length-limited code lengths, canonical
// codes and decoding tables.
#include <algorithm>
#include <queue>
#include <utility>
#include <vector>

#include "compress/LH5Format.h"

namespace treskel::lh5 {

int MakeCodeLengths(const uint32_t* freq, int n, uint8_t* len) {
    std::fill(len, len + n, 0);
    std::vector<int> used;
    for (int i = 0; i < n; ++i)
        if (freq[i] != 0) used.push_back(i);
    const int m = static_cast<int>(used.size());
    if (m < 2) return m;

    // Huffman tree: leaves 0..m-1, inner nodes after them; ties go to the
    // lower index so that the result does not depend on the heap.
    using Item = std::pair<uint64_t, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> heap;
    std::vector<int> parent(2 * m - 1, -1);
    for (int i = 0; i < m; ++i) heap.emplace(freq[used[i]], i);
    int next = m;
    while (heap.size() > 1) {
        Item a = heap.top();
        heap.pop();
        Item b = heap.top();
        heap.pop();
        parent[a.second] = next;
        parent[b.second] = next;
        heap.emplace(a.first + b.first, next++);
    }
    std::vector<int> depth(2 * m - 1, 0);
    int lenCount[MAXCODELEN + 1] = {};
    for (int i = 2 * m - 3; i >= 0; --i) depth[i] = depth[parent[i]] + 1;
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
    std::vector<int> order(used);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return freq[a] < freq[b]; });
    int k = 0;
    for (int l = MAXCODELEN; l > 0; --l)
        for (int c = 0; c < lenCount[l]; ++c) len[order[k++]] = static_cast<uint8_t>(l);
    return m;
}

void MakeCodes(const uint8_t* len, int n, uint16_t* code) {
    uint16_t count[MAXCODELEN + 1] = {};
    for (int i = 0; i < n; ++i) ++count[len[i]];
    uint32_t start[MAXCODELEN + 2] = {};
    for (int l = 1; l <= MAXCODELEN; ++l) start[l + 1] = (start[l] + count[l]) << 1;
    for (int i = 0; i < n; ++i) code[i] = len[i] != 0 ? static_cast<uint16_t>(start[len[i]]++) : 0;
}

bool DecodeTable::Build(const uint8_t* len, int n, int bits) {
    bits_ = bits;
    std::fill(std::begin(count_), std::end(count_), 0);
    for (int i = 0; i < n; ++i) {
        if (len[i] > MAXCODELEN) return false;
        ++count_[len[i]];
    }
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

    uint32_t code[MAXCODELEN + 1];
    for (int l = 1; l <= MAXCODELEN; ++l) code[l] = start_[l];
    for (int i = 0; i < n; ++i) {
        const int l = len[i];
        if (l == 0) continue;
        const uint32_t c = code[l]++;
        if (l <= bits) {
            const uint32_t first = c << (bits - l);
            const uint32_t last = (c + 1) << (bits - l);
            const uint16_t entry = static_cast<uint16_t>(i | (l << 10));
            std::fill(table_ + first, table_ + last, entry);
        } else {
            table_[c >> (l - bits)] = kLong;
        }
    }
    return true;
}

void DecodeTable::BuildSingle(int symbol, int bits) {
    bits_ = bits;
    std::fill(table_, table_ + (1u << bits), static_cast<uint16_t>(symbol));
}

void DecodeTable::BuildIdentity(int bits) {
    bits_ = bits;
    for (uint32_t i = 0; i < (1u << bits); ++i) table_[i] = static_cast<uint16_t>((i >> (bits - 8)) | (8 << 10));
}

int DecodeTable::DecodeLong(uint32_t next16, int& length) const {
    for (int l = bits_ + 1; l <= MAXCODELEN; ++l) {
        const uint32_t c = next16 >> (MAXCODELEN - l);
        const uint32_t offset = c - start_[l];
        if (offset < count_[l]) {
            length = l;
            return sorted_[index_[l] + offset];
        }
    }
    // A complete code always resolves; kept for safety.
    length = MAXCODELEN;
    return sorted_[0];
}

}  // namespace treskel::lh5
