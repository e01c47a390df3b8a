// Speed of the note storage formats, each next to its yardstick in the
// same run: LH5 beside zlib level 6, the LZRW coder beside zlib level 1,
// CRC-32 alone, and packing and unpacking a treskel beside a plain copy of
// the same bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <sys/resource.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/CRC32c.h"
#include "store/NoteFile.h"
#include "store/ItemTree.h"
#include "store/NoteStore.h"
#include "store/RtfPack.h"
#include "store/TreskelArchive.h"
#include "compress/LH5Control.h"
#include "foundation/qclprocs.h"
#include "richedit/RichEdit2Rules.h"
#include "platform/FileSys.h"
#include "support/Bombs.h"
#include "support/RtfNotes.h"

namespace treskel {
namespace {

// RTF as the editor writes it: words of a Zipf-like vocabulary, control
// words, paragraphs, now and then a font change or a small hex picture.
std::vector<uint8_t> RtfLike(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    static const char* const syll[] = {"ka", "lo", "mer", "tan", "si", "ve", "ro", "pa", "nu", "dis", "ter", "al",
                                       "ing", "the", "con", "ex", "ma", "bi", "qu", "or", "ed", "un", "fo", "re"};
    std::vector<std::string> vocab;
    for (int i = 0; i < 3000; ++i) {
        std::string w;
        const int parts = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < parts; ++k) w += syll[rng() % 24];
        vocab.push_back(w);
    }
    std::string s = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Tahoma;}"
                    "{\\f1\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                    "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    std::uniform_real_distribution<double> u(0.0, 1.0);
    while (s.size() < n) {
        const double z = u(rng);
        const size_t rank = static_cast<size_t>(std::pow(3000.0, z * z)) - 1;  // skewed to frequent words
        s += vocab[std::min<size_t>(rank, vocab.size() - 1)];
        const uint32_t r = rng() % 100;
        if (r < 8)
            s += ", ";
        else if (r < 11)
            s += ".\\par\r\n";
        else if (r < 12)
            s += " {\\b " + vocab[rng() % 50] + "} ";
        else if (r < 13)
            s += "\\cf1 " + vocab[rng() % 200] + "\\cf0 ";
        else
            s += ' ';
        if (rng() % 4000 == 0) {
            s += "{\\pict\\wmetafile8\\picw200\\pich200 \r\n";
            for (int line = 0; line < 8; ++line) {
                for (int k = 0; k < 64; ++k) s += "0123456789abcdef"[rng() % (k % 3 == 0 ? 16 : 3)];
                s += "\r\n";
            }
            s += "}";
        }
    }
    s.resize(n);
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::vector<uint8_t> Random(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

const std::vector<uint8_t>& Input(int kind, size_t size) {
    static std::map<std::pair<int, size_t>, std::vector<uint8_t>> cache;
    auto& v = cache[{kind, size}];
    if (v.empty()) v = kind == 0 ? RtfLike(size, 42) : Random(size, 42);
    return v;
}

std::vector<uint8_t> Lh5Compress(const std::vector<uint8_t>& data) {
    TReadOnlyMemoryStream in(data.data(), static_cast<int64_t>(data.size()));
    TMemoryStream out;
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    lh5.StreamIn = &in;
    lh5.StreamOut = &out;
    lh5.Compress();
    return out.Bytes();
}

template <int Level>
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data) {
    uLongf n = compressBound(data.size());
    std::vector<uint8_t> out(n);
    compress2(out.data(), &n, data.data(), data.size(), Level);
    out.resize(n);
    return out;
}

std::vector<uint8_t> LzrwCompress(const std::vector<uint8_t>& data) {
    TReadOnlyMemoryStream in(data.data(), static_cast<int64_t>(data.size()));
    TMemoryStream out;
    QclCompressStream(in, out, static_cast<int>(data.size()));
    return out.Bytes();
}

using Packer = std::vector<uint8_t> (*)(const std::vector<uint8_t>&);

const std::vector<uint8_t>& Input(benchmark::State& state) {
    return Input(static_cast<int>(state.range(0)), static_cast<size_t>(state.range(1)));
}

void Label(benchmark::State& state, const std::vector<uint8_t>& in, size_t packed) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
    state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(in.size());
}

void BM_Compress(benchmark::State& state, Packer pack) {
    const auto& in = Input(state);
    size_t packed = 0;
    for (auto _ : state) packed = pack(in).size();
    Label(state, in, packed);
}

