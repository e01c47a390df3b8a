#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <unistd.h>

#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreeFile.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
#include "support/Bombs.h"
#include "support/StoreTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using Bytes = std::vector<unsigned char>;

// What the main window does to notes during a session, done one way or
// another.
class NotePath {
public:
    virtual ~NotePath() = default;
    virtual void Open(TItemTree& tree) = 0;
    virtual void Save(int32_t id, int level, const std::string& rtf) = 0;
    virtual void Copy(int32_t from, int32_t to) = 0;
    virtual void Remove(int32_t id) = 0;
    virtual void Pack(const TItemTree& tree) = 0;
};

// Every note a loose file while the treskel is open: the archive unpacked at
// each open, the notes copied and deleted as files.
class LooseFilePath : public NotePath {
public:
    explicit LooseFilePath(std::string dir) : dir_(std::move(dir)) {}
    void Open(TItemTree& tree) override {
        UnpackTreskel(dir_, "T");
        tree.Clear();
        TFileStream f(TreeFileName(dir_, "T"), fmOpenRead);
        LoadTreskel(tree, f);
    }
    void Save(int32_t id, int level, const std::string& rtf) override {
        TMemoryStream s(std::vector<uint8_t>(rtf.begin(), rtf.end()));
        LH5Compression lh5(nullptr);
        CreateDir(ExcludeTrailingBackslash(NoteFolderName(dir_, "T")));
        SaveNoteFile(Note(id), level, "Note " + IntToStr(id), s, lh5);
    }
    void Copy(int32_t from, int32_t to) override {
        if (FileExists(Note(from))) test::WriteAll(Note(to), test::ReadAll(Note(from)));
    }
    void Remove(int32_t id) override { DeleteFile(Note(id)); }
    void Pack(const TItemTree& tree) override { SaveTreskel(tree, dir_, "T"); }

private:
    std::string Note(int32_t id) const { return NoteFileName(dir_, "T", id); }
    std::string dir_;
};

// The same through the note store.
class StorePath : public NotePath {
public:
    explicit StorePath(const std::string& dir) {
        notes_.SetDataPath(dir);
        TPlainItemTree none;
        notes_.Open(none, "T");  // a new treskel
    }
    void Open(TItemTree& tree) override { notes_.Open(tree, "T"); }
    void Save(int32_t id, int level, const std::string& rtf) override {
        TMemoryStream s(std::vector<uint8_t>(rtf.begin(), rtf.end()));
        LH5Compression lh5(nullptr);
        notes_.Save(id, level, "Note " + IntToStr(id), s, lh5);
    }
    void Copy(int32_t from, int32_t to) override { notes_.Copy(from, to); }
    void Remove(int32_t id) override { notes_.Remove(id); }
    void Pack(const TItemTree& tree) override {
        notes_.Pack(tree, "T");
        ReleaseRecords(tree);
    }

private:
    TNoteStore notes_;
};

std::string Rtf(const std::string& text, int repeat = 1) {
    std::string body;
    for (int i = 0; i < repeat; ++i) body += "\\pard " + text + " " + IntToStr(i) + "\\par\r\n";
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n" + body + "}";
}

TItemNode* Find(const TItemTree& tree, const std::string& text) {
    TItemNode* found = nullptr;
    ForEachItem(tree, [&](TItemNode* n) {
        if (found == nullptr && n->Text() == text) found = n;
    });
    return found;
}

