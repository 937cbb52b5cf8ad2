#include "ui/Form.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "common/WindowDpi_win.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Image.h"
#include "ui/SkinPaths.h"
#include "ui/Timer.h"

namespace tavrine::ui {
namespace {

void InitCommonControlsOnce() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES |
                                                  ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

void RegisterFormClass(const std::wstring& className, WNDPROC proc) {
    static std::set<std::wstring> registered;
    if (registered.count(className)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // The program's own icon (resource 1) for the task bar and Alt+Tab; none in test programs.
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("RegisterClassExW failed for a form class");
    registered.insert(className);
}

TOOLINFOW ToolFor(HWND owner, UINT_PTR id, UINT flags) {
    TOOLINFOW ti{};
    // The older size is understood by every version of the common controls.
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.uFlags = flags;
    ti.hwnd = owner;
    ti.uId = id;
    return ti;
}

}  // namespace

Form::Form(FormOptions options) : GraphicHost(this, options.color), options_(std::move(options)) {
    InitCommonControlsOnce();
    const std::wstring className = ClassName();
    RegisterFormClass(className, &Form::WindowProc);
    DWORD exStyle = WS_EX_LAYERED;
    if (options_.topmost) exStyle |= WS_EX_TOPMOST;
    if (options_.taskbarButton) exStyle |= WS_EX_APPWINDOW;
    HWND owner = options_.owner ? options_.owner->Handle() : nullptr;
    CreateWindowExW(exStyle, className.c_str(), options_.caption.c_str(),
                    WS_POPUP | WS_CLIPCHILDREN, options_.left, options_.top, options_.clientWidth,
                    options_.clientHeight, owner, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw std::runtime_error("CreateWindowExW failed for a form");
    // Lime is the see-through colour of every skinned window.
    SetLayeredWindowAttributes(hwnd_, kLime, 0, LWA_COLORKEY);
    // Made at the layout's size; on a screen above 96 DPI it takes that scale before anything
    // is placed in it.
    scale_ = DisplayScale(WindowDpi(hwnd_));
    if (!scale_.IsLayout()) {
        SetWindowPos(hwnd_, nullptr, 0, 0, scale_.ToDevice(options_.clientWidth),
                     scale_.ToDevice(options_.clientHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The hint window is made when a hint is first needed: under Wine one costs as much as the
    // form's own window, and most forms of a program stay hidden.
    ApplyPlacement();
}

Form::~Form() {
    for (auto& [id, timer] : timers_) KillTimer(hwnd_, id);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (hint_) DestroyWindow(hint_);
    DestroyWindow(hwnd_);
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    // No exception may unwind through the system's code: it is reported here and the message
    // counts as handled.
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        ReportException(std::current_exception());
        return 0;
    }
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (msg >= WM_USER && OnMessage && OnMessage(msg, wParam, lParam, result)) return result;
    if (HandleHostMessage(msg, wParam, lParam, result)) return result;
    switch (msg) {
        case WM_SHOWWINDOW:
            if (lParam == 0) {
                if (wParam) {
                    if (OnShow) OnShow(*this);
                } else {
                    if (GetCapture() == hwnd_) ReleaseCapture();
                    ResetMouse();
                    drag_.End();
                    if (OnHide) OnHide(*this);
                }
            }
            break;
        case WM_TIMER:
            if (auto it = timers_.find(wParam); it != timers_.end()) {
                it->second->Fire();
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // Give the focus back to the child that had it, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (f && IsChild(hwnd_, f)) lastFocus_ = f;
            } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(hwnd_, lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_DPICHANGED:
            // The window moved to a monitor of another scale. The suggested rectangle is the
            // system's own, sent from this thread; one sent from elsewhere is not read.
            Rescale(DisplayScale(LOWORD(wParam)),
                    InSendMessageEx(nullptr) == ISMEX_NOSEND ? reinterpret_cast<const RECT*>(lParam)
                                                             : nullptr);
            return 0;
        case WM_CLOSE:
            if (OnClose) {
                OnClose(*this);
            } else {
                Hide();
            }
            return 0;
        default:
            break;
    }
    if (msg < WM_USER && OnMessage && OnMessage(msg, wParam, lParam, result)) return result;
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void Form::ApplyPlacement() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    switch (options_.placement) {
        case Placement::Designed:
            return;
        case Placement::OwnerCenter:
            if (options_.owner && options_.owner->Handle()) {
                GetWindowRect(options_.owner->Handle(), &area);
            }
            break;
        case Placement::ScreenCenter:
            break;
    }
    const int left = area.left + (area.right - area.left - scale_.ToDevice(options_.clientWidth)) / 2;
    const int top = area.top + (area.bottom - area.top - scale_.ToDevice(options_.clientHeight)) / 2;
    SetPosition({left, top});
}

void Form::Rescale(DisplayScale scale, const RECT* suggested) {
    if (scale == scale_) return;
    const DisplayScale before = scale_;
    scale_ = scale;
    const int width = scale_.ToDevice(options_.clientWidth);
    const int height = scale_.ToDevice(options_.clientHeight);
    // The system's rectangle keeps the window under the pointer while it is dragged across; the
    // size is always the layout's at the new scale.
    const Point at = suggested ? Point{suggested->left, suggested->top} : Position();
    SetWindowPos(hwnd_, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    for (Component* c : components_) c->ScaleChanged(before);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Form::Show() {
    ApplyPlacement();
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
}

void Form::Hide() { ShowWindow(hwnd_, SW_HIDE); }

bool Form::Visible() const { return IsWindowVisible(hwnd_) != FALSE; }

void Form::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }

bool Form::Enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void Form::SetTopmost(bool topmost) {
    options_.topmost = topmost;
    SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

Point Form::Position() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top};
}

void Form::SetPosition(Point topLeft) {
    SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Point Form::ClientToScreen(Point at) const {
    const Point device = scale_.ToDevice(at);
    POINT p{device.x, device.y};
    ::ClientToScreen(hwnd_, &p);
    return {p.x, p.y};
}

void Form::DragTo(Point at) {
    if (auto moved = drag_.Moved(Position(), at)) {
        SetPosition(*moved);
    }
}

Component* Form::Find(std::wstring_view name) const {
    for (Component* c : components_)
        if (c->Name() == name) return c;
    return nullptr;
}

void Form::Unregister(Component* c) {
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
}

bool Form::LoadSkinPicture(std::wstring_view name, std::wstring_view suffix) {
    bool matched = false;
    for (Component* c : components_) {
        auto* image = dynamic_cast<Image*>(c);
        if (!image || image->Name() != name) continue;
        matched = true;
        if (skinFolder_.empty()) {
            // No installation folder: never look the name up relative to the current directory.
            DebugLine(L"skin picture " + std::wstring(name) + std::wstring(suffix) +
                      L": no skin folder");
            continue;
        }
        // A picture already showing that file is not read again: pointer moves that change
        // nothing would otherwise read a file each time.
        const std::wstring file = SkinPictureFile(skinFolder_, name, suffix);
        if (image->PictureSource() != file) image->LoadFromFile(file);
    }
    return matched;
}

bool Form::LoadSkinPicture(const Component& sender, std::wstring_view suffix) {
    return LoadSkinPicture(sender.Name(), suffix);
}

int Form::LoadBuiltinPictures(std::wstring_view skinFolderName) {
    int loaded = 0;
    for (Component* c : components_)
        if (auto* image = dynamic_cast<Image*>(c))
            if (image->LoadFromResource(BuiltinPictureName(skinFolderName, image->Name()))) {
                ++loaded;
                // A built-in picture is the state-0 skin file's: above 96 DPI its 2x copy is drawn.
                if (!skinFolder_.empty())
                    image->SetBuiltinSkinFile(SkinPictureFile(skinFolder_, image->Name(), L"0.bmp"));
            }
    return loaded;
}

int Form::ApplyBuiltinHints() {
    return ::tavrine::ui::ApplyBuiltinHints(
        ClassName(), [this](std::wstring_view component, const std::wstring& text) {
            return SetHintOf(component, text);
        });
}

int Form::ApplyLanguageHints(const LanguageLookup& lookup) {
    return ::tavrine::ui::ApplyLanguageHints(
        ClassName(), lookup, [this](std::wstring_view component, const std::wstring& text) {
            return SetHintOf(component, text);
        });
}

bool Form::SetHintOf(std::wstring_view component, const std::wstring& text) {
    bool any = false;
    for (Component* c : components_) {
        if (c->Name() == component) {
            c->SetHint(text);
            any = true;
        }
    }
    return any;
}

HWND Form::FocusedWindow() const {
    HWND f = GetFocus();
    return f && IsChild(hwnd_, f) ? f : nullptr;
}

void Form::CreateHintWindow() {
    if (hint_) return;
    hint_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    if (hint_) SendMessageW(hint_, TTM_SETMAXTIPWIDTH, 0, 400);
}

void Form::HoverChanged(const GraphicHost& host, const Control* hovered) {
    if (hovered && !hovered->Hint().empty()) CreateHintWindow();
    if (!hint_) return;
    // One tool per host window: it is moved onto the control under the pointer and carries its
    // hint, so windowless controls get tooltips like windows do.
    TOOLINFOW ti = ToolFor(host.Handle(), 1, TTF_SUBCLASS);
    if (hintHost_ != &host &&
        !SendMessageW(hint_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) {
        ti = ToolFor(host.Handle(), 1, TTF_SUBCLASS);
        ti.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(hint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    hintHost_ = &host;
    ti = ToolFor(host.Handle(), 1, TTF_SUBCLASS);
    hintText_ = hovered ? hovered->Hint() : std::wstring();
    if (hovered && !hintText_.empty()) {
        const Rect b = hovered->DeviceBounds();
        ti.rect = {b.left, b.top, b.Right(), b.Bottom()};
    }
    SendMessageW(hint_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    ti.lpszText = hintText_.data();
    SendMessageW(hint_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Form::HintChanged(const Control& control) {
    if (control.Host().HoveredControl() == &control) HoverChanged(control.Host(), &control);
}

void Form::AddWindowHint(HWND child, const std::wstring& hint) {
    if (!child || (!hint_ && hint.empty())) return;
    CreateHintWindow();
    if (!hint_) return;
    TOOLINFOW ti = ToolFor(hwnd_, reinterpret_cast<UINT_PTR>(child), TTF_IDISHWND | TTF_SUBCLASS);
    SendMessageW(hint_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    if (hint.empty()) return;
    ti.lpszText = const_cast<wchar_t*>(hint.c_str());
    SendMessageW(hint_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

UINT_PTR Form::AddTimer(Timer* timer) {
    const UINT_PTR id = nextTimerId_++;
    timers_[id] = timer;
    return id;
}

void Form::RemoveTimer(UINT_PTR id) {
    KillTimer(hwnd_, id);
    timers_.erase(id);
}

}  // namespace tavrine::ui
