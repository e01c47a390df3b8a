#include "preview/Gopage.h"

#include <cstdlib>

#include "platform/FormLoader.h"

namespace treskel {

void TGoPageForm::SetValue(int v) {
    PageNum->SetText(std::to_string(v));
}

int TGoPageForm::Value() {
    std::string s = PageNum->GetText();
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || end == nullptr || *end != '\0') v = 1;
    return static_cast<int>(std::clamp<long>(v, 1, maxValue_));
}

void RegisterGoPageClasses() {
    PublishClass<TGoPageForm, TForm>()
        .Field("PageNum", &TGoPageForm::PageNum)
        .Field("OKBtn", &TGoPageForm::OKBtn)
        .Field("CancelBtn", &TGoPageForm::CancelBtn);
}

}  // namespace treskel
