#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Component.h"
#include "ui/DisplayScale.h"
#include "ui/DragTracker.h"
#include "ui/GraphicHost.h"
#include "ui/LanguageTables.h"

namespace tavrine::ui {

class Control;
class Timer;

enum class Placement {
    Designed,      // at the layout's left and top
    ScreenCenter,  // centred on the primary screen
    OwnerCenter,   // centred on the owner form (the main window)
};

struct FormOptions {
    std::wstring name{};  // the class is "T" + name
    std::wstring caption{};
    int clientWidth = 0;
    int clientHeight = 0;
    Placement placement = Placement::Designed;
    int left = 0;
    int top = 0;
    bool topmost = false;
    COLORREF color = kLime;      // what the form's own background shows
    Form* owner = nullptr;       // dialogs are owned by the main window
    bool taskbarButton = false;  // the main window carries the program's task-bar button
};

using FormHandler = std::function<void(Form& sender)>;
// A message the toolkit does not handle itself; return true when handled.
using MessageHandler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

// A borderless top-level skinned window. Lime pixels are see-through (a colour-keyed layered
// window). Made once, shown and hidden, destroyed only at exit.
class Form : public GraphicHost {
  public:
    explicit Form(FormOptions options);
    ~Form() override;

    HWND Handle() const override { return hwnd_; }
    const std::wstring& Name() const { return options_.name; }
    std::wstring ClassName() const { return L"T" + options_.name; }
    const FormOptions& Options() const { return options_; }

    void Show();
    void Hide();
    bool Visible() const;
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void SetTopmost(bool topmost);

    // The window's top-left corner on the screen, in pixels.
    Point Position() const;
    void SetPosition(Point topLeft);
    // Screen position of a point of the client area given in layout units.
    Point ClientToScreen(Point at) const;

    // The scale the window is shown at: its monitor's DPI over 96. Sizes and places of the
    // layout are multiplied by it; at 96 DPI everything is drawn as the layout gives it.
    const DisplayScale& Scale() const { return scale_; }

    FormHandler OnShow;
    FormHandler OnHide;
    FormHandler OnClose;  // Alt+F4 and the like; without a handler the form only hides
    MessageHandler OnMessage;

    // Components by name (every kind, also those inside panels).
    Component* Find(std::wstring_view name) const;
    template <typename T>
    T* FindAs(std::wstring_view name) const {
        return dynamic_cast<T*>(Find(name));
    }
    const std::vector<Component*>& Components() const { return components_; }

    // Skin pictures: SkinFolder + name + suffix into every picture of that exact name.
    void SetSkinFolder(std::wstring folder) { skinFolder_ = std::move(folder); }
    const std::wstring& SkinFolder() const { return skinFolder_; }
    bool LoadSkinPicture(std::wstring_view name, std::wstring_view suffix);
    bool LoadSkinPicture(const Component& sender, std::wstring_view suffix);
    // Built-in state-0 pictures from this module's BITMAP resources "<SKIN>_<NAME>"; returns how
    // many pictures found one.
    int LoadBuiltinPictures(std::wstring_view skinFolderName);

    // Language texts: the hints this form's class has in the tables, where the file has a text.
    int ApplyLanguageHints(const LanguageLookup& lookup);
    // The built-in hints this form's class has in the tables; returns how many were set.
    int ApplyBuiltinHints();
    bool SetHintOf(std::wstring_view component, const std::wstring& text);

    // The tooltip window that shows the hints; made when the first hint is needed.
    HWND HintWindow() const { return hint_; }

    // Keyboard focus: the focused child window of this form, if any.
    HWND FocusedWindow() const;

    // Called by hosts and controls.
    void HoverChanged(const GraphicHost& host, const Control* hovered);
    void HintChanged(const Control& control);
    void AddWindowHint(HWND child, const std::wstring& hint);
    // Drag positions are the pointer in the host window's pixels.
    void StartDrag(Point grab) { drag_.Begin(grab); }
    void DragTo(Point at);
    void EndDrag() { drag_.End(); }
    bool Dragging() const { return drag_.Active(); }

  private:
    friend class Component;
    friend class Timer;
    void Register(Component* c) { components_.push_back(c); }
    void Unregister(Component* c);
    UINT_PTR AddTimer(Timer* timer);
    void RemoveTimer(UINT_PTR id);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void ApplyPlacement();
    void CreateHintWindow();
    // Takes a new display scale: the window, its child windows, fonts and pictures follow it.
    // `suggested` is the window rectangle the system proposes, if any.
    void Rescale(DisplayScale scale, const RECT* suggested);

    FormOptions options_;
    HWND hwnd_ = nullptr;
    HWND hint_ = nullptr;
    std::wstring hintText_;
    const GraphicHost* hintHost_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::wstring skinFolder_;
    std::vector<Component*> components_;
    DisplayScale scale_;
    std::map<UINT_PTR, Timer*> timers_;
    UINT_PTR nextTimerId_ = 1;
    DragTracker drag_;
};

}  // namespace tavrine::ui
