// Answers the program's own modal forms from inside their modal loops.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Forms.h"

namespace treskel::test {

// Answers the program's modal dialogs through their own windows: once a
// modal loop waits for input, the next queued answer gets the dialog and
// types and clicks into it.  A dialog without an answer is closed, so that
// no test can hang on one.
class ModalDialogs {
public:
    using Answer = std::function<void(TCustomForm& dialog)>;

    void Install() {
        Application->OnIdle = [this](TObject*, bool& done) { Idle(done); };
    }
    void Remove() {
        Application->OnIdle = nullptr;
        answers_.clear();
    }
    void Queue(Answer answer) { answers_.push_back(std::move(answer)); }
    // Class names of the modal dialogs shown, in order.
    const std::vector<std::string>& Shown() const { return shown_; }
    bool Pending() const { return !answers_.empty(); }

private:
    void Idle(bool& done) {
        TCustomForm* dialog = nullptr;
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (f->Modal() && f->Visible() && f->ModalResult() == mrNone) dialog = f;
        }
        if (dialog == nullptr) return;
        shown_.push_back(dialog->ClassName());
        if (answers_.empty()) {
            SendMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
        } else {
            Answer answer = std::move(answers_.front());
            answers_.pop_front();
            answer(*dialog);
        }
        if (dialog->Modal() && dialog->ModalResult() == mrNone) {
            ADD_FAILURE() << "the answer left " << dialog->ClassName() << " open";
            dialog->SetModalResult(mrCancel);
        }
        // The loop must look at the result now, not wait for input.
        done = false;
    }

    std::deque<Answer> answers_;
    std::vector<std::string> shown_;
};

}  // namespace treskel::test
