// The notes of the open treskel.  Every reader and writer of note files
// goes through here: opening checks the archive and keeps an index of its
// note entries instead of unpacking them; a note is read from its loose
// file when there is one (a note saved before a crash wins), otherwise from
// its entry in the archive; a saved note is written as its loose file.
// Packing writes the new archive from the tree, the loose files and the
// unchanged entries of the old archive.
//
// A treskel's loose files lie in its own note folder (NoteFolderName), so
// that they belong to the treskel that wrote them even after a crash: no
// other treskel shows, packs or deletes them, whatever ids the two share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "compress/LH5Control.h"
#include "store/FileOps.h"
#include "store/ItemData.h"
#include "store/ItemTree.h"
#include "store/TreskelArchive.h"

namespace treskel {

// The data directory is not where the store was told it is: moved, renamed
// or deleted while the program ran.  Every read and save of the store that
// fails then raises this, naming the directory.
TRESKEL_EXCEPTION(EDataFolderGone, ETreskelError);

class TNoteStore {
public:
    explicit TNoteStore(TFileOps& ops = DefaultFileOps()) : ops_(ops) {}

    // The directory of the archives and note files, ending in a separator.
    // Forgets any open treskel.
    void SetDataPath(const std::string& dataPath);
    const std::string& DataPath() const { return dataPath_; }

    // The treskels of the data directory, by tab caption (the archives,
    // each name up to its last dot), as the window lists them at start-up.
    // Note files that a build older than the note folders left in the data
    // directory itself are moved first, each into the note folder of the
    // one treskel whose tree has an item of its id, where it wins over the
    // archive as it did then.  These stay where they are, untouched: a
    // note whose id several treskels have (a copied archive) or none, a
    // file that is no note, a note older than its treskel's archive, and
    // one whose treskel has a loose note of that id already; while a
    // treskel's tree cannot be read, all do.  A rename that a crash stopped
    // half-way is finished first (see Rename).  Without such files nothing
    // but the listing is done.
    std::vector<std::string> ListTreskels();

    // Opens the treskel of `caption`: removes temporary files a crash left,
    // checks the archive whole (a damaged one raises ETreskelError before
    // anything is written and leaves the tree empty) and loads the tree:
    // the one beside the loose notes when there is one that reads whole
    // (it is newer than the archive's), else the archive's.  No archive:
    // an empty tree, or the tree file an unsaved treskel left; but a data
    // directory that is gone raises EDataFolderGone, since its archive is
    // not missing but out of reach.  A loose
    // note that no item of the tree carries (its item was
    // added after the last save, and a crash lost the tree but not the
    // note) comes back as a new last top item captioned with the title in
    // its header.
    void Open(TItemTree& tree, const std::string& caption);
    // Saves the tree and its notes as the archive of `caption` without ever
    // losing a note: the new archive is written under a temporary name,
    // flushed, read back and checked, and replaces the old one; only then
    // are the loose files deleted.  On failure everything stays as it was
    // and ETreskelError says why.  The records of the items whose notes
    // come from loose files take those files' CRC-32.  When the archive of
    // the open treskel holds this tree already and no note was saved or
    // removed since, nothing is written.
    void Pack(const TItemTree& tree, const std::string& caption);
    // Writes the tree of the open treskel beside its loose notes, under a
    // temporary name first, when it differs from the tree stored last (in
    // the archive or there); true when it wrote.  A crash then loses no
    // change made before.  A tree with an item without its record is not
    // written.
    bool SaveTree(const TItemTree& tree);
    // Renames the files of a treskel, the open one's included.  Raises
    // ETreskelError, with nothing renamed, when its archive or its note
    // folder cannot be.  A journal names the new name until every file has
    // it: a crash at any step leaves a rename that the next ListTreskels
    // finishes.
    void Rename(const std::string& from, const std::string& to);

