// Loose note files belong to the treskel that wrote them: through crashes,
// treskels that share ids (a copied archive), removals and either order of
// opening, each treskel shows and packs only its own.
#include <gtest/gtest.h>

#include "store/CRC32c.h"
#include "store/NoteFile.h"
#include "store/NoteStore.h"
#include "store/TreeFile.h"
#include "platform/SysUtils.h"
#include "support/StoreTest.h"

namespace treskel {
namespace {

// The data directory of a user, and the program's side of one start.
struct DataDir {
    test::TempDir dir;
    LH5Compression lh5{nullptr};

    struct Session {
        TNoteStore notes;
        TPlainItemTree tree;
    };
    // Opens the treskel as a start of the program, or a tab change, does.
    std::unique_ptr<Session> Open(const std::string& caption) {
        auto s = std::make_unique<Session>();
        s->notes.SetDataPath(dir.Path());
        s->notes.Open(s->tree, caption);
        return s;
    }
    void Save(Session& s, int32_t id, const std::string& text, const std::string& title = "t") {
        TMemoryStream rtf(std::vector<uint8_t>(text.begin(), text.end()));
        const uint32_t crc = s.notes.Save(id, 2, title, rtf, lh5);
        ForEachItem(s.tree, [&](TItemNode* n) {
            if (n->Data()->Id == id && n->Data()->IsLink == 0) n->Data()->Crc = static_cast<int32_t>(crc);
        });
    }
    std::string Note(Session& s, int32_t id) {
        TMemoryStream rtf;
        return s.notes.Load(id, rtf, lh5) ? rtf.AsString() : "(none)";
    }
    // The item removal of the main window: its note, then its node.
    void Remove(Session& s, int32_t id) {
        s.notes.Remove(id);
        ForEachItem(s.tree, [&](TItemNode* n) {
            if (n->Data() != nullptr && n->Data()->Id == id) n->SetData(nullptr);
        });
        for (int i = s.tree.Count() - 1; i >= 0; --i)
            if (s.tree.Item(i)->Data() == nullptr) s.tree.Delete(s.tree.Item(i));
    }
    // "Work" of three items, packed, and "Old work", a copy of its archive
    // that the user keeps; then note 2 of Work is saved and the program
    // dies before it packs.
    void WorkAndItsCopyAfterACrash() {
        {
            auto s = Open("Work");
            for (int32_t id : {1, 2, 3}) {
                test::AddItem(s->tree, nullptr, "Item " + IntToStr(id), id);
                Save(*s, id, "work " + IntToStr(id));
            }
            s->notes.Pack(s->tree, "Work");
        }
        test::WriteAll(dir.File("Old work.tsx"), test::ReadAll(dir.File("Work.tsx")));
        auto s = Open("Work");
        Save(*s, 2, "work 2, newer");
    }
};

TEST(LooseNotes, TwoTreskelsSharingIdsKeepTheirOwnNotesInEitherOrderAfterACrash) {
    for (bool copyFirst : {true, false}) {
        SCOPED_TRACE(copyFirst ? "the copy opens first" : "Work opens first");
        DataDir d;
        d.WorkAndItsCopyAfterACrash();
        auto check = [&](const std::string& caption) {
            auto s = d.Open(caption);
            if (caption == "Work") {
                EXPECT_EQ(d.Note(*s, 2), "work 2, newer");
            } else {
                EXPECT_EQ(d.Note(*s, 2), "work 2");
            }
            EXPECT_EQ(d.Note(*s, 1), "work 1");
            EXPECT_EQ(ItemCount(s->tree), 3);
            s->notes.Pack(s->tree, caption);
        };
        check(copyFirst ? "Old work" : "Work");
        check(copyFirst ? "Work" : "Old work");
        // And so after both were packed.
        check("Work");
        check("Old work");
        EXPECT_EQ(test::DataFiles(d.dir.Path()).size(), 2u);
    }
}

// Removing an item in the copy leaves Work's saved note alone, whichever
// treskel the user opens first after the crash.
TEST(LooseNotes, RemovingAnItemNeverDeletesAnotherTreskelsLooseNote) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    const auto workFiles = test::DataFiles(d.dir.Path());
    {
        auto copy = d.Open("Old work");
        d.Remove(*copy, 2);
        EXPECT_EQ(d.Note(*copy, 2), "(none)");
        copy->notes.Pack(copy->tree, "Old work");
    }
    EXPECT_EQ(test::DataFiles(d.dir.Path()).count("Work.tsn/2"), 1u);
    EXPECT_EQ(test::DataFiles(d.dir.Path())["Work.tsn/2"], workFiles.at("Work.tsn/2"));
    auto work = d.Open("Work");
    EXPECT_EQ(d.Note(*work, 2), "work 2, newer");
    d.Remove(*work, 3);
    work->notes.Pack(work->tree, "Work");
    auto copy = d.Open("Old work");
    EXPECT_EQ(ItemCount(copy->tree), 2);  // its own removal only
    EXPECT_EQ(d.Note(*copy, 3), "work 3");
}

// A file in the data directory itself, named by an id, is never shown,
// packed or deleted by opening and packing (a start may give a note file
// there to its treskel: below).
TEST(LooseNotes, AFileNoTreskelClaimsIsKept) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    test::WriteAll(d.dir.File("1"), std::string("whose?"));
    auto s = d.Open("Old work");
    EXPECT_EQ(d.Note(*s, 1), "work 1");
    s->notes.Pack(s->tree, "Old work");
    EXPECT_EQ(test::ReadAll(d.dir.File("1")), std::vector<unsigned char>({'w', 'h', 'o', 's', 'e', '?'}));
}

