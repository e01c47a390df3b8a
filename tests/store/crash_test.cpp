// A process that saves notes and packs its treskel is killed at random
// moments; after each kill, opening the treskel must show the newest saved
// version of every note from a whole archive.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <random>
#include <stdexcept>

#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "support/StoreTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

constexpr int kNotes = 20;

// Version `v` of note `id`: the numbers first, then enough bytes that a
// save and a pack take a while.
std::string NoteText(int id, int v) {
    return IntToStr(id) + " " + IntToStr(v) + " " + std::string(static_cast<size_t>(1000 + id * 5000), 'x');
}

struct Saved {
    int32_t id;
    int32_t version;
};

void Save(TNoteStore& notes, int id, int v, LH5Compression& lh5) {
    const std::string text = NoteText(id, v);
    TMemoryStream s(std::vector<uint8_t>(text.begin(), text.end()));
    notes.Save(id, id % 3, "Note", s, lh5);
}

// Saves notes for ever, reporting each finished save, and packs and opens
// again now and then.
[[noreturn]] void SaveUntilKilled(const std::string& dir, int fd, uint32_t seed, std::vector<int> versions) {
    std::mt19937 rng(seed);
    LH5Compression lh5(nullptr);
    TNoteStore notes;
    notes.SetDataPath(dir);
    TPlainItemTree tree;
    notes.Open(tree, "T");
    for (int round = 0;; ++round) {
        const int id = 1 + static_cast<int>(rng() % kNotes);
        Save(notes, id, ++versions[id], lh5);
        const Saved done{id, versions[id]};
        if (write(fd, &done, sizeof done) != sizeof done) _exit(1);
        if (round % 4 == 3) {
            notes.Pack(tree, "T");
            notes.Open(tree, "T");
        }
    }
}

// Treskel "T" of items 1 to `count`, packed; `note` may save each one's
// note first.
template <class Note>
void PackItems(const std::string& dir, int count, Note note) {
    TNoteStore notes;
    notes.SetDataPath(dir);
    TPlainItemTree tree;
    notes.Open(tree, "T");  // a new treskel
    for (int id = 1; id <= count; ++id) {
        TItemNode* n = tree.AddTop();
        n->SetData(std::make_unique<TItemData>());
        n->Data()->Id = id;
        note(notes, id);
    }
    notes.Pack(tree, "T");
}

