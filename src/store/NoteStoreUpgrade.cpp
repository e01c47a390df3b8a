// Note files that a build older than the note folders kept in the data
// directory itself, named by id alone: notes saved before a crash or a
// failed save and never packed.  They go to their treskel when the tabs
// are listed at start-up, before any treskel opens and from the same
// listing; this build never writes there, so no later listing finds new
// ones, and a tab change reads no other treskel's tree.
#include <memory>
#include <unordered_map>

#include "store/ByteIO.h"
#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreeFile.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

// A file that starts with the header every build writes.
bool IsNoteFile(TFileOps& ops, const std::string& name) {
    try {
        std::unique_ptr<TStream> file = ops.OpenRead(name);
        const TNoteHeader header = ReadNoteHeader(*file);
        return header.Version == 1.0f && header.Signature == "Treskel" && header.Level <= 2;
    } catch (const Exception&) {
        return false;
    }
}

// Calls `item` with the id of every item of the tree in the archive; false
// when the tree cannot be read.
template <class F>
bool ForEachArchiveId(TFileOps& ops, const std::string& archiveName, F item) {
    try {
        std::unique_ptr<TStream> archive = ops.OpenRead(archiveName);
        uint8_t head[4];
        archive->ReadBuffer(head, 4);
        const auto treeSize = static_cast<int32_t>(GetU32(head));
        if (treeSize < -1 || treeSize > archive->Size() - 4) return false;
        TPlainItemTree tree;
        if (treeSize > 0) {
            TMemoryStream bytes;
            bytes.SetSize(treeSize);
            archive->ReadBuffer(bytes.Memory(), treeSize);
            LoadTreskel(tree, bytes);
        }
        ForEachItem(tree, [&](TItemNode* node) { item(node->Data()->Id); });
        return true;
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace

std::vector<std::string> TNoteStore::ListTreskels() {
    TDataDirectory dir = ListDataDirectory(dataPath_);
    if (!dir.Renames.empty() || !dir.Renaming.empty()) {
        FinishRenames(dir);
        dir = ListDataDirectory(dataPath_);
    }
    if (!dir.NoteFiles.empty()) AdoptEarlierNotes(dir);
    return std::move(dir.Captions);
}

void TNoteStore::AdoptEarlierNotes(const TDataDirectory& dir) {
    // Each note file's treskel: an index into the archives, or one of these.
    constexpr int kNone = -1, kSeveral = -2;
    struct Found {
        int64_t time;
        int owner = kNone;
    };
    std::unordered_map<int32_t, Found> notes;
    for (const TSearchRec& f : dir.NoteFiles) {
        int32_t id;
        if (NoteFileId(f.Name, id) && IsNoteFile(ops_, dataPath_ + f.Name)) notes.emplace(id, Found{f.Time});
    }
    if (notes.empty()) return;
    for (size_t t = 0; t < dir.Captions.size(); ++t) {
        const int index = static_cast<int>(t);
        const bool read = ForEachArchiveId(ops_, ArchiveFileName(dataPath_, dir.Captions[t]), [&](int32_t id) {
            auto it = notes.find(id);
            if (it == notes.end() || it->second.owner == index) return;
            it->second.owner = it->second.owner == kNone ? index : kSeveral;
        });
        // Its items could have any of the ids: no note can be said to
        // belong to one treskel alone.
        if (!read) return;
    }
    for (const auto& [id, note] : notes) {
        if (note.owner < 0) continue;
        // An archive written after the note holds that note (the build
        // that wrote both packed it) or a newer one: it stays.
        if (note.time < dir.Archives[static_cast<size_t>(note.owner)].Time) continue;
        const std::string& caption = dir.Captions[static_cast<size_t>(note.owner)];
        const std::string folder = ExcludeTrailingBackslash(NoteFolderName(dataPath_, caption));
        if (!DirectoryExists(folder)) CreateDir(folder);
        // One rename: the note is in one of the two places at every moment.
        // Where the treskel has a loose note of this id already, saved
        // since, nothing moves.
        ops_.Move(dataPath_ + IntToStr(id), NoteFileName(dataPath_, caption, id));
    }
}

}  // namespace treskel