// Items added since the last save are lost with the tree in a crash, but
// not their notes: they come back as top items, under the captions their
// notes were saved with, and are packed like any other.
TEST(LooseNotes, NotesOfItemsNeverPackedComeBackAsItems) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    {
        auto s = d.Open("Work");
        test::AddItem(s->tree, s->tree.Item(0), "Added", 40);
        d.Save(*s, 40, "added before the crash", "Added");
        test::AddItem(s->tree, nullptr, "Untitled", 41);
        d.Save(*s, 41, "no title", "");
        test::AddItem(s->tree, nullptr, "Link to 2", 2, true);
    }
    auto s = d.Open("Work");
    ASSERT_EQ(s->tree.Count(), 5);
    EXPECT_EQ(s->tree.Item(3)->Text(), "Added");
    EXPECT_EQ(s->tree.Item(3)->Data()->Id, 40);
    EXPECT_EQ(s->tree.Item(3)->Data()->Compression, 2);
    EXPECT_EQ(s->tree.Item(3)->ImageIndex(), ImgItem);
    EXPECT_EQ(s->tree.Item(4)->Text(), "Recovered note 41");
    EXPECT_EQ(d.Note(*s, 40), "added before the crash");
    s->notes.Pack(s->tree, "Work");
    EXPECT_FALSE(DirectoryExists(d.dir.File("Work.tsn")));
    auto again = d.Open("Work");
    EXPECT_EQ(ItemCount(again->tree), 5);
    EXPECT_EQ(d.Note(*again, 41), "no title");
    EXPECT_EQ(d.Note(*again, 2), "work 2, newer");
}

// After a crash the saved note is shown and packed; its record must carry
// that note's CRC, not the one of the version the archive held.
TEST(LooseNotes, ANoteRecoveredAfterACrashIsPackedWithItsOwnCrc) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    test::ExpectRecordsHoldTheirNotesCrc(d.dir.File("Work.tsx"));
    auto s = d.Open("Work");
    s->notes.Pack(s->tree, "Work");
    test::ExpectRecordsHoldTheirNotesCrc(d.dir.File("Work.tsx"));
}

// Renamed, a treskel keeps the notes saved since it was opened; a folder
// in the way stops the rename before anything is renamed.
TEST(LooseNotes, RenamingATreskelTakesItsLooseNotesAlong) {
    DataDir d;
    d.WorkAndItsCopyAfterACrash();
    auto s = d.Open("Work");
    s->notes.Rename("Work", "Office");
    EXPECT_EQ(d.Note(*s, 2), "work 2, newer");
    CreateDir(d.dir.File("Home.tsn"));
    test::WriteAll(d.dir.File("Home.tsn/9"), std::string("a left note"));
    const auto before = test::DataFiles(d.dir.Path());
    EXPECT_THROW(s->notes.Rename("Office", "Home"), ETreskelError);
    EXPECT_EQ(test::DataFiles(d.dir.Path()), before);
    s->notes.Pack(s->tree, "Office");
    auto office = d.Open("Office");
    EXPECT_EQ(d.Note(*office, 2), "work 2, newer");
}

// ---------------------------------------------------------------- notes an earlier build left

