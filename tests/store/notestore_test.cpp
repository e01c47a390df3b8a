#include <gtest/gtest.h>

#include <map>

#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreeFile.h"
#include "store/TreskelArchive.h"
#include "platform/FileSys.h"
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
        SaveNoteFile(NoteFileName(dir_, id), level, "Note " + IntToStr(id), s, lh5);
    }
    void Copy(int32_t from, int32_t to) override {
        if (FileExists(NoteFileName(dir_, from))) test::WriteAll(NoteFileName(dir_, to), test::ReadAll(NoteFileName(dir_, from)));
    }
    void Remove(int32_t id) override { DeleteFile(NoteFileName(dir_, id)); }
    void Pack(const TItemTree& tree) override { SaveTreskel(tree, dir_, "T"); }

private:
    std::string dir_;
};

// The same through the note store.
class StorePath : public NotePath {
public:
    explicit StorePath(const std::string& dir) { notes_.SetDataPath(dir); }
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
    const Bytes golden = test::ReadAll(kGolden);
    EXPECT_EQ(RunScript(loose, looseDir.Path()), golden);
    EXPECT_EQ(RunScript(store, storeDir.Path()), golden);
}

// A store over a fresh directory, with a one-item treskel "T" whose note
// is `text`, packed.
struct Fixture {
    test::TempDir dir;
    TNoteStore notes;
    TPlainItemTree tree;
    LH5Compression lh5{nullptr};
    Fixture() { notes.SetDataPath(dir.Path()); }
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
    std::map<std::string, Bytes> Files() const {
        std::map<std::string, Bytes> files;
        for (const TSearchRec& f : FindFiles(dir.Path() + "*")) files[f.Name] = test::ReadAll(dir.File(f.Name));
        return files;
    }
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
    EXPECT_FALSE(FileExists(f.dir.File("1")));
}

TEST(NoteStore, StaleTemporaryFilesGoAtOpen) {
    Fixture f;
    f.MakeTreskel("x");
    for (const char* name : {"1.tmp", "77.tmp", "T.tsx.tmp", "U.tsx.tmp", "notes.tmp"})
        test::WriteAll(f.dir.File(name), std::string("half"));
    f.notes.Open(f.tree, "T");
    EXPECT_FALSE(FileExists(f.dir.File("1.tmp")));
    EXPECT_FALSE(FileExists(f.dir.File("77.tmp")));
    EXPECT_FALSE(FileExists(f.dir.File("T.tsx.tmp")));
    EXPECT_TRUE(FileExists(f.dir.File("U.tsx.tmp")));  // another treskel's
    EXPECT_TRUE(FileExists(f.dir.File("notes.tmp")));
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
    for (const Bytes& bad : {trailing, otherId, fewer}) {
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

// A crafted size in a level-2 note is refused before anything is expanded.
TEST(NoteStore, ALevelTwoNoteClaimingTooMuchIsCorrupt) {
    Fixture f;
    f.Save(1, std::string(2000, 'a'), 2);
    Bytes note = test::ReadAll(f.dir.File("1"));
    PutU32(note.data() + NoteHeaderSize, 0xFFFFFFFFu);
    test::WriteAll(f.dir.File("1"), note);
    try {
        f.Load(1);
        ADD_FAILURE() << "a corrupt note was read";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "File is corrupt!");
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
