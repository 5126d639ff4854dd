#pragma once
// A user interface that shows nothing and answers every question with its default, for
// benchmarks and tests that only look at the model.

#include "model/UserInterface.h"

namespace zv::test {

class SilentUi final : public model::UserInterface {
public:
    model::MessageAnswer ShowMessage(std::string_view, std::string_view, model::MessageIcon,
                                     model::MessageButtons) override {
        return model::MessageAnswer::Ok;
    }
    std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view) override {
        return std::nullopt;
    }
    void ShowProgress(std::string_view) override {}
    void SetCaption(std::string_view) override {}
    void PushBusyPointer() override {}
    void PopBusyPointer() override {}
    void ClearTextureLists() override {}
    void AppendTextureList(std::string_view) override {}
    void PartTreeChanged() override {}
    void SetPartsCaption(std::string_view) override {}
    void ShowPartsWindow() override {}
    void RequestRefresh() override {}
};

} // namespace zv::test