// One session of edits: notes at every level, links, clones, removals,
// moves and items without notes, over three opens of the treskel.
Bytes RunScript(NotePath& path, const std::string& dir) {
    {
        TPlainItemTree tree;
        TItemNode* a = test::AddItem(tree, nullptr, "A", 1);
        test::AddItem(tree, a, "B", 2);
        test::AddItem(tree, a, "C", 3);
        test::AddItem(tree, nullptr, "D", 4);
        test::AddItem(tree, nullptr, "L", 1, true);
        path.Save(1, 0, Rtf("alpha"));
        path.Save(2, 1, Rtf("beta", 40));
        path.Save(3, 2, Rtf("gamma", 500));
        path.Pack(tree);
    }
    {
        TPlainItemTree tree;
        path.Open(tree);
        path.Save(2, 2, Rtf("beta again", 60));
        TItemNode* c = Find(tree, "C");
        path.Copy(3, 5);
        test::AddItem(tree, c, "Copy of C", 5);
        path.Copy(1, 8);  // a clone of the link: its origin's note
        test::AddItem(tree, nullptr, "Copy of L", 8);
        path.Remove(2);
        tree.Delete(Find(tree, "A")->Item(0));  // B
        test::AddItem(tree, nullptr, "E", 6);
        path.Save(6, 0, Rtf("epsilon", 3));
        test::AddItem(tree, Find(tree, "D"), "F", 7);  // never saved
        TMemoryStream moved;
        CutItemToStream(moved, tree, c);
        ReadItemStream(moved, *tree.AddTop());
        path.Pack(tree);
    }
    TPlainItemTree tree;
    path.Open(tree);
    path.Save(1, 1, Rtf("alpha changed", 7));
    path.Save(5, 0, Rtf("clone changed"));
    path.Remove(6);
    tree.Delete(Find(tree, "E"));
    path.Pack(tree);
    return test::ReadAll(dir + "T.tsx");
}

const std::string kGolden = std::string(TRESKEL_SOURCE_DIR) + "/tests/data/session.tsx";

// The archive after a session is byte for byte the one the program made
// when every note was a loose file (the golden file was made that way).
TEST(NoteStore, ScriptedSessionGivesTheArchiveOfLooseFiles) {
    test::TempDir looseDir, storeDir;
    LooseFilePath loose(looseDir.Path());
    StorePath store(storeDir.Path());
    const Bytes looseArchive = RunScript(loose, looseDir.Path());
    if (std::getenv("TRESKEL_WRITE_GOLDEN") != nullptr) test::WriteAll(kGolden, looseArchive);
    const Bytes golden = test::ReadAll(kGolden);
    EXPECT_EQ(looseArchive, golden);
    EXPECT_EQ(RunScript(store, storeDir.Path()), golden);
}

// A store over a fresh directory, with a one-item treskel "T" whose note
// is `text`, packed.
struct Fixture {
    test::TempDir dir;
    TNoteStore notes;
    TPlainItemTree tree;
    LH5Compression lh5{nullptr};
    Fixture() {
        notes.SetDataPath(dir.Path());
        notes.Open(tree, "T");  // a new treskel
    }
    std::string Note(int32_t id) const { return NoteFileName(dir.Path(), "T", id); }
    void Save(int32_t id, const std::string& text, int level = 0) {
        TMemoryStream s(std::vector<uint8_t>(text.begin(), text.end()));
        notes.Save(id, level, "t", s, lh5);
    }
    std::string Load(int32_t id) {
        TMemoryStream s;
        return notes.Load(id, s, lh5) ? s.AsString() : "(none)";
    }
    void MakeTreskel(const std::string& text) {
        test::AddItem(tree, nullptr, "A", 1);
        test::AddItem(tree, nullptr, "B", 2);
        Save(1, text);
        notes.Pack(tree, "T");
    }
    std::map<std::string, Bytes> Files() const { return test::DataFiles(dir.Path()); }
};

TEST(NoteStore, OpenWritesNoNoteFilesAndReadsNotesFromTheArchive) {
    Fixture f;
    f.MakeTreskel("first");
    TNoteStore again;
    again.SetDataPath(f.dir.Path());
    TPlainItemTree tree;
    again.Open(tree, "T");
    EXPECT_EQ(ItemCount(tree), 2);
    EXPECT_EQ(f.Files().size(), 1u);
    TMemoryStream s;
    EXPECT_TRUE(again.Load(1, s, f.lh5));
    EXPECT_EQ(s.AsString(), "first");
    EXPECT_FALSE(again.Load(2, s, f.lh5));
}

// A note saved before a crash is the note shown after it, and the one the
// next archive takes.
TEST(NoteStore, LooseFilesWinOverTheArchive) {
    Fixture f;
    f.MakeTreskel("old");
    f.notes.Open(f.tree, "T");
    f.Save(1, "newer");
    TNoteStore restarted;
    restarted.SetDataPath(f.dir.Path());
    restarted.Open(f.tree, "T");
    TMemoryStream s;
    restarted.Load(1, s, f.lh5);
    EXPECT_EQ(s.AsString(), "newer");
    restarted.Pack(f.tree, "T");
    f.notes.Open(f.tree, "T");
    EXPECT_EQ(f.Load(1), "newer");
    EXPECT_FALSE(FileExists(f.Note(1)));
}

