// The compressor moves the progress bar a layout gives it: the system's
// bar window gets the uncompressed size as its range and, step by step,
// the bytes read while compressing and the bytes written while expanding.
// The bar is looked at from outside, through its window, between steps.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <set>
#include <vector>

#include "compress/LH5Control.h"
#include "compress/SampleData.h"
#include "platform/ComCtrls.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

namespace {

const char* const kLayout = R"(object Form1: TForm
  Left = 40
  Top = 40
  Width = 320
  Height = 90
  Caption = 'Packing'
  object Bar: TProgressBar
    Left = 8
    Top = 8
    Width = 280
    Height = 18
  end
  object lh5: LH5Compression
    ProgessControl = Bar
    UseStreamMode = True
  end
end
)";

// A stream over another that looks at the bar's window each time the
// coder reads or writes: there it sees where the previous step left the
// bar.
class Watched : public TStream {
public:
    Watched(TStream& s, HWND bar) : s_(s), bar_(bar) {}
    int64_t Read(void* b, int64_t n) override {
        Look();
        return s_.Read(b, n);
    }
    int64_t Write(const void* b, int64_t n) override {
        Look();
        return s_.Write(b, n);
    }
    int64_t Seek(int64_t o, TSeekOrigin origin) override { return s_.Seek(o, origin); }
    std::vector<int> seen;

private:
    void Look() { seen.push_back(static_cast<int>(SendMessageA(bar_, PBM_GETPOS, 0, 0))); }
    TStream& s_;
    HWND bar_;
};

// The bar went up by steps from 0, never back.
void ExpectRising(const std::vector<int>& seen, size_t steps) {
    ASSERT_GE(seen.size(), steps);
    EXPECT_EQ(seen.front(), 0);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i - 1], seen[i]);
    const std::set<int> distinct(seen.begin(), seen.end());
    EXPECT_GE(distinct.size(), steps);
}

}  // namespace

TEST(LH5ProgressBar, CompressingAndExpandingMoveTheBarOfTheLayout) {
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->InitializeForm(kLayout, "test.form");
    auto* bar = dynamic_cast<TProgressBar*>(form->FindComponent("Bar"));
    auto* lh5 = dynamic_cast<LH5Compression*>(form->FindComponent("lh5"));
    ASSERT_TRUE(bar && lh5);
    ASSERT_EQ(lh5->ProgessControl(), bar);
    form->Show();
    PumpMessages();
    HWND wnd = bar->Handle();

    // Compressing: the range is the input's size, the position the bytes
    // read so far, after each read (128 KB at a time).
    const auto data = RtfText(700000);
    TMemoryStream source(data), packed, out;
    Watched in(source, wnd);
    lh5->StreamIn = &in;
    lh5->StreamOut = &packed;
    lh5->Compress();
    EXPECT_EQ(SendMessageA(wnd, PBM_GETRANGE, FALSE, 0), 700000);
    EXPECT_EQ(SendMessageA(wnd, PBM_GETPOS, 0, 0), 700000);
    ExpectRising(in.seen, 5);

    // Expanding: the same measure, the uncompressed bytes written, after
    // each decoded block (256 KB at a time).
    bar->SetPosition(0);
    packed.SetPosition(0);
    Watched expanded(out, wnd);
    lh5->StreamIn = &packed;
    lh5->StreamOut = &expanded;
    lh5->Expand();
    EXPECT_TRUE(out.Bytes() == data);
    EXPECT_EQ(SendMessageA(wnd, PBM_GETRANGE, FALSE, 0), 700000);
    EXPECT_EQ(SendMessageA(wnd, PBM_GETPOS, 0, 0), 700000);
    ExpectRising(expanded.seen, 3);
    EXPECT_EQ(bar->Position(), 700000);
    // A bar made again shows where the work stopped.
    bar->DestroyHandle();
    EXPECT_EQ(SendMessageA(bar->Handle(), PBM_GETPOS, 0, 0), 700000);

    // Written back, the layout names the bar.
    EXPECT_NE(WriteLayout(form.get()).find("ProgessControl = Bar"), std::string::npos);

    // A bar that goes is forgotten: coding goes on without one.
    bar->Free();
    EXPECT_EQ(lh5->ProgessControl(), nullptr);
    EXPECT_EQ(lh5->Progress(), nullptr);
    packed.SetPosition(0);
    TMemoryStream again;
    lh5->StreamOut = &again;
    lh5->Expand();
    EXPECT_TRUE(again.Bytes() == data);
}