// Runs `work` in a child process, with the writing end of a pipe to this
// one, and kills it when `wait`, given the reading end, returns.  Returns
// the reading end.
template <class Work, class Wait>
int KillDuring(Work work, Wait wait) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("no pipe");
    const pid_t child = fork();
    if (child < 0) throw std::runtime_error("no child process");
    if (child == 0) {
        close(fds[0]);
        work(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    wait(fds[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return fds[0];
}

// File operations that end the process, as a kill does, before the one
// numbered `stopAt` (from 0) changes anything on disk.
class StoppingOps : public TFileOps {
public:
    static constexpr int kStopped = 3;
    explicit StoppingOps(int stopAt) : stopAt_(stopAt) {}
    std::unique_ptr<TStream> Create(const std::string& name) override {
        Step();
        return TFileOps::Create(name);
    }
    bool Replace(const std::string& source, const std::string& dest) override {
        Step();
        return TFileOps::Replace(source, dest);
    }
    bool Move(const std::string& source, const std::string& dest) override {
        Step();
        return TFileOps::Move(source, dest);
    }
    bool Delete(const std::string& name) override {
        Step();
        return TFileOps::Delete(name);
    }

private:
    void Step() {
        if (steps_++ == stopAt_) _exit(kStopped);
    }
    int stopAt_;
    int steps_ = 0;
};

// "Work": items 1 to 20 archived with version 0 of their notes, the odd
// ones saved again since (version 1), an item added and one renamed since
// the last save; and "Other" beside it.
void MakeWorkAndOther(const std::string& dir, LH5Compression& lh5) {
    TNoteStore notes;
    notes.SetDataPath(dir);
    TPlainItemTree tree;
    notes.Open(tree, "Work");
    for (int id = 1; id <= kNotes; ++id) {
        test::AddItem(tree, nullptr, "Item " + IntToStr(id), id);
        Save(notes, id, 0, lh5);
    }
    notes.Pack(tree, "Work");
    notes.Open(tree, "Work");
    for (int id = 1; id <= kNotes; id += 2) Save(notes, id, 1, lh5);
    test::AddItem(tree, nullptr, "Added", kNotes + 1);
    tree.Item(1)->SetText("Renamed 2");
    notes.SaveTree(tree);
    TPlainItemTree other;
    notes.Open(other, "Other");
    test::AddItem(other, nullptr, "Elsewhere", 99);
    notes.Pack(other, "Other");
}

// The next start after a stopped rename of "Work": both treskels listed,
// "Work" under one of its two names, with every item and the newest note
// of each; no file left under a passing name.  Returns the name it has.
std::string CheckWorkAfterRename(const std::string& dir, const std::string& to, LH5Compression& lh5) {
    TNoteStore notes;
    notes.SetDataPath(dir);
    std::vector<std::string> tabs = notes.ListTreskels();
    std::sort(tabs.begin(), tabs.end());
    EXPECT_EQ(tabs.size(), 2u);
    if (tabs.size() != 2) return {};
    const std::string work = tabs[0] == "Other" ? tabs[1] : tabs[0];
    EXPECT_TRUE(work == "Work" || work == to) << work;
    EXPECT_TRUE(std::count(tabs.begin(), tabs.end(), "Other") == 1);
    for (const auto& [name, bytes] : test::DataFiles(dir))
        EXPECT_TRUE(name.find(".renaming") == std::string::npos && name.find(".tsr") == std::string::npos) << name;
    TPlainItemTree tree;
    notes.Open(tree, work);
    std::vector<std::string> captions;
    ForEachItem(tree, [&](TItemNode* n) { captions.push_back(n->Text()); });
    std::vector<std::string> expected;
    for (int id = 1; id <= kNotes; ++id) expected.push_back(id == 2 ? "Renamed 2" : "Item " + IntToStr(id));
    expected.push_back("Added");
    EXPECT_EQ(captions, expected);
    for (int id = 1; id <= kNotes; ++id) {
        TMemoryStream s;
        EXPECT_TRUE(notes.Load(id, s, lh5));
        EXPECT_TRUE(s.AsString() == NoteText(id, id % 2)) << "note " << id << ": " << s.AsString().substr(0, 8);
    }
    return work;
}

// A rename of a treskel, to another name or to another letter case,
// stopped after each of its steps: the next start shows every treskel,
// the stopped one under its old name or its new, with all its items and
// notes.
TEST(Crash, ARenameStoppedAfterAnyStepLeavesTheTreskelWhole) {
    LH5Compression lh5(nullptr);
    for (const std::string to : {"Jobs", "work"}) {
        int stops = 0;
        std::set<std::string> names;
        for (int stopAt = 0;; ++stopAt) {
            SCOPED_TRACE("to " + to + ", stopped before step " + IntToStr(stopAt));
            test::TempDir dir;
            MakeWorkAndOther(dir.Path(), lh5);
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                StoppingOps ops(stopAt);
                TNoteStore notes(ops);
                notes.SetDataPath(dir.Path());
                notes.Rename("Work", to);
                _exit(0);
            }
            int status = 0;
            waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            names.insert(CheckWorkAfterRename(dir.Path(), to, lh5));
            if (WEXITSTATUS(status) == 0) break;
            ASSERT_EQ(WEXITSTATUS(status), StoppingOps::kStopped);
            ++stops;
        }
        EXPECT_GE(stops, 5) << to;  // the journal, two files, the folder, the journal again
        EXPECT_EQ(names, (std::set<std::string>{"Work", to}));
    }
}

// A build without journals left a file under its passing name: it is the
// treskel's again at the next start.
TEST(Crash, AFileAnEarlierRenameLeftHalfMovedComesBack) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    MakeWorkAndOther(dir.Path(), lh5);
    ASSERT_TRUE(RenameFile(dir.File("Work.tsx"), dir.File("Work.tsx.renaming")));
    ASSERT_TRUE(RenameFile(dir.File("Work.tsn"), dir.File("Work.tsn.renaming")));
    EXPECT_EQ(CheckWorkAfterRename(dir.Path(), "Work", lh5), "Work");
}

TEST(Crash, AKilledSaveLosesNoSavedNote) {
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    std::vector<int> versions(kNotes + 1, 0);
    PackItems(dir.Path(), kNotes, [&](TNoteStore& notes, int id) { Save(notes, id, 0, lh5); });
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 60; ++trial) {
        const int saves = KillDuring([&](int fd) { SaveUntilKilled(dir.Path(), fd, rng(), versions); },
                                     [&](int) { usleep(static_cast<useconds_t>(rng() % 60000)); });
        // The saves the child finished; the one it was killed in may or may
        // not have landed.
        std::vector<int> newest = versions;
        Saved done;
        while (read(saves, &done, sizeof done) == sizeof done) newest[done.id] = done.version;
        close(saves);

        TNoteStore notes;
        notes.SetDataPath(dir.Path());
        TPlainItemTree tree;
        ASSERT_NO_THROW(notes.Open(tree, "T")) << "trial " << trial;
        ASSERT_EQ(ItemCount(tree), kNotes);
        for (int id = 1; id <= kNotes; ++id) {
            TMemoryStream s;
            ASSERT_TRUE(notes.Load(id, s, lh5));
            const int shown = std::stoi(s.AsString().substr(s.AsString().find(' ') + 1));
            EXPECT_TRUE(shown == newest[id] || shown == newest[id] + 1)
                << "trial " << trial << ", note " << id << ": shows " << shown << ", saved " << newest[id];
            EXPECT_EQ(s.AsString(), NoteText(id, shown));
            versions[id] = shown;
        }
    }
}