void BM_LH5Expand(benchmark::State& state) {
    const auto& in = Input(state);
    const auto packed = Lh5Compress(in);
    TMemoryStream out;
    out.SetSize(static_cast<int64_t>(in.size()));
    LH5Compression lh5(nullptr);
    lh5.SetUseStreamMode(true);
    for (auto _ : state) {
        TReadOnlyMemoryStream src(packed.data(), static_cast<int64_t>(packed.size()));
        out.SetPosition(0);
        lh5.StreamIn = &src;
        lh5.StreamOut = &out;
        lh5.Expand();
    }
    Label(state, in, packed.size());
}

void BM_LzrwExpand(benchmark::State& state) {
    const auto& in = Input(state);
    const auto packed = LzrwCompress(in);
    TMemoryStream out;
    out.SetSize(static_cast<int64_t>(in.size()));
    for (auto _ : state) {
        TReadOnlyMemoryStream src(packed.data(), static_cast<int64_t>(packed.size()));
        out.SetPosition(0);
        QclExpandStream(src, out);
    }
    Label(state, in, packed.size());
}

void BM_ZlibExpand(benchmark::State& state, Packer pack) {
    const auto& in = Input(state);
    const auto packed = pack(in);
    std::vector<uint8_t> out(in.size());
    for (auto _ : state) {
        uLongf n = out.size();
        uncompress(out.data(), &n, packed.data(), packed.size());
        benchmark::DoNotOptimize(out.data());
    }
    Label(state, in, packed.size());
}

// Text and incompressible data, 1 MB and 16 MB.
void CoderArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"random", "size"});
    for (int kind : {0, 1})
        for (int64_t size : {1 << 20, 16 << 20}) b->Args({kind, size});
    b->Unit(benchmark::kMillisecond);
}
// LH5 beside zlib's default level; the LZRW coder, which is there to be
// fast, beside zlib's fastest.
BENCHMARK_CAPTURE(BM_Compress, lh5, Lh5Compress)->Apply(CoderArgs)->Name("Compress/LH5");
BENCHMARK_CAPTURE(BM_Compress, zlib6, ZlibCompress<6>)->Apply(CoderArgs)->Name("Compress/zlib6");
BENCHMARK(BM_LH5Expand)->Apply(CoderArgs)->Name("Expand/LH5");
BENCHMARK_CAPTURE(BM_ZlibExpand, zlib6, ZlibCompress<6>)->Apply(CoderArgs)->Name("Expand/zlib");
BENCHMARK_CAPTURE(BM_Compress, lzrw, LzrwCompress)->Apply(CoderArgs)->Name("Compress/LZRW");
BENCHMARK_CAPTURE(BM_Compress, zlib1, ZlibCompress<1>)->Apply(CoderArgs)->Name("Compress/zlib1");
BENCHMARK(BM_LzrwExpand)->Apply(CoderArgs)->Name("Expand/LZRW");
BENCHMARK_CAPTURE(BM_ZlibExpand, zlib1, ZlibCompress<1>)->Apply(CoderArgs)->Name("Expand/zlib1");