// Only the treskel's own half-written files: another's, and files it
// cannot know, stay.
TEST(NoteStore, StaleTemporaryFilesGoAtOpen) {
    Fixture f;
    f.MakeTreskel("x");
    for (const char* name : {"1.tmp", "T.tsx.tmp", "U.tsx.tmp", "notes.tmp"})
        test::WriteAll(f.dir.File(name), std::string("half"));
    for (const char* name : {"T.tsn/1.tmp", "T.tsn/77.tmp", "T.tsn/other.tmp", "U.tsn/1.tmp"}) {
        CreateDir(f.dir.File(std::string(name).substr(0, 5)));
        test::WriteAll(f.dir.File(name), std::string("half"));
    }
    f.notes.Open(f.tree, "T");
    for (const char* gone : {"T.tsn/1.tmp", "T.tsn/77.tmp", "T.tsx.tmp"})
        EXPECT_FALSE(FileExists(f.dir.File(gone))) << gone;
    for (const char* kept : {"1.tmp", "U.tsx.tmp", "notes.tmp", "T.tsn/other.tmp", "U.tsn/1.tmp"})
        EXPECT_TRUE(FileExists(f.dir.File(kept))) << kept;
}

// Bytes after the last entry, or entries that do not follow the tree's
// items, are a damaged archive: refused, and nothing is written.
TEST(NoteStore, TrailingBytesAndForeignEntriesAreRefused) {
    Fixture f;
    f.MakeTreskel("note");
    const Bytes good = test::ReadAll(f.dir.File("T.tsx"));
    const size_t firstEntry = 8 + GetU32(good.data());
    Bytes trailing = good;
    trailing.push_back(0);
    Bytes otherId = good;
    PutU32(otherId.data() + firstEntry, 9);
    Bytes fewer = good;
    PutU32(fewer.data() + firstEntry - 4, 1);
    fewer.resize(fewer.size() - 8);  // the last entry (id 2, no note) gone
    // Five bytes after the last item, inside the tree's region.
    Bytes treeTrailing = good;
    PutU32(treeTrailing.data(), GetU32(good.data()) + 5);
    treeTrailing.insert(treeTrailing.begin() + static_cast<long>(4 + GetU32(good.data())), 5, 0x55);
    // The first item made a link while its entry still carries its note.
    Bytes linkWithNote = good;
    linkWithNote[8 + 14] = 1;
    for (const Bytes& bad : {trailing, otherId, fewer, treeTrailing, linkWithNote}) {
        test::WriteAll(f.dir.File("T.tsx"), bad);
        const auto before = f.Files();
        TPlainItemTree tree;
        try {
            f.notes.Open(tree, "T");
            ADD_FAILURE() << "a damaged archive was opened";
        } catch (const ETreskelError& e) {
            EXPECT_NE(e.Message().find("is damaged"), std::string::npos) << e.Message();
        }
        EXPECT_EQ(tree.Count(), 0);
        EXPECT_EQ(f.Files(), before);
    }
}

TEST(NoteStore, ADamagedTreeFileLeavesNoFilesBehind) {
    Fixture f;
    f.MakeTreskel("note");
    Bytes a = test::ReadAll(f.dir.File("T.tsx"));
    PutU32(a.data() + 4, 5);  // five top items in a tree file of two
    test::WriteAll(f.dir.File("T.tsx"), a);
    EXPECT_THROW(f.notes.Open(f.tree, "T"), ETreskelError);
    EXPECT_EQ(f.Files().size(), 1u);
}

// A removed item's note never comes back under a new item given its id.
TEST(NoteStore, NewIdsAvoidTheArchive) {
    Fixture f;
    f.MakeTreskel("removed note");
    f.notes.Open(f.tree, "T");
    f.notes.Remove(1);
    f.tree.Delete(f.tree.Item(0));
    EXPECT_EQ(f.Load(1), "(none)");
    auto clock = [] { return TTimeStamp{1, 1}; };  // the formula gives id 1
    EXPECT_EQ(NewItemId(f.tree, f.notes, clock), 3);
    f.notes.Pack(f.tree, "T");
    EXPECT_EQ(NewItemId(f.tree, f.notes, clock), 1);
}