// The program killed while a start moves the notes an earlier build left
// in the data directory into their treskel's note folder: each note is
// whole in one of the two places, never in both or neither, and the next
// start moves the rest.
TEST(Crash, AKilledUpgradeLosesNoNote) {
    constexpr int kLeft = 600;
    test::TempDir dir;
    LH5Compression lh5(nullptr);
    std::vector<std::vector<unsigned char>> bytes(kLeft + 1);
    PackItems(dir.Path(), kLeft, [](TNoteStore&, int) {});
    for (int id = 1; id <= kLeft; ++id) {
        const std::string text = NoteText(id % 7, id);
        TMemoryStream s(std::vector<uint8_t>(text.begin(), text.end()));
        SaveNoteFile(dir.File(IntToStr(id)), 0, "Note", s, lh5);
        bytes[id] = test::ReadAll(dir.File(IntToStr(id)));
    }
    auto start = [&] {
        TNoteStore notes;
        notes.SetDataPath(dir.Path());
        notes.ListTreskels();
    };
    const std::string folder = NoteFolderName(dir.Path(), "T");
    auto leaveAsTheEarlierBuildDid = [&] {
        for (int id = 1; id <= kLeft; ++id) {
            if (FileExists(folder + IntToStr(id))) {
                ASSERT_TRUE(RenameFile(folder + IntToStr(id), dir.File(IntToStr(id))));
            }
        }
    };
    // How long the moves take, for the moments to kill at.
    const auto began = std::chrono::steady_clock::now();
    start();
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began);
    std::mt19937 rng(20261208);
    int partly = 0;
    for (int trial = 0; trial < 30; ++trial) {
        leaveAsTheEarlierBuildDid();
        close(KillDuring(
            [&](int fd) {
                if (write(fd, "go", 1) != 1) _exit(1);
                start();
            },
            [&](int fd) {
                char go;
                if (read(fd, &go, 1) == 1)  // the child is running
                    usleep(static_cast<useconds_t>(rng() % (took.count() * 3 / 2 + 1)));
            }));
        int moved = 0;
        for (int id = 1; id <= kLeft; ++id) {
            const bool here = FileExists(dir.File(IntToStr(id))), there = FileExists(folder + IntToStr(id));
            ASSERT_NE(here, there) << "trial " << trial << ", note " << id;
            ASSERT_EQ(test::ReadAll(there ? folder + IntToStr(id) : dir.File(IntToStr(id))), bytes[id]);
            moved += there ? 1 : 0;
        }
        partly += moved > 0 && moved < kLeft ? 1 : 0;
        start();
        for (int id = 1; id <= kLeft; ++id) ASSERT_TRUE(FileExists(folder + IntToStr(id))) << id;
    }
    EXPECT_GT(partly, 0);  // some kills came in the middle of the moves
}

}  // namespace
}  // namespace treskel