    // Reads the note into `rtf`; false, with nothing read, when the item has
    // none (and the data directory is there: a note out of reach is no
    // note missing).
    bool Load(int32_t id, TStream& rtf, LH5Compression& lh5);
    // Writes the note as its loose file and returns the file's CRC-32.
    // Raises EInvalidOperation when no treskel is open.
    uint32_t Save(int32_t id, int level, const std::string& title, TStream& rtf, LH5Compression& lh5);
    // Gives `to` a copy of the note of `from`; nothing when there is none.
    // A copy that fails leaves `to` without a note.
    void Copy(int32_t from, int32_t to);
    // The note of a removed item: gone from the loose files and from what
    // the next archive takes of the old one.
    void Remove(int32_t id);
    // An id that a new item must not take: a loose note file of the open
    // treskel or any entry of its archive bears it.
    bool IdInUse(int32_t id) const;

private:
    // Raises EDataFolderGone when the data directory is not there.
    void CheckDataFolder() const;
    // Runs a step of the store: a failure while the data directory is
    // gone is the directory's, and says so.
    template <class Step>
    auto InDataFolder(Step&& step) -> decltype(step()) {
        try {
            return step();
        } catch (const Exception&) {
            CheckDataFolder();
            throw;
        }
    }
    void OpenFiles(TItemTree& tree, const std::string& caption);
    void PackFiles(const TItemTree& tree, const std::string& caption);
    void RenameFiles(const std::string& from, const std::string& to);
    void CopyNote(int32_t from, int32_t to);
    std::string NoteName(int32_t id) const { return NoteFileName(dataPath_, caption_, id); }
    // The open treskel's note folder, made when missing.
    void MakeNoteFolder();
    const TArchiveEntry* ArchiveNote(int32_t id) const;
    void RemoveStaleFiles(const std::string& caption);
    void RecoverLooseNotes(TItemTree& tree);
    void AdoptEarlierNotes(const TDataDirectory& dir);
    // Loads the tree beside the loose notes into `tree`; false, with
    // `tree` empty, when there is none or it does not read whole.
    bool LoadFolderTree(TItemTree& tree, const std::string& caption);
    bool SaveTreeBytes(const std::vector<uint8_t>& bytes);
    // Moves a treskel's file to another name; a change of letter case alone
    // goes through a passing name.  False, with the file where it was, on
    // failure.
    bool MoveTreskelFile(const std::string& from, const std::string& to);
    void FinishRenames(const TDataDirectory& dir);

    TFileOps& ops_;
    std::string dataPath_;
    // The open treskel, when `open_`: its name may be empty (an archive
    // named ".tsx" alone), so being open is a flag of its own.
    std::string caption_;
    bool open_ = false;
    std::unordered_map<int32_t, TArchiveEntry> entries_;  // of the archive, by id
    std::unordered_set<int32_t> removed_;
    // The tree file in the archive (none without an archive), and the tree
    // stored last, there or beside the loose notes.
    std::optional<std::vector<uint8_t>> archiveTree_;
    std::vector<uint8_t> storedTree_;
};

// A new id from the clock that no item of `tree` uses and the store does
// not hold: the formula's value, or the next free one above it.  Never
// negative, at most 8 digits.
int32_t NewItemId(const TItemTree& tree, const TNoteStore& notes, const TItemClock& clock = SystemTimeStamp);

// Makes the empty archive of a new treskel named `caption`.  Raises
// ETreskelError, with nothing written, when the data directory holds a file
// of a treskel of that name already, as the file system finds names (see
// TreskelFilesExist): the files of another treskel are never written over.
void CreateTreskel(const std::string& dataPath, const std::string& caption, TFileOps& ops = DefaultFileOps());

// The same steps for callers without an open treskel: packing the loose
// files, and opening.
void PackTreskel(const TItemTree& tree, const std::string& dataPath, const std::string& caption,
                 TFileOps& ops = DefaultFileOps());
// PackTreskel, then the records of all items are released.
void SaveTreskel(const TItemTree& tree, const std::string& dataPath, const std::string& caption,
                 TFileOps& ops = DefaultFileOps());
void OpenTreskel(TItemTree& tree, const std::string& dataPath, const std::string& caption);

}  // namespace treskel