TEST(NoteStore, ClonesCopyFromTheArchiveOrTheLooseFile) {
    Fixture f;
    f.MakeTreskel("archived");
    f.notes.Open(f.tree, "T");
    f.notes.Copy(1, 5);
    EXPECT_EQ(f.Load(5), "archived");
    f.Save(1, "loose");
    f.notes.Copy(1, 6);
    EXPECT_EQ(f.Load(6), "loose");
    f.notes.Copy(2, 7);  // no note
    EXPECT_EQ(f.Load(7), "(none)");
}

TEST(NoteStore, RenamingTheOpenTreskelKeepsItsNotes) {
    Fixture f;
    f.MakeTreskel("kept");
    f.notes.Open(f.tree, "T");
    f.notes.Rename("T", "t");
    EXPECT_EQ(f.Load(1), "kept");
    f.notes.Pack(f.tree, "t");
    EXPECT_EQ(TreskelCaptions(f.dir.Path()), std::vector<std::string>({"t"}));
}

// The tree beside the loose notes: written only when it changed, the tree
// of the next open after a crash, and gone once the archive holds it.
TEST(NoteStore, TheTreeBesideTheNotesOutlivesACrashUntilTheNextSave) {
    Fixture f;
    f.MakeTreskel("note of A");
    f.notes.Open(f.tree, "T");
    const std::string beside = FolderTreeFileName(f.dir.Path(), "T");
    EXPECT_FALSE(f.notes.SaveTree(f.tree));
    EXPECT_FALSE(FileExists(beside));
    TMemoryStream moved;
    CutItemToStream(moved, f.tree, f.tree.Item(0));  // A goes last
    ReadItemStream(moved, *f.tree.AddTop());
    f.tree.Item(0)->SetText("B renamed");
    f.tree.Item(0)->Data()->ColourIndex = 9;
    test::AddItem(f.tree, f.tree.Item(1), "C", 3);
    EXPECT_TRUE(f.notes.SaveTree(f.tree));
    EXPECT_FALSE(f.notes.SaveTree(f.tree));
    const Bytes saved = test::ReadAll(beside);
    {
        // Its records released, as after a save, it is no tree to keep.
        TPlainItemTree released;
        test::AddItem(released, nullptr, "X", 9)->SetData(nullptr);
        EXPECT_FALSE(f.notes.SaveTree(released));
        EXPECT_EQ(test::ReadAll(beside), saved);
    }
    const std::vector<uint8_t> now = TreeFileBytes(f.tree);
    EXPECT_EQ(saved, Bytes(now.begin(), now.end()));

    auto restart = [&](TPlainItemTree& tree) {
        TNoteStore next;
        next.SetDataPath(f.dir.Path());
        next.Open(tree, "T");
        return next;
    };
    // A crash: the next start shows that tree, with A's note from the
    // archive, and its save leaves the archive alone on disk.
    {
        TPlainItemTree tree;
        TNoteStore next = restart(tree);
        const std::vector<uint8_t> shown = TreeFileBytes(tree);
        EXPECT_EQ(Bytes(shown.begin(), shown.end()), saved);
        TMemoryStream s;
        EXPECT_TRUE(next.Load(1, s, f.lh5));
        EXPECT_EQ(s.AsString(), "note of A");
        next.Pack(tree, "T");
        EXPECT_EQ(f.Files().size(), 1u);
    }
    TPlainItemTree packed;
    restart(packed);
    const std::vector<uint8_t> shown = TreeFileBytes(packed);
    EXPECT_EQ(Bytes(shown.begin(), shown.end()), saved);
    // One that does not read whole (cut short by a crash of the system) is
    // passed over for the archive's.
    CreateDir(f.dir.File("T.tsn"));
    for (const std::string& cut : {std::string("\x05\0\0\0cut", 7), std::string()}) {
        test::WriteAll(beside, cut);
        TPlainItemTree again;
        restart(again);
        EXPECT_EQ(TreeFileBytes(again), shown) << cut.size();
    }
}

