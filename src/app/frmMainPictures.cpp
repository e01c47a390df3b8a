// Pictures, scans and objects in the note: a picture file or a scanned
// image reaches the editor through the clipboard, as a bitmap, as an
// enhanced metafile and as rich text holding that metafile, the form every
// rich-edit control pastes, shows and keeps in the note at its size.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "app/frmMain.h"
#include "app/frmMainRules.h"
#include "pictlib/PictLib.h"
#include "platform/Clipbrd.h"
#include "platform/JpegCodec.h"
#include "platform/JpegImage.h"
#include "platform/Streams.h"
#include "twain/TwainLib.h"
#include "winutil/SubCls.h"

namespace treskel {

namespace {

constexpr const char* kPictureFilter =
    "Windows Bitmap (*.bmp)|*.bmp|JPEG-JFIF Compliant (*.jpg,*.jpe,*.jpeg)|*.jpg; *.jpe; *.jpeg|"
    "CompuServe Graphics Interchange (*.gif)|*.gif|ZSoft Paintbrush (*.pcx)|*.pcx|Windows DIB (*.dib)|*.dib|"
    "Windows RLE (*.rle)|*.rle|Truevision Targa (*.tga)|*.tga|All Files (*.*)|*.*";

// The picture drawn into an enhanced metafile of its size.
std::unique_ptr<TMetafile> AsMetafile(TGraphic* picture) {
    auto metafile = std::make_unique<TMetafile>();
    const int w = picture->Width(), h = picture->Height();
    metafile->SetWidth(w);
    metafile->SetHeight(h);
    {
        TMetafileCanvas canvas(metafile.get(), nullptr);
        picture->Draw(&canvas, TRect(0, 0, w, h));
    }
    return metafile;
}

// The picture as rich text: the metafile's `bytes` in hexadecimal, its
// size in 0.01 mm and, as it is shown, in twips.
std::string PictureRtf(TMetafile& metafile, TMemoryStream& bytes, int width, int height) {
    const int ppi = ScreenPixelsPerInch();
    std::string rtf = "{\\rtf1\\ansi{\\pict\\emfblip\\picw" + IntToStr(metafile.MMWidth()) + "\\pich" +
                      IntToStr(metafile.MMHeight()) + "\\picwgoal" + IntToStr(MulDiv(width, 1440, ppi)) +
                      "\\pichgoal" + IntToStr(MulDiv(height, 1440, ppi)) + "\r\n";
    static const char digits[] = "0123456789abcdef";
    const uint8_t* p = bytes.Memory();
    for (int64_t i = 0; i < bytes.Size(); ++i) {
        rtf += digits[p[i] >> 4];
        rtf += digits[p[i] & 15];
        if (i % 64 == 63) rtf += "\r\n";
    }
    return rtf + "}}";
}

// The size of the picture in a file, from its header.
TPictSize PictureFileSize(const std::string& name, bool jpeg) {
    if (!jpeg) return PictLibPictureSize(name);
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    TPictSize size;
    JpegPictureSize(file, size.Width, size.Height);
    return size;
}

// Runs the insertion of one picture; what stops it is shown, in words.
template <class F>
void Inserting(const std::string& what, F insert) {
    std::string why;
    try {
        insert();
        return;
    } catch (const Exception& e) {
        why = e.Message();
    } catch (const std::bad_alloc&) {
        why = "There is not enough memory for it.";
    }
    ShowError(what + " cannot be inserted.\n\n" + why);
}

// Frees the images of an acquisition however the pasting ends.
class AcquiredImages {
public:
    AcquiredImages() {
        for (int i = 0; i < TWAIN_ImageCount(); ++i) images_.push_back(TWAIN_GetImage(i));
    }
    ~AcquiredImages() {
        for (HANDLE dib : images_) TWAIN_FreeDib(dib);
    }
    AcquiredImages(const AcquiredImages&) = delete;
    AcquiredImages& operator=(const AcquiredImages&) = delete;
    const std::vector<HANDLE>& Images() const { return images_; }

private:
    std::vector<HANDLE> images_;
};

// ---------------------------------------------------------------- what a paste or a drop brings

// What the clipboard or a drop offers: its formats in the order its giver
// put them, and each format's data (global memory, a metafile or a
// bitmap), or null.
class TOffered {
public:
    virtual ~TOffered() = default;
    const std::vector<UINT>& Formats() const { return formats_; }
    bool Has(UINT format) const { return std::find(formats_.begin(), formats_.end(), format) != formats_.end(); }
    virtual HANDLE Data(UINT format) = 0;

protected:
    std::vector<UINT> formats_;
};

// The clipboard, open while this lives.
class TOfferedClipboard : public TOffered {
public:
    TOfferedClipboard() {
        for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) formats_.push_back(f);
    }
    HANDLE Data(UINT format) override { return Clipboard()->GetAsHandle(format); }

private:
    ClipboardScope open_;
};

// What a drop offers; the data read are given back when this goes.
class TOfferedDrop : public TOffered {
public:
    explicit TOfferedDrop(IDataObject* data) : data_(data) {
        ComPtr<IEnumFORMATETC> formats;
        if (FAILED(data->EnumFormatEtc(DATADIR_GET, formats.Put())) || !formats) return;
        FORMATETC fe{};
        while (formats->Next(1, &fe, nullptr) == S_OK) {
            if (fe.ptd != nullptr) CoTaskMemFree(fe.ptd);
            formats_.push_back(fe.cfFormat);
            media_.push_back(fe.tymed);
        }
    }
    ~TOfferedDrop() override {
        for (STGMEDIUM& m : read_) ReleaseStgMedium(&m);
    }
    TOfferedDrop(const TOfferedDrop&) = delete;
    TOfferedDrop& operator=(const TOfferedDrop&) = delete;
    HANDLE Data(UINT format) override {
        const auto at = std::find(formats_.begin(), formats_.end(), format);
        if (at == formats_.end()) return nullptr;
        // The media the giver names, of those read here; else the usual one.
        constexpr DWORD readable = TYMED_HGLOBAL | TYMED_GDI | TYMED_MFPICT | TYMED_ENHMF;
        DWORD tymed = media_[static_cast<size_t>(at - formats_.begin())] & readable;
        if (tymed == 0)
            tymed = format == CF_ENHMETAFILE   ? TYMED_ENHMF
                    : format == CF_METAFILEPICT ? TYMED_MFPICT
                    : format == CF_BITMAP       ? TYMED_GDI
                                                : TYMED_HGLOBAL;
        FORMATETC fe{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, tymed};
        STGMEDIUM m{};
        if (FAILED(data_->GetData(&fe, &m))) return nullptr;
        read_.push_back(m);
        switch (m.tymed) {
            case TYMED_ENHMF: return m.hEnhMetaFile;
            case TYMED_GDI: return m.hBitmap;
            case TYMED_MFPICT: return m.hMetaFilePict;
            case TYMED_HGLOBAL: return m.hGlobal;
            default: return nullptr;
        }
    }

private:
    IDataObject* data_;
    std::vector<DWORD> media_;
    std::vector<STGMEDIUM> read_;
};

TPictSize BitmapSize(UINT format, HANDLE data) {
    if (format == CF_BITMAP) {
        BITMAP bm{};
        if (GetObjectA(data, sizeof bm, &bm) == 0) return {0, 0, 24};
        return {bm.bmWidth, bm.bmHeight, bm.bmBitsPixel};
    }
    GlobalLockGuard dib(data);
    if (dib.Get() == nullptr) return {0, 0, 24};
    return DibPictureSize(static_cast<const uint8_t*>(dib.Get()), GlobalSize(data));
}

int64_t MetafileBytes(UINT format, HANDLE data) {
    if (format == CF_ENHMETAFILE) return GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), 0, nullptr);
    GlobalLockGuard pict(data);
    const auto* mfp = static_cast<const METAFILEPICT*>(pict.Get());
    return mfp != nullptr ? GetMetaFileBitsEx(mfp->hMF, 0, nullptr) : 0;
}

