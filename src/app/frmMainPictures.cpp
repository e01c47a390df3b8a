// Pictures, scans and objects in the note: a picture file or a scanned
// image reaches the editor through the clipboard, as a bitmap, as an
// enhanced metafile and as rich text holding that metafile, the form every
// rich-edit control pastes, shows and keeps in the note at its size.
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "app/frmMain.h"
#include "app/frmMainRules.h"
#include "pictlib/PictLib.h"
#include "platform/Clipbrd.h"
#include "platform/JpegCodec.h"
#include "platform/JpegImage.h"
#include "platform/Streams.h"
#include "twain/TwainLib.h"

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

// The picture as rich text: the metafile's bytes in hexadecimal, its size
// in 0.01 mm and, as it is shown, in twips.
std::string PictureRtf(TMetafile& metafile, int width, int height) {
    TMemoryStream bytes;
    metafile.SaveToStream(bytes);
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

// Refuses, before it is decoded, a picture that would make the note in the
// editor larger than a note may be saved.
void CheckRoom(TRichEditEx* editor, const TPictSize& picture) {
    TCountingStream note;
    editor->Lines()->SaveToStream(note);
    const std::string problem = PictureRoomProblem(picture, note.written);
    if (!problem.empty()) throw EInvalidGraphic(problem);
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

}  // namespace

void TfrmTreskel::PastePicture(TGraphic* picture) {
    if (picture == nullptr || picture->Empty()) return;
    std::unique_ptr<TMetafile> metafile = AsMetafile(picture);
    const std::string rtf = PictureRtf(*metafile, picture->Width(), picture->Height());
    static const UINT rtfFormat = RegisterClipboardFormatA("Rich Text Format");
    // The clipboard is left empty however the paste ends.
    try {
        {
            ClipboardScope open;
            Clipboard()->Assign(picture);
            Clipboard()->Assign(metafile.get());
            Clipboard()->SetBuffer(rtfFormat, rtf.c_str(), rtf.size() + 1);
        }
        REdit->PasteFromClipboard();
    } catch (...) {
        Clipboard()->Clear();
        throw;
    }
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
        CheckRoom(REdit, PictureFileSize(name, jpeg));
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

void TfrmTreskel::InsertOLEExecute(TObject*) { REdit->InsertObjectDialog(); }

void TfrmTreskel::SelectTwainSourceClick(TObject*) { TWAIN_SelectImageSource(nullptr); }

void TfrmTreskel::Acquire1Click(TObject*) {
    TWAIN_AcquireImages(Handle(), 0);
    // Every image that came is pasted, in the order it came, and freed.
    AcquiredImages acquired;
    for (HANDLE dib : acquired.Images()) {
        Inserting("The scanned image", [&] {
            const int height = TWAIN_DibHeight(dib);  // negative: rows top first
            CheckRoom(REdit, TPictSize{TWAIN_DibWidth(dib), height == INT_MIN ? 0 : std::abs(height), 24});
            TBitmap bitmap;
            bitmap.SetPixelFormat(TPixelFormat::pf24bit);
            CopyDibToBitmap(dib, &bitmap);
            PastePicture(&bitmap);
        });
    }
}

}  // namespace treskel