// Leaving a treskel in which nothing changed writes nothing; each kind of
// change to its tree or its notes is written.
TEST(NoteStore, ASaveWritesTheArchiveOnlyWhenSomethingChanged) {
    Fixture f;
    f.MakeTreskel("note of A");
    const std::string archive = f.dir.File("T.tsx");
    auto stamp = [&] { return std::make_pair(FindFiles(archive)[0].Time, test::ReadAll(archive)); };
    auto untouched = [&](const std::string& what) {
        const auto before = stamp();
        usleep(20000);  // a rewrite would show in the time stamp
        f.notes.Pack(f.tree, "T");
        EXPECT_EQ(stamp(), before) << what;
    };
    f.notes.Open(f.tree, "T");
    untouched("opened");
    const std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"caption", [&] { f.tree.Item(0)->SetText("A2"); }},
        {"colour", [&] { f.tree.Item(0)->Data()->ColourIndex = 4; }},
        {"style", [&] { f.tree.Item(0)->Data()->Style = 3; }},
        {"lock", [&] { f.tree.Item(1)->Data()->SetPassword("secret"); }},
        {"font size", [&] { f.tree.Item(1)->Data()->FontSize = 12; }},
        {"move", [&] {
             TMemoryStream moved;
             CutItemToStream(moved, f.tree, f.tree.Item(0));
             ReadItemStream(moved, *f.tree.Item(0)->AddChild());
         }},
        {"open", [&] { f.tree.Item(0)->SetExpanded(true); }},
        {"add", [&] { test::AddItem(f.tree, nullptr, "C", 3); }},
        {"sort", [&] {
             TMemoryStream moved;
             CutItemToStream(moved, f.tree, f.tree.Item(0));
             ReadItemStream(moved, *f.tree.AddTop());
         }},
        {"note saved", [&] { f.Save(3, "note of C"); }},
        {"note copied", [&] { f.notes.Copy(3, 4); test::AddItem(f.tree, nullptr, "D", 4); }},
        {"delete", [&] {
             f.notes.Remove(4);
             f.tree.Delete(f.tree.Item(f.tree.Count() - 1));
         }},
        {"note removed", [&] { f.notes.Remove(3); }},
    };
    for (const auto& [what, change] : changes) {
        const auto before = stamp();
        change();
        f.notes.Pack(f.tree, "T");
        const std::vector<uint8_t> tree = TreeFileBytes(f.tree);  // with the notes' new CRCs
        EXPECT_NE(stamp(), before) << what;
        TNoteStore next;
        next.SetDataPath(f.dir.Path());
        TPlainItemTree shown;
        next.Open(shown, "T");
        EXPECT_EQ(TreeFileBytes(shown), tree) << what;
        untouched("after " + what);
    }
}

// A crafted size in a level-2 note is refused before anything is expanded.
TEST(NoteStore, ALevelTwoNoteClaimingTooMuchIsCorrupt) {
    Fixture f;
    f.Save(1, std::string(2000, 'a'), 2);
    Bytes note = test::ReadAll(f.Note(1));
    PutU32(note.data() + NoteHeaderSize, 0xFFFFFFFFu);
    test::WriteAll(f.Note(1), note);
    try {
        f.Load(1);
        ADD_FAILURE() << "a corrupt note was read";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is corrupt!");
    }
}

// A note bomb inside the archive is refused as one in a loose file is.
TEST(NoteStore, ANoteBombInTheArchiveIsCorrupt) {
    Fixture f;
    test::AddItem(f.tree, nullptr, "Bomb", 1);
    TMemoryStream bomb;
    WriteNoteHeader(bomb, TNoteHeader{1.0f, 2});
    const auto body = test::Lh5Bomb(2147483632u);
    bomb.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    test::WriteLooseNote(f.dir.Path(), "T", 1, bomb.AsString());
    f.notes.Pack(f.tree, "T");
    f.notes.Open(f.tree, "T");
    test::TCountingStream rtf;
    try {
        f.notes.Load(1, rtf, f.lh5);
        ADD_FAILURE() << "a note bomb was loaded";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is corrupt!");
    }
    EXPECT_EQ(rtf.written, 0);
}