// Whether all that is offered is metafiles, which the window keeps as they
// are: what they take is known before the paste.  Text and rich text may
// take more than they are reckoned at, and a bitmap may be kept both as an
// object and as its picture.
bool OnlyMetafiles(const TOffered& offered) {
    return std::all_of(offered.Formats().begin(), offered.Formats().end(),
                       [](UINT f) { return f == CF_ENHMETAFILE || f == CF_METAFILEPICT; });
}

// The editor's messages that change the note, for what it is known to
// hold: a keystroke at the caret adds a bounded amount, a paste what it
// was measured at.  Formatting, which the window does not report as a
// change, shortcuts the window may format by, a keystroke over a
// selection and every change of unknown size forget it.
class TNoteChanges : public TControlSubclass {
public:
    TNoteChanges(TCustomRichEditEx* editor, TNoteBound& bound) : editor_(editor), bound_(bound) {
        AttachSubclass(editor, this);
    }
    ~TNoteChanges() override { DetachSubclass(editor_, this); }
    TNoteChanges(const TNoteChanges&) = delete;
    TNoteChanges& operator=(const TNoteChanges&) = delete;

    void BeforeWndProc(TMessage& m) override {
        switch (m.Msg) {
            case WM_CHAR: {
                const WPARAM c = m.WParam;
                if (c < 0x20 && c != '\r' && c != '\n' && c != '\t' && c != '\b')
                    bound_.Forget();
                else
                    Keystroke();
                break;
            }
            case WM_KEYDOWN: {
                bound_.Done();
                const WPARAM key = m.WParam;
                if (GetKeyState(VK_CONTROL) < 0 && !Harmless(key))
                    bound_.Forget();
                else if (key == VK_RETURN || key == VK_BACK || key == VK_DELETE)
                    Keystroke();
                break;
            }
            case WM_PASTE:
            case EM_PASTESPECIAL:
                // The check of what comes says what it takes.
                bound_.Done();
                break;
            case EM_SETCHARFORMAT:
            case EM_SETPARAFORMAT:
            case EM_REPLACESEL:
            case EM_SETTEXTEX:
            case EM_STREAMIN:
            case EM_UNDO:
            case EM_REDO:
            case WM_SETTEXT:
            case WM_SETFONT:
            case WM_UNDO:
            case WM_CUT:
            case WM_CLEAR:
                bound_.Forget();
                break;
            default:
                break;
        }
    }
    void AfterWndProc(TMessage& m) override {
        if (m.Msg == WM_CHAR || m.Msg == WM_KEYDOWN || m.Msg == WM_PASTE || m.Msg == EM_PASTESPECIAL) bound_.Done();
    }

private:
    // Keys that change nothing with Ctrl held, or are looked at elsewhere
    // (a paste).
    static bool Harmless(WPARAM key) {
        return key == 'V' || key == 'C' || key == VK_INSERT || key == VK_CONTROL || key == VK_SHIFT ||
               key == VK_MENU || (key >= VK_PRIOR && key <= VK_DOWN);
    }
    void Keystroke() {
        if (editor_->SelLength() != 0)
            bound_.Forget();
        else
            bound_.Expect(TNoteBound::kKeystrokeBytes);
    }

