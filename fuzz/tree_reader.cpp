// Tree files and item blocks of any bytes: refused or loaded, and a loaded
// tree writes back to a file that loads to the same tree.
#include <cstdint>
#include <cstdlib>

#include "store/TreeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    {
        TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
        TPlainItemTree tree;
        try {
            LoadTreskel(tree, in);
        } catch (const ETreeFileError&) {
            if (tree.Count() != 0) std::abort();
            goto itemBlock;
        }
        TMemoryStream again;
        WriteTreskel(tree, again);
        again.SetPosition(0);
        TPlainItemTree copy;
        LoadTreskel(copy, again);
        if (ItemCount(copy) != ItemCount(tree)) std::abort();
    }
itemBlock:
    TReadOnlyMemoryStream in(data, static_cast<int64_t>(size));
    TPlainItemTree tree;
    try {
        ReadItem(in, *tree.AddTop());
    } catch (const ETreeFileError&) {
    }
    if (in.Position() > static_cast<int64_t>(size)) std::abort();
    return 0;
}