// A note in the archive is decoded where it lies: the RTF grows while the
// archive is still being read, with no copy of the note file in between.
TEST(NoteStore, ArchivedNotesAreDecodedAsTheyAreRead) {
    class Watching : public TFileOps {
    public:
        std::unique_ptr<TStream> OpenRead(const std::string& name) override {
            auto inner = TFileOps::OpenRead(name);
            if (name.size() < 4 || name.substr(name.size() - 4) != ".tsx" || rtf == nullptr) return inner;
            class Watched : public TStream {
            public:
                Watched(std::unique_ptr<TStream> s, Watching& w) : s_(std::move(s)), w_(w) {}
                int64_t Read(void* b, int64_t n) override { return Note(s_->Read(b, n)); }
                int64_t ReadAt(void* b, int64_t n, int64_t o) override { return Note(s_->ReadAt(b, n, o)); }
                int64_t Write(const void* b, int64_t n) override { return s_->Write(b, n); }
                int64_t Seek(int64_t o, TSeekOrigin origin) override { return s_->Seek(o, origin); }

            private:
                int64_t Note(int64_t got) {
                    w_.readsAfterOutput += w_.rtf->Size() > 0 ? 1 : 0;
                    return got;
                }
                std::unique_ptr<TStream> s_;
                Watching& w_;
            };
            return std::make_unique<Watched>(std::move(inner), *this);
        }
        TMemoryStream* rtf = nullptr;
        int readsAfterOutput = 0;
    } ops;
    test::TempDir dir;
    TNoteStore notes(ops);
    notes.SetDataPath(dir.Path());
    TPlainItemTree tree;
    notes.Open(tree, "T");
    LH5Compression lh5(nullptr);
    for (int level : {0, 1, 2}) {
        test::AddItem(tree, nullptr, "A", level + 1);
        std::string text;
        for (int i = 0; text.size() < 1500000; ++i) text += IntToStr(static_cast<int>(i * 7919LL % 100003)) + " ";
        TMemoryStream s(std::vector<uint8_t>(text.begin(), text.end()));
        notes.Save(level + 1, level, "A", s, lh5);
    }
    notes.Pack(tree, "T");
    for (int level : {0, 1, 2}) {
        SCOPED_TRACE(level);
        TMemoryStream rtf;
        ops.rtf = &rtf;
        ops.readsAfterOutput = 0;
        ASSERT_TRUE(notes.Load(level + 1, rtf, lh5));
        EXPECT_GT(rtf.Size(), 1500000);
        EXPECT_GT(ops.readsAfterOutput, 0);
        ops.rtf = nullptr;
    }
}

TEST(NoteStore, AFailedNoteSaveKeepsThePreviousNote) {
    Fixture f;
    f.Save(1, "previous");
    const auto before = f.Files();
    for (auto step : {test::FailingOps::kCreate, test::FailingOps::kFlush, test::FailingOps::kReplace}) {
        test::FailingOps ops(step);
        TNoteStore failing(ops);
        failing.SetDataPath(f.dir.Path());
        TPlainItemTree tree;
        failing.Open(tree, "T");
        TMemoryStream s(std::vector<uint8_t>{'n', 'e', 'w'});
        EXPECT_THROW(failing.Save(1, 0, "t", s, f.lh5), Exception);
        EXPECT_EQ(f.Files(), before);
    }
}

#ifndef _WIN32
// A full disk says so, and which file it could not write.
TEST(NoteStore, AFullDiskGivesTheSystemsReasonAndTheFile) {
    class FullDisk : public TFileOps {
        std::unique_ptr<TStream> Create(const std::string&) override {
            return std::make_unique<TFileStream>("/dev/full", fmCreate);
        }
    } ops;
    Fixture f;
    TNoteStore notes(ops);
    notes.SetDataPath(f.dir.Path());
    notes.Open(f.tree, "T");
    TMemoryStream s(std::vector<uint8_t>(100000, 'x'));
    try {
        notes.Save(1, 0, "t", s, f.lh5);
        ADD_FAILURE() << "a full disk took the note";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("No space left on device"), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("/dev/full"), std::string::npos) << e.Message();
    }
}
#endif

}  // namespace
}  // namespace treskel