    TCustomRichEditEx* editor_;
    TNoteBound& bound_;
};

// Rich text, wide text or single-byte text in global memory, measured as
// the editor's control would read it.
enum class TTextKind { Rich, Wide, Narrow };
TRtfShape TextShape(HANDLE data, TTextKind kind) {
    GlobalLockGuard lock(data);
    const auto* bytes = static_cast<const char*>(lock.Get());
    if (bytes == nullptr) return TRtfShape{};
    const size_t size = GlobalSize(data);
    if (kind == TTextKind::Rich) {
        TParaWordFilter reader = TParaWordFilter::ToControl(0);
        reader.Pass(std::string_view(bytes, size));
        reader.Finish();
        return reader.Shape();
    }
    // Text up to its end.
    if (kind == TTextKind::Narrow) {
        const std::string_view text(bytes, size);
        return PlainTextShape(text.substr(0, text.find('\0')));
    }
    const std::u16string_view text(reinterpret_cast<const char16_t*>(bytes), size / 2);
    return PlainTextShape(text.substr(0, text.find(u'\0')));
}

// What is offered that the note would keep, the costliest of it (a bitmap
// by its pixels, a metafile and rich text by their bytes), and what the
// editor's control would read: rich text and text, measured.  Of the
// bitmap and of the metafile formats the first that can be read is read,
// which is the one given: the system makes the others of it when they are
// asked for.  An older metafile is also read as the enhanced one the
// system makes of it, which is what some windows paste.
struct TOfferedCosts {
    std::optional<TPictureCost> costliest;
    std::vector<TPictureCost> read;
};