// The data directory as a build older than the note folders left it after
// a crash: a note saved and never packed lies beside the archives, named
// by its id alone.  Listing the tabs, as each start does, gives each one
// whose id only one treskel has to that treskel.
struct EarlierBuild : DataDir {
    // A treskel of these items, each with the note "<caption> <id>", packed.
    void Treskel(const std::string& caption, std::initializer_list<int32_t> ids) {
        auto s = Open(caption);
        for (int32_t id : ids) {
            test::AddItem(s->tree, nullptr, "Item " + IntToStr(id), id);
            Save(*s, id, caption + " " + IntToStr(id));
        }
        s->notes.Pack(s->tree, caption);
    }
    void LeaveNote(int32_t id, const std::string& text) {
        TMemoryStream rtf(std::vector<uint8_t>(text.begin(), text.end()));
        SaveNoteFile(dir.File(IntToStr(id)), 2, "Item " + IntToStr(id), rtf, lh5);
    }
    std::vector<std::string> Start(TFileOps& ops = DefaultFileOps()) {
        TNoteStore notes(ops);
        notes.SetDataPath(dir.Path());
        return notes.ListTreskels();
    }
    std::string Shown(const std::string& caption, int32_t id) {
        auto s = Open(caption);
        return Note(*s, id);
    }
    void PackAll(std::initializer_list<const char*> captions) {
        for (const char* caption : captions) {
            auto s = Open(caption);
            s->notes.Pack(s->tree, caption);
        }
    }
};

TEST(EarlierNotes, ANoteOfOneTreskelIsShownAndPackedThereAfterTheUpgrade) {
    EarlierBuild d;
    d.Treskel("Work", {1, 2, 3});
    d.Treskel("Home", {7, 8});
    d.LeaveNote(8, "Home 8, newer");
    d.LeaveNote(2, "Work 2, newer");
    EXPECT_EQ(d.Start(), (std::vector<std::string>{"Home", "Work"}));
    auto files = test::DataFiles(d.dir.Path());
    EXPECT_EQ(files.count("8") + files.count("2"), 0u);
    EXPECT_EQ(files.count("Home.tsn/8") + files.count("Work.tsn/2"), 2u);
    EXPECT_EQ(d.Shown("Home", 8), "Home 8, newer");
    EXPECT_EQ(d.Shown("Home", 7), "Home 7");
    EXPECT_EQ(d.Shown("Work", 2), "Work 2, newer");
    d.PackAll({"Home", "Work"});
    EXPECT_EQ(test::DataFiles(d.dir.Path()).size(), 2u);  // the archives alone
    EXPECT_EQ(d.Shown("Home", 8), "Home 8, newer");
    EXPECT_EQ(d.Shown("Work", 2), "Work 2, newer");
    test::ExpectRecordsHoldTheirNotesCrc(d.dir.File("Home.tsx"));
}

// Kept where they are, and shown in no treskel: a note of an id a copied
// archive shares, one of an id no tree has, a file that is no note, and
// one whose treskel has a loose note of that id already (the newer).
TEST(EarlierNotes, ANoteNoSingleTreskelClaimsIsKeptInPlaceAndShownNowhere) {
    EarlierBuild d;
    d.Treskel("Work", {1, 2, 3});
    test::WriteAll(d.dir.File("Old work.tsx"), test::ReadAll(d.dir.File("Work.tsx")));
    d.Treskel("Home", {7, 8, 9});
    d.LeaveNote(2, "whose 2?");
    d.LeaveNote(40, "no one's");
    test::WriteAll(d.dir.File("8"), std::string("not a note"));
    d.LeaveNote(9, "Home 9, older");
    {
        auto home = d.Open("Home");
        d.Save(*home, 9, "Home 9, newest");
    }
    const auto before = test::DataFiles(d.dir.Path());
    EXPECT_EQ(d.Start(), (std::vector<std::string>{"Home", "Old work", "Work"}));
    EXPECT_EQ(test::DataFiles(d.dir.Path()), before);
    EXPECT_EQ(d.Shown("Work", 2), "Work 2");
    EXPECT_EQ(d.Shown("Old work", 2), "Work 2");
    EXPECT_EQ(d.Shown("Home", 8), "Home 8");
    EXPECT_EQ(d.Shown("Home", 9), "Home 9, newest");
    // Packed now, note 9 of Home's archive is newer than the one left.
    d.PackAll({"Home", "Old work", "Work"});
    d.Start();
    for (const char* left : {"2", "40", "8", "9"})
        EXPECT_EQ(test::DataFiles(d.dir.Path())[left], before.at(left)) << left;
    for (const char* caption : {"Home", "Old work", "Work"})
        EXPECT_EQ(ItemCount(d.Open(caption)->tree), 3) << caption;  // none recovered
}

