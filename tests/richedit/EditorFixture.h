// A shown form with a note editor on it, and helpers for its content.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Forms.h"
#include "platform/Streams.h"
#include "richedit/RichEdit2.h"
#include "support/GuiTest.h"

namespace treskel::test {

class EditorTest : public testing::Test {
protected:
    void SetUp() override {
        form = MakeForm<TForm>();
        form->SetBounds(40, 40, 640, 420);
        editor = NewEditor();
        form->Show();
        PumpMessages();
    }

    TRichEditEx* NewEditor() {
        auto* e = Create<TRichEditEx>(form.get());
        e->SetParent(form.get());
        e->SetBounds(0, 0, 600, 360);
        e->SetMaxLength(16000000);
        e->HandleNeeded();
        return e;
    }

    static std::string Save(TCustomRichEditEx* e) {
        TMemoryStream s;
        e->Lines()->SaveToStream(s);
        return s.AsString();
    }

    static void Load(TCustomRichEditEx* e, const std::string& bytes) {
        TMemoryStream s(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        e->Lines()->LoadFromStream(s);
    }

    static std::wstring WideText(TCustomRichEditEx* e) {
        HWND h = e->Handle();
        int n = GetWindowTextLengthW(h);
        std::wstring w(static_cast<size_t>(n) + 1, L'\0');
        n = GetWindowTextW(h, w.data(), n + 1);
        w.resize(static_cast<size_t>(n));
        return w;
    }

    // The text as the window holds it, each paragraph ending in CR.
    static std::wstring Text(TCustomRichEditEx* e) { return RichEditText(e->Handle()); }

    static void Select(TCustomRichEditEx* e, int start, int end) {
        CHARRANGE r{start, end};
        SendMessageW(e->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    }

    // Appends wide text at the end, as typing would.
    static void Append(TCustomRichEditEx* e, const std::wstring& text) {
        Select(e, -1, -1);
        SendMessageW(e->Handle(), EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
    }

    static int Find(const std::wstring& text, const std::wstring& what) {
        return static_cast<int>(text.find(what));
    }

    OwnedPtr<TForm> form;
    TRichEditEx* editor = nullptr;
};

}  // namespace treskel::test
