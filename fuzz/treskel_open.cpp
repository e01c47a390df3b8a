// A whole treskel opened through the note store from any bytes.  Input: a
// 4-byte length, the archive of that many bytes (none when 0), then the
// rest as a tree file left beside it: in the data directory, as an older
// build left one, or, when the length's top bit is set, beside the loose
// notes, as the window writes one after each change.  A refused open changes nothing in the
// directory; an accepted one loads every note (or refuses it as a note
// file), packs, leaves no temporary file, and opens again to the same items
// and the same notes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"

namespace {

using namespace treskel;
namespace fs = std::filesystem;

const std::string& Dir() {
    static const std::string dir = [] {
        const std::string base = fs::exists("/dev/shm") ? "/dev/shm/" : TempDirectory();
        std::string d = base + "treskel-fuzz-" + std::to_string(getpid()) + "/";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

void Put(const std::string& name, const uint8_t* data, size_t size) {
    TFileStream f(name, fmCreate);
    if (size > 0) f.WriteBuffer(data, static_cast<int64_t>(size));
}

std::map<std::string, std::vector<uint8_t>> Files() {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& e : fs::recursive_directory_iterator(Dir())) {
        if (!e.is_regular_file()) continue;
        TFileStream f(e.path().string(), fmOpenRead);
        std::vector<uint8_t> bytes(static_cast<size_t>(f.Size()));
        if (!bytes.empty()) f.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        files[fs::relative(e.path(), Dir()).generic_string()] = std::move(bytes);
    }
    return files;
}

// The size and a hash of what a note decodes to; the note itself is not
// kept, so a large note costs no memory.
class Digest : public TStream {
public:
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* buffer, int64_t count) override {
        const auto* p = static_cast<const uint8_t*>(buffer);
        for (int64_t i = 0; i < count; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
        size += count;
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return size; }
    uint64_t hash = 14695981039346656037ull;
    int64_t size = 0;
};

struct Shown {
    std::string text;
    int32_t id;
    std::string note;  // "size/hash", or how it was refused
    bool operator==(const Shown&) const = default;
};

std::vector<Shown> ShowAll(TNoteStore& notes, const TItemTree& tree) {
    LH5Compression lh5(nullptr);
    std::vector<Shown> shown;
    ForEachItem(tree, [&](TItemNode* n) {
        Shown s{n->Text(), n->Data()->Id, "none"};
        Digest d;
        try {
            if (notes.Load(s.id, d, lh5)) s.note = std::to_string(d.size) + "/" + std::to_string(d.hash);
        } catch (const EReadError&) {
            s.note = "short";
        } catch (const ENoteFileError&) {
            s.note = "level";
        } catch (const Exception& e) {
            if (e.Message() != "File is corrupt!") std::abort();
            s.note = "corrupt";
        }
        shown.push_back(std::move(s));
    });
    return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const bool inFolder = (data[3] & 0x80) != 0;
    const size_t archiveSize = GetU32(data) & 0x7FFFFFFFu;
    if (archiveSize > size - 4) return 0;
    fs::remove_all(Dir());
    fs::create_directories(Dir());
    if (archiveSize > 0) Put(ArchiveFileName(Dir(), "T"), data + 4, archiveSize);
    if (inFolder) fs::create_directories(NoteFolderName(Dir(), "T"));
    if (size - 4 - archiveSize > 0)
        Put(inFolder ? FolderTreeFileName(Dir(), "T") : TreeFileName(Dir(), "T"), data + 4 + archiveSize,
            size - 4 - archiveSize);
    const auto before = Files();

    TNoteStore notes;
    notes.SetDataPath(Dir());
    TPlainItemTree tree;
    try {
        notes.Open(tree, "T");
    } catch (const ETreskelError&) {
        if (tree.Count() != 0 || Files() != before) std::abort();
        return 0;
    }
    const std::vector<Shown> first = ShowAll(notes, tree);
    notes.Pack(tree, "T");
    for (const auto& [name, bytes] : Files())
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) std::abort();
    if (Files().size() != 1) std::abort();  // the archive alone

    TNoteStore again;
    again.SetDataPath(Dir());
    TPlainItemTree back;
    again.Open(back, "T");
    if (ShowAll(again, back) != first) std::abort();
    return 0;
}