TOfferedCosts CostliestOffered(TOffered& offered) {
    static const UINT rtf = RegisterClipboardFormatA("Rich Text Format"),
                      rtfObjects = RegisterClipboardFormatA("RichEdit Text and Objects");
    TOfferedCosts costs;
    std::optional<TPictureCost>& worst = costs.costliest;
    auto consider = [&](const TPictureCost& cost) {
        if (!worst || cost.Bytes > worst->Bytes) worst = cost;
        if (cost.Shape) costs.read.push_back(cost);
    };
    auto first = [&](std::initializer_list<UINT> kind) -> std::pair<UINT, HANDLE> {
        for (UINT f : offered.Formats())
            if (std::find(kind.begin(), kind.end(), f) != kind.end())
                if (HANDLE data = offered.Data(f)) return {f, data};
        return {0, nullptr};
    };
    if (const auto [f, data] = first({CF_DIB, CF_DIBV5, CF_BITMAP}); data != nullptr)
        consider(PictureCost(BitmapSize(f, data)));
    if (const auto [f, data] = first({CF_ENHMETAFILE, CF_METAFILEPICT}); data != nullptr) {
        consider(MetafileCost(MetafileBytes(f, data)));
        if (f == CF_METAFILEPICT && offered.Has(CF_ENHMETAFILE))
            if (HANDLE emf = offered.Data(CF_ENHMETAFILE)) consider(MetafileCost(MetafileBytes(CF_ENHMETAFILE, emf)));
    }
    for (const UINT f : {rtf, rtfObjects})
        if (offered.Has(f))
            if (HANDLE data = offered.Data(f))
                consider(RichTextCost(static_cast<int64_t>(GlobalSize(data)), TextShape(data, TTextKind::Rich)));
    // Text in one of its forms: the others are the same text.
    if (offered.Has(CF_UNICODETEXT)) {
        if (HANDLE data = offered.Data(CF_UNICODETEXT))
            consider(TextCost(static_cast<int64_t>(GlobalSize(data) / 2), TextShape(data, TTextKind::Wide)));
    } else if (offered.Has(CF_TEXT)) {
        if (HANDLE data = offered.Data(CF_TEXT))
            consider(TextCost(static_cast<int64_t>(GlobalSize(data)), TextShape(data, TTextKind::Narrow)));
    }
    return costs;
}

}  // namespace

void TfrmTreskel::REditQueryAcceptData(TObject*, IDataObject* data, bool really, bool& accept) {
    // Measured before it was decoded.
    if (pastingPicture_) {
        noteBound_.Expect(*pastingPicture_);
        return;
    }
    TOfferedCosts costs;
    bool onlyMetafiles = false;
    try {
        std::unique_ptr<TOffered> offered;
        if (data != nullptr)
            offered = std::make_unique<TOfferedDrop>(data);
        else
            offered = std::make_unique<TOfferedClipboard>();
        costs = CostliestOffered(*offered);
        onlyMetafiles = OnlyMetafiles(*offered);
    } catch (const EClipboardException&) {
        // Held by another program: the window cannot paste either.
        return;
    }
    if (!costs.costliest) return;
    const TPictureCost* refused = &*costs.costliest;
    std::string problem = NoteRoomProblem(*refused);
    // What the control reads must neither nest deeper than it survives
    // nor take more memory than it may, or than is free now.
    for (const TPictureCost& read : costs.read) {
        if (!problem.empty()) break;
        refused = &read;
        problem = ControlProblem(read);
        if (problem.empty()) {
            try {
                EnsureRoom(RichEditBytes(*read.Shape), kNoRoomForText);
            } catch (const EOutOfMemory& e) {
                problem = e.Message();
            }
        }
    }
    if (problem.empty()) {
        // A paste's change is charged when it comes; a drop's is not
        // told from the rest and forgets what the note holds.
        if (onlyMetafiles && data == nullptr) noteBound_.Expect(costs.costliest->Bytes);
        return;
    }
    accept = false;
    if (!really) return;
    ShowError((data != nullptr ? "The dropped " + refused->Name + " cannot be inserted.\n\n"
                               : "The " + refused->Name + " on the clipboard cannot be pasted.\n\n") +
              problem);
}

