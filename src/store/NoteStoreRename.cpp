// Renaming a treskel: its archive, its note folder (the loose notes and the
// tree beside them) and a tree file an older build left.  The files move
// one at a time, so a journal, "<old name>.tsr" holding the new name, is
// written first and deleted last; a start that finds one finishes that
// rename before it lists the tabs, and the treskel comes back whole under
// the new name, never split between two.
#include <algorithm>

#include "store/NoteStore.h"
#include "store/TreskelNames.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {

bool Exists(const std::string& name) { return FileExists(name) || DirectoryExists(name); }

// The suffixes of a treskel's files, in the order a rename moves them.
constexpr const char* kSuffixes[] = {".tsx", ".tsn", ".tsk"};

}  // namespace

bool TNoteStore::MoveTreskelFile(const std::string& from, const std::string& to) {
    if (AnsiCompareText(from, to) != 0) return ops_.Move(from, to);
    // A file system that ignores case may keep the old spelling when told
    // to move a file onto itself.
    const std::string step = from + kRenamingSuffix;
    if (!ops_.Move(from, step)) return false;
    if (ops_.Move(step, to)) return true;
    ops_.Move(step, from);
    return false;
}

void TNoteStore::Rename(const std::string& from, const std::string& to) {
    InDataFolder([&] { RenameFiles(from, to); });
}

void TNoteStore::RenameFiles(const std::string& from, const std::string& to) {
    if (from == to) return;
    auto name = [&](const std::string& caption, int k) { return dataPath_ + caption + kSuffixes[k]; };
    const std::string journal = RenameJournalName(dataPath_, from);
    try {
        WriteWholeFile(ops_, journal, to.data(), to.size());
    } catch (const Exception& e) {
        throw ETreskelError(Format("The treskel \"%s\" cannot be renamed: %s", from.c_str(), e.Message().c_str()));
    }
    // The archive and the note folder move together or not at all; the old
    // tree file, when there is one, follows them as it can.
    int moved = 0;
    for (; moved < 2; ++moved) {
        const std::string source = name(from, moved);
        if (Exists(source) && !MoveTreskelFile(source, name(to, moved))) break;
    }
    if (moved < 2) {
        const std::string cause = LastFileError();
        for (int k = moved - 1; k >= 0; --k)
            if (Exists(name(to, k))) MoveTreskelFile(name(to, k), name(from, k));
        ops_.Delete(journal);
        throw ETreskelError(Format("The treskel \"%s\" cannot be renamed: its %s %s cannot be renamed. %s", from.c_str(),
                                   moved == 0 ? "archive" : "note folder", name(from, moved).c_str(), cause.c_str()));
    }
    if (Exists(name(from, 2))) MoveTreskelFile(name(from, 2), name(to, 2));
    ops_.Delete(journal);
    if (open_ && caption_ == from) caption_ = to;
}

void TNoteStore::FinishRenames(const TDataDirectory& dir) {
    std::vector<std::string> handled;
    for (const TSearchRec& j : dir.Renames) {
        const std::string journal = dataPath_ + j.Name;
        // Stopped before its journal was whole: nothing was moved yet.
        if (SameText(ExtractFileExt(j.Name), ".tmp")) {
            ops_.Delete(journal);
            continue;
        }
        const std::string from = j.Name.substr(0, j.Name.size() - 4);
        std::string to;
        try {
            std::unique_ptr<TStream> in = ops_.OpenRead(journal);
            to.resize(static_cast<size_t>(in->Size()));
            in->ReadBuffer(to.data(), static_cast<int64_t>(to.size()));
        } catch (const Exception&) {
            continue;  // unreadable now: the next start tries again
        }
        // Only a whole journal ever has its name: anything else is no
        // journal of ours.
        if (!IsValidTreskelName(to) || to == from) continue;
        bool done = true;
        for (const char* suffix : kSuffixes) {
            const std::string source = dataPath_ + from + suffix, target = dataPath_ + to + suffix;
            const std::string step = source + kRenamingSuffix;
            handled.push_back(from + suffix + kRenamingSuffix);
            // Stopped between the two moves of a change of letter case.
            if (Exists(step)) done = ops_.Move(step, target) && done;
            // Not moved yet; a change of letter case moved already moves
            // again, onto the same name.
            else if (Exists(source)) done = MoveTreskelFile(source, target) && done;
        }
        if (done) ops_.Delete(journal);
    }
    // A passing name that a build without journals left: the file goes back
    // to the name it had, unless another file has taken that; so does the
    // note folder it moved before.
    for (const TSearchRec& f : dir.Renaming) {
        if (std::find_if(handled.begin(), handled.end(), [&](const std::string& h) { return SameText(h, f.Name); }) !=
            handled.end())
            continue;
        const std::string back = dataPath_ + f.Name.substr(0, f.Name.size() - std::string(kRenamingSuffix).size());
        if (!Exists(back)) ops_.Move(dataPath_ + f.Name, back);
        const std::string folder = ChangeFileExt(back, ".tsn");
        if (DirectoryExists(folder + kRenamingSuffix) && !Exists(folder)) ops_.Move(folder + kRenamingSuffix, folder);
    }
}

}  // namespace treskel