void BM_Crc32(benchmark::State& state) {
    const auto& in = Input(1, static_cast<size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(Crc32(in.data(), in.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_Crc32)->Arg(1 << 20)->Arg(16 << 20);

// The object packer over about 8 MB of notes as the control writes them:
// text with its control words, objects and metafile pictures.
const std::string& WrittenNotes() {
    static const std::string rtf = [] {
        std::mt19937 rng(104);
        treskel::test::RtfNoteWriter writer([&](uint32_t n) { return static_cast<uint32_t>(rng() % n); });
        std::string s;
        while (s.size() < (8u << 20)) s += writer.Note(200).rtf;
        return s;
    }();
    return rtf;
}

void RunPacker(benchmark::State& state, void (*coder)(treskel::TStream&, treskel::TStream&), const std::string& in) {
    for (auto _ : state) {
        treskel::TReadOnlyMemoryStream input(in.data(), static_cast<int64_t>(in.size()));
        treskel::TMemoryStream output;
        coder(input, output);
        benchmark::DoNotOptimize(output.Memory());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_RtfPack(benchmark::State& state) { RunPacker(state, treskel::PackRtfObjects, WrittenNotes()); }
void BM_RtfUnpack(benchmark::State& state) {
    treskel::TReadOnlyMemoryStream input(WrittenNotes().data(), static_cast<int64_t>(WrittenNotes().size()));
    treskel::TMemoryStream packed;
    treskel::PackRtfObjects(input, packed);
    RunPacker(state, treskel::UnpackRtfObjects, packed.AsString());
}
BENCHMARK(BM_RtfPack)->Name("RtfPack/Pack8M")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfUnpack)->Name("RtfPack/Unpack8M")->Unit(benchmark::kMillisecond);

// The editor's mend of paragraph words over 2 and 8 MB of indented,
// bulleted and numbered paragraphs as the control writes them, in the
// control's 4 KB pieces, beside copying the same pieces.
std::string IndentedNote(size_t size) {
    const char* kinds[] = {"\\pard\\sl-240\\slmult1\\fi720 ", "\\pard\\sl-240\\slmult1\\li360\\fi360 ",
                           "\\pard{\\pntext\\f0 \\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent0{\\pntxtb\\'b7}}"
                           "\\sl-240\\slmult1\\li360\\fi360 "};
    std::string s = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\r\n";
    for (int k = 0; s.size() < size; ++k)
        s += std::string(kinds[k % 3]) + "Paragraph " + std::to_string(k) +
             ": some words of a line of about eighty characters.\\par\r\n";
    return s + "}";
}

void BM_ParaWords(benchmark::State& state) {
    const std::string in = IndentedNote(static_cast<size_t>(state.range(0)) << 20);
    const bool mend = state.range(1) != 0;
    for (auto _ : state) {
        treskel::TParaWordFilter filter({true, true});
        std::string out, piece;
        for (size_t at = 0; at < in.size(); at += 4096) {
            piece.clear();
            if (mend)
                filter.Write(std::string_view(in).substr(at, 4096), piece);
            else
                piece.assign(in, at, 4096);
            out += piece;
        }
        if (mend) filter.Finish(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_ParaWords)
    ->ArgsProduct({{2, 8}, {0, 1}})
    ->ArgNames({"MB", "mend"})
    ->Name("RichEdit/ParaWords")
    ->Unit(benchmark::kMillisecond);

// The control's reader over such notes: measuring alone, as a paste or a
// stored note is measured before the control reads it, and handing them on
// as the control is given them, flattened, in the control's 4 KB pieces.
void BM_ControlReader(benchmark::State& state) {
    const std::string in = IndentedNote(static_cast<size_t>(state.range(0)) << 20);
    const bool handOn = state.range(1) != 0;
    for (auto _ : state) {
        treskel::TParaWordFilter reader = treskel::TParaWordFilter::ToControl(handOn ? treskel::kRichEditDepth : 0);
        std::string piece;
        if (handOn) {
            for (size_t at = 0; at < in.size(); at += 4096) {
                piece.clear();
                reader.Write(std::string_view(in).substr(at, 4096), piece);
                benchmark::DoNotOptimize(piece.data());
            }
            reader.Finish(piece);
        } else {
            reader.Pass(in);
            reader.Finish();
        }
        benchmark::DoNotOptimize(reader.Shape().Paragraphs);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}
BENCHMARK(BM_ControlReader)
    ->ArgsProduct({{8, 43}, {0, 1}})
    ->ArgNames({"MB", "handOn"})
    ->Name("RichEdit/ControlReader")
    ->Unit(benchmark::kMillisecond);

// The editor's filter over 2 MB of Central European text as the window
// writes it in UTF-8, handed over in the window's 4 KB pieces: a third of the
// letters are in the font's code page, the rest become \uN escapes.
void BM_Utf8RtfFilter(benchmark::State& state) {
    static const std::string doc = [] {
        const char* words[] = {"p\xC5\x99\xC3\xAD\xC5\xA1" "ern\xC4\x9B", "\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD", "k\xC5\xAF\xC5\x88",
                               "\xC3\xBAp\xC4\x9Bl", "\xC4\x8F\xC3\xA1" "belsk\xC3\xA9", "\xC3\xB3" "dy", "and", "the",
                               "\\b", "\\b0", "\\par\r\n", "\\f1", "\\f0"};
        std::mt19937 rng(1250);
        std::string s = "{\\urtf1\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset238 Arial CE;}}\r\n\\pard ";
        while (s.size() < (2u << 20)) s += std::string(words[rng() % std::size(words)]) + " ";
        return s + "}";
    }();
    const auto encode = [](char32_t c, unsigned codePage) {
        return codePage == 1252 && c >= 0xA0 && c <= 0xFF ? std::string(1, static_cast<char>(c)) : std::string();
    };
    for (auto _ : state) {
        TUtf8RtfFilter filter(1252, encode);
        std::string out;
        for (size_t i = 0; i < doc.size(); i += 4096) filter.Write(std::string_view(doc).substr(i, 4096), out);
        filter.Finish(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_Utf8RtfFilter)->Name("Utf8RtfFilter/2M")->Unit(benchmark::kMillisecond);

// ---- a treskel of 10,000 items and 50 MB of notes ----

constexpr int kItems = 10000;
constexpr int64_t kNoteBytes = 50LL << 20;

struct Treskel {
    std::string dir;
    TPlainItemTree tree;
    std::vector<std::string> files;  // tree-less list of the note files
    std::vector<std::vector<uint8_t>> notes;
    std::vector<std::pair<TItemNode*, int32_t>> nodeIds;

    Treskel() {
        dir = TempDirectory() + "treskel-bench-" + std::to_string(std::random_device{}()) + "/";
        CreateDir(dir);
        std::mt19937 rng(9);
        const auto text = RtfLike(1 << 20, 7);
        const int64_t mean = kNoteBytes / kItems;
        TItemNode* parent = nullptr;
        for (int i = 0; i < kItems; ++i) {
            TItemNode* n = (parent != nullptr && rng() % 3 != 0) ? parent->AddChild() : tree.AddTop();
            if (rng() % 10 == 0) parent = n;
            n->SetText("Item " + std::to_string(i));
            n->SetData(std::make_unique<TItemData>());
            n->Data()->Id = 10000000 + i;
            nodeIds.emplace_back(n, n->Data()->Id);
            const size_t size = static_cast<size_t>(mean / 2 + static_cast<int64_t>(rng() % static_cast<uint32_t>(mean)));
            const size_t from = rng() % (text.size() - size);
            notes.emplace_back(text.begin() + static_cast<long>(from), text.begin() + static_cast<long>(from + size));
            files.push_back(NoteFileName(dir, "Bench", n->Data()->Id));
        }
    }
    ~Treskel() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void WriteLooseFiles() const {
        CreateDir(ExcludeTrailingBackslash(NoteFolderName(dir, "Bench")));
        for (size_t i = 0; i < files.size(); ++i) {
            TFileStream f(files[i], fmCreate);
            f.WriteBuffer(notes[i].data(), static_cast<int64_t>(notes[i].size()));
        }
    }
    // SaveTreskel releases the records; the tree gets them back.
    void EnsureRecords() {
        for (auto& [n, id] : nodeIds) {
            if (n->Data() != nullptr) continue;
            n->SetData(std::make_unique<TItemData>());
            n->Data()->Id = id;
        }
    }
    // The archive, made from the loose files.
    void Pack() {
        EnsureRecords();
        WriteLooseFiles();
        PackTreskel(tree, dir, "Bench");
    }
    void DeleteLooseFiles() const {
        for (const auto& f : files) DeleteFile(f);
        DeleteFile(TreeFileName(dir, "Bench"));
    }
};

Treskel& Sample() {
    static Treskel t;
    return t;
}

void SetBytes(benchmark::State& state, const std::string& file) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * FileSizeOf(file));
}

// Pack: loose files in, one archive out, loose files gone.  Its yardsticks
// copy the same bytes into one file; "Move" also forces the copy to disk
// and deletes the sources, as a save that cannot lose notes must.
void BM_PackTreskel(benchmark::State& state) {
    Treskel& t = Sample();
    t.EnsureRecords();
    for (auto _ : state) {
        state.PauseTiming();
        t.WriteLooseFiles();
        state.ResumeTiming();
        PackTreskel(t.tree, t.dir, "Bench");
    }
    SetBytes(state, ArchiveFileName(t.dir, "Bench"));
}

void CopyIntoOne(const Treskel& t, bool move) {
    std::vector<uint8_t> buf(1 << 20);
    TFileStream out(t.dir + "copy.bin", fmCreate);
    for (const auto& name : t.files) {
        TFileStream in(name, fmOpenRead);
        const int64_t n = in.Size();
        if (static_cast<size_t>(n) > buf.size()) buf.resize(static_cast<size_t>(n));
        in.ReadBuffer(buf.data(), n);
        out.WriteBuffer(buf.data(), n);
    }
    if (move) {
        out.Flush();
        for (const auto& name : t.files) DeleteFile(name);
    }
}

void BM_PlainCopyPack(benchmark::State& state) {
    Treskel& t = Sample();
    t.WriteLooseFiles();
    for (auto _ : state) CopyIntoOne(t, false);
    SetBytes(state, t.dir + "copy.bin");
}

void BM_PlainMovePack(benchmark::State& state) {
    Treskel& t = Sample();
    for (auto _ : state) {
        state.PauseTiming();
        t.WriteLooseFiles();
        state.ResumeTiming();
        CopyIntoOne(t, true);
    }
    SetBytes(state, t.dir + "copy.bin");
}

// Unpack: the archive out into new loose files, as when a treskel opens.
void BM_UnpackTreskel(benchmark::State& state) {
    Treskel& t = Sample();
    t.Pack();
    for (auto _ : state) {
        state.PauseTiming();
        t.DeleteLooseFiles();
        state.ResumeTiming();
        UnpackTreskel(t.dir, "Bench");
    }
    SetBytes(state, ArchiveFileName(t.dir, "Bench"));
}

// The same new files written out of one file.
void BM_PlainCopyUnpack(benchmark::State& state) {
    Treskel& t = Sample();
    {
        TFileStream all(t.dir + "copy.bin", fmCreate);
        for (const auto& n : t.notes) all.WriteBuffer(n.data(), static_cast<int64_t>(n.size()));
    }
    std::vector<uint8_t> buf(1 << 20);
    for (auto _ : state) {
        state.PauseTiming();
        t.DeleteLooseFiles();
        state.ResumeTiming();
        TFileStream all(t.dir + "copy.bin", fmOpenRead);
        for (size_t i = 0; i < t.files.size(); ++i) {
            const int64_t n = static_cast<int64_t>(t.notes[i].size());
            if (static_cast<size_t>(n) > buf.size()) buf.resize(static_cast<size_t>(n));
            all.ReadBuffer(buf.data(), n);
            TFileStream out(t.files[i], fmCreate);
            out.WriteBuffer(buf.data(), n);
        }
    }
    SetBytes(state, t.dir + "copy.bin");
}

// What the main window does on a tab change or at start: check the archive,
// index its notes and load the tree.
void BM_OpenTreskel(benchmark::State& state) {
    Treskel& t = Sample();
    t.Pack();
    std::vector<std::unique_ptr<TPlainItemTree>> trees;  // freed after the timing
    for (auto _ : state) {
        state.PauseTiming();
        trees.push_back(std::make_unique<TPlainItemTree>());
        state.ResumeTiming();
        OpenTreskel(*trees.back(), t.dir, "Bench");
        benchmark::DoNotOptimize(trees.back()->Count());
    }
    SetBytes(state, ArchiveFileName(t.dir, "Bench"));
}

// And on a tab change or at close: ten notes changed since the open, the
// rest taken from the old archive, the new one read back and checked.
void BM_SaveTenChanged(benchmark::State& state) {
    Treskel& t = Sample();
    t.Pack();
    TNoteStore notes;
    notes.SetDataPath(t.dir);
    for (auto _ : state) {
        state.PauseTiming();
        TPlainItemTree tree;
        notes.Open(tree, "Bench");
        CreateDir(ExcludeTrailingBackslash(NoteFolderName(t.dir, "Bench")));
        for (size_t i = 0; i < 10; ++i) {
            const size_t k = i * (t.files.size() / 10);
            TFileStream f(t.files[k], fmCreate);
            f.WriteBuffer(t.notes[k].data(), static_cast<int64_t>(t.notes[k].size()));
        }
        state.ResumeTiming();
        notes.Pack(tree, "Bench");
    }
    SetBytes(state, ArchiveFileName(t.dir, "Bench"));
}

// The yardstick of both: the archive copied to another file and forced to
// disk, as a save must.
void BM_PlainCopyArchive(benchmark::State& state) {
    Treskel& t = Sample();
    t.Pack();
    std::vector<uint8_t> buf(1 << 20);
    for (auto _ : state) {
        TFileStream in(ArchiveFileName(t.dir, "Bench"), fmOpenRead);
        TFileStream out(t.dir + "copy.bin", fmCreate);
        for (int64_t left = in.Size(); left > 0;) {
            const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
            in.ReadBuffer(buf.data(), n);
            out.WriteBuffer(buf.data(), n);
            left -= n;
        }
        out.Flush();
    }
    SetBytes(state, ArchiveFileName(t.dir, "Bench"));
}

void BM_SaveTreskel(benchmark::State& state) {
    Treskel& t = Sample();
    for (auto _ : state) {
        state.PauseTiming();
        t.WriteLooseFiles();
        t.EnsureRecords();
        state.ResumeTiming();
        SaveTreskel(t.tree, t.dir, "Bench");
    }
    SetBytes(state, ArchiveFileName(t.dir, "Bench"));
}

// What a start does before it opens the first tab: list the data
// directory.  Before the note folders the listing was of the archives
// alone (Treskel/ListArchives); now one listing also finds note files an
// earlier build left there, and once after the upgrade, with `left` of
// them, their treskel's tree is read and each is renamed into its folder.
void BM_ListTreskels(benchmark::State& state) {
    Treskel& t = Sample();
    t.Pack();
    const int left = static_cast<int>(state.range(0));
    TMemoryStream note;
    WriteNoteHeader(note, TNoteHeader{1.0f, 0});
    const std::string body = "{\\rtf1 left}";
    note.WriteBuffer(body.data(), static_cast<int64_t>(body.size()));
    std::vector<int32_t> ids;
    for (int i = 0; i < left; ++i) ids.push_back(10000000 + i * (kItems / left));
    for (auto _ : state) {
        state.PauseTiming();
        for (int32_t id : ids) {
            DeleteFile(NoteFileName(t.dir, "Bench", id));
            TFileStream f(t.dir + std::to_string(id), fmCreate);
            f.WriteBuffer(note.Memory(), note.Size());
        }
        state.ResumeTiming();
        TNoteStore notes;
        notes.SetDataPath(t.dir);
        benchmark::DoNotOptimize(notes.ListTreskels().size());
    }
    for (int32_t id : ids) DeleteFile(NoteFileName(t.dir, "Bench", id));
    RemoveDir(ExcludeTrailingBackslash(NoteFolderName(t.dir, "Bench")));
}

void BM_ListArchives(benchmark::State& state) {
    Treskel& t = Sample();
    t.Pack();
    for (auto _ : state) benchmark::DoNotOptimize(FindFiles(t.dir + "*.tsx").size());
}

// A note of a kilobyte that declares gigabytes, loaded as the editor's
// note is: refused from its size field.  Counters: the bytes the bomb
// declares, and the process's peak memory in MB after the runs.
void BM_NoteBombRefused(benchmark::State& state) {
    const auto declared = static_cast<uint32_t>(state.range(0));
    TMemoryStream file;
    WriteNoteHeader(file, TNoteHeader{1.0f, 2});
    const auto bomb = test::Lh5Bomb(declared);
    file.WriteBuffer(bomb.data(), static_cast<int64_t>(bomb.size()));
    LH5Compression lh5(nullptr);
    int64_t refused = 0;
    for (auto _ : state) {
        file.SetPosition(0);
        TMemoryStream rtf;
        try {
            LoadNote(file, rtf, lh5);
        } catch (const Exception&) {
            ++refused;
        }
    }
    if (refused != static_cast<int64_t>(state.iterations())) state.SkipWithError("a bomb was loaded");
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["declaredMB"] = static_cast<double>(declared) / (1 << 20);
    state.counters["fileBytes"] = static_cast<double>(file.Size());
    state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(BM_NoteBombRefused)->Name("Treskel/NoteBombRefused")->Arg(2147483632)->Arg(4294967295)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_ListTreskels)->Name("Treskel/ListTreskels")->Arg(0)->Arg(10)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_ListArchives)->Name("Treskel/ListArchives")->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_OpenTreskel)->Name("Treskel/Open")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveTenChanged)->Name("Treskel/SaveTenChanged")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopyArchive)->Name("Treskel/PlainCopyArchive")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveTreskel)->Name("Treskel/SaveAllLoose")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PackTreskel)->Name("Treskel/Pack")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopyPack)->Name("Treskel/PlainCopyPack")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainMovePack)->Name("Treskel/PlainMovePack")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UnpackTreskel)->Name("Treskel/Unpack")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainCopyUnpack)->Name("Treskel/PlainCopyUnpack")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace treskel

BENCHMARK_MAIN();