int64_t TfrmTreskel::CountNoteRtf() {
    TCountingStream note;
    REdit->Lines()->SaveToStream(note);
    return note.written;
}

int64_t TfrmTreskel::NoteRtfBytes() {
    return noteBound_.Holds([this] { return CountNoteRtf(); });
}

std::string TfrmTreskel::NoteRoomProblem(const TPictureCost& cost) {
    return noteBound_.RoomFor(cost, [this] { return CountNoteRtf(); });
}

void TfrmTreskel::WatchNoteChanges() { noteChanges_ = std::make_unique<TNoteChanges>(REdit, noteBound_); }

void TfrmTreskel::LearnNoteWriter(std::string_view rtf) {
    if (noteWriter_.empty()) noteWriter_ = RtfGenerator(rtf);
}

void TfrmTreskel::PastePicture(TGraphic* picture) {
    if (picture == nullptr || picture->Empty()) return;
    std::unique_ptr<TMetafile> metafile = AsMetafile(picture);
    TMemoryStream bytes;
    metafile->SaveToStream(bytes);
    const std::string rtf = PictureRtf(*metafile, bytes, picture->Width(), picture->Height());
    static const UINT rtfFormat = RegisterClipboardFormatA("Rich Text Format");
    // The clipboard is left empty however the paste ends.
    try {
        {
            ClipboardScope open;
            Clipboard()->Assign(picture);
            Clipboard()->Assign(metafile.get());
            Clipboard()->SetBuffer(rtfFormat, rtf.c_str(), rtf.size() + 1);
        }
        pastingPicture_ = MetafileCost(bytes.Size()).Bytes;
        REdit->PasteFromClipboard();
    } catch (...) {
        pastingPicture_.reset();
        Clipboard()->Clear();
        throw;
    }
    pastingPicture_.reset();
    Clipboard()->Clear();
}

void TfrmTreskel::InsertPictureExecute(TObject*) {
    OpenDialog1->SetFilter(kPictureFilter);
    OpenDialog1->SetTitle("Import Graphic");
    if (!OpenDialog1->Execute()) return;
    const std::string name = OpenDialog1->FileName();
    Inserting("The picture \"" + ExtractFileName(name) + "\"", [&] {
        // JPEG files by their extension through the picture class; every
        // other file (".jpeg" and ".jpe" too) through the picture library.
        const bool jpeg = UpperCase(ExtractFileExt(name)) == ".JPG";
        const std::string problem = NoteRoomProblem(PictureCost(PictureFileSize(name, jpeg)));
        if (!problem.empty()) throw EInvalidGraphic(problem);
        std::unique_ptr<TGraphic> picture;
        if (jpeg) {
            auto image = std::make_unique<TJPEGImage>();
            image->LoadFromFile(name);
            picture = std::move(image);
        } else {
            auto bitmap = std::make_unique<TBitmap>();
            bitmap->SetHandle(PictLibLoad(name));
            picture = std::move(bitmap);
        }
        PastePicture(picture.get());
    });
}

void TfrmTreskel::InsertOLEExecute(TObject*) {
    REdit->InsertObjectDialog();
    // An object of any size, which the window may take without a word.
    noteBound_.Forget();
}

void TfrmTreskel::SelectTwainSourceClick(TObject*) { TWAIN_SelectImageSource(nullptr); }

void TfrmTreskel::Acquire1Click(TObject*) {
    TWAIN_AcquireImages(Handle(), 0);
    // Every image that came is pasted, in the order it came, and freed.
    AcquiredImages acquired;
    for (HANDLE dib : acquired.Images()) {
        Inserting("The scanned image", [&] {
            const int height = TWAIN_DibHeight(dib);  // negative: rows top first
            const std::string problem =
                NoteRoomProblem(PictureCost({TWAIN_DibWidth(dib), height == INT_MIN ? 0 : std::abs(height), 24}));
            if (!problem.empty()) throw EInvalidGraphic(problem);
            TBitmap bitmap;
            bitmap.SetPixelFormat(TPixelFormat::pf24bit);
            CopyDibToBitmap(dib, &bitmap);
            PastePicture(&bitmap);
        });
    }
}

}  // namespace treskel
