#pragma once

#include <string>

namespace tavrine::ui {

class DisplayScale;
class Form;

// Anything a form owns by name: pictures, labels, paint boxes, edits, lists, panels.
// Components live as long as their form and register themselves with it, so a form can find them
// by name (skin pictures, language texts).
class Component {
  public:
    Component(Form& owner, std::wstring name);
    virtual ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::wstring& Name() const { return name_; }
    Form& OwnerForm() const { return owner_; }

    const std::wstring& Hint() const { return hint_; }
    virtual void SetHint(std::wstring hint) { hint_ = std::move(hint); }

    // The form's display scale changed from `before`: child windows move and resize, fonts and
    // scaled pictures are made again.
    virtual void ScaleChanged(const DisplayScale& /*before*/) {}

  private:
    Form& owner_;
    std::wstring name_;
    std::wstring hint_;
};

}  // namespace tavrine::ui