// A treskel whose tree cannot be read (one that claims 5 bytes and holds
// 3) could have any id: nothing moves.
TEST(EarlierNotes, WhileATreeCannotBeReadEveryNoteStays) {
    EarlierBuild d;
    d.Treskel("Home", {7, 8});
    test::WriteAll(d.dir.File("Broken.tsx"), std::string("\x05\0\0\0abc", 7));
    d.LeaveNote(8, "Home 8, newer");
    const auto before = test::DataFiles(d.dir.Path());
    EXPECT_EQ(d.Start(), (std::vector<std::string>{"Broken", "Home"}));
    EXPECT_EQ(test::DataFiles(d.dir.Path()), before);
    DeleteFile(d.dir.File("Broken.tsx"));
    d.Start();
    EXPECT_EQ(d.Shown("Home", 8), "Home 8, newer");
}

// Counts what the store opens and moves.
class CountingOps : public TFileOps {
public:
    std::unique_ptr<TStream> OpenRead(const std::string& name) override {
        ++reads;
        return TFileOps::OpenRead(name);
    }
    bool Move(const std::string& source, const std::string& dest) override {
        ++moves;
        return TFileOps::Move(source, dest);
    }
    int reads = 0, moves = 0;
};

// A start lists the data directory, as it always did, and reads nothing
// more unless a file there is named by an id.
TEST(EarlierNotes, AStartWithoutSuchFilesReadsNothing) {
    EarlierBuild d;
    d.Treskel("Work", {1, 2, 3});
    d.Treskel("Home", {7, 8});
    {
        auto s = d.Open("Work");
        d.Save(*s, 2, "Work 2, newer");  // in its note folder
    }
    test::WriteAll(d.dir.File("2.tmp"), std::string("x"));
    test::WriteAll(d.dir.File("Work.tsk"), std::string("x"));
    CountingOps ops;
    EXPECT_EQ(d.Start(ops), (std::vector<std::string>{"Home", "Work"}));
    EXPECT_EQ(ops.reads, 0);
    test::WriteAll(d.dir.File("02"), std::string("no id"));
    d.Start(ops);
    EXPECT_EQ(ops.reads, 0);
    // A file named by an id is read, and only when it is a note are the
    // trees.
    test::WriteAll(d.dir.File("7"), std::string("no note"));
    d.Start(ops);
    EXPECT_EQ(ops.reads, 1);
    d.LeaveNote(8, "Home 8, newer");
    ops.reads = 0;
    d.Start(ops);
    EXPECT_EQ(ops.reads, 4);  // notes 7 and 8, then both trees
    EXPECT_EQ(ops.moves, 1);
}

// The program killed at any moment of the moves: each note is in one place
// or the other, never in both or neither, and the next start moves the
// rest.
TEST(EarlierNotes, ACrashDuringTheMovesLosesNothing) {
    struct Killed {};
    class KilledOps : public TFileOps {
    public:
        KilledOps(int at, bool afterMove) : at_(at), afterMove_(afterMove) {}
        bool Move(const std::string& source, const std::string& dest) override {
            if (moves_++ < at_) return TFileOps::Move(source, dest);
            if (afterMove_) TFileOps::Move(source, dest);
            throw Killed{};
        }

    private:
        int at_, moves_ = 0;
        bool afterMove_;
    };
    const std::map<int32_t, std::string> owners{{2, "Work"}, {7, "Home"}, {8, "Home"}};
    for (int at = 0; at < 3; ++at) {
        for (bool afterMove : {false, true}) {
            SCOPED_TRACE(testing::Message() << "killed at move " << at << (afterMove ? ", after it" : ", before it"));
            EarlierBuild d;
            d.Treskel("Work", {1, 2, 3});
            d.Treskel("Home", {7, 8});
            for (const auto& [id, caption] : owners) d.LeaveNote(id, caption + " " + IntToStr(id) + ", newer");
            const auto left = test::DataFiles(d.dir.Path());
            KilledOps killed(at, afterMove);
            EXPECT_THROW(d.Start(killed), Killed);
            for (int round = 0; round < 2; ++round) {
                const auto files = test::DataFiles(d.dir.Path());
                int moved = 0;
                for (const auto& [id, caption] : owners) {
                    const std::string there = caption + ".tsn/" + IntToStr(id);
                    ASSERT_EQ(files.count(IntToStr(id)) + files.count(there), 1u) << id;
                    moved += static_cast<int>(files.count(there));
                    EXPECT_EQ(files.count(there) ? files.at(there) : files.at(IntToStr(id)), left.at(IntToStr(id)));
                }
                EXPECT_EQ(moved, round == 0 ? at + (afterMove ? 1 : 0) : 3);
                d.Start();  // the next start
            }
            for (const auto& [id, caption] : owners)
                EXPECT_EQ(d.Shown(caption, id), caption + " " + IntToStr(id) + ", newer");
        }
    }
}
}  // namespace
}  // namespace treskel
