#include "osd/core/PopupPicture.h"

#include <array>

namespace vistrel {

namespace {

// Where the four digits of a number stand, and at which size; the number's digits from the
// thousands down, leading zeros left out but the units always drawn.
struct DigitRow {
    std::array<int, 4> lefts;
    int top;
    int size;
    std::wstring (*file)(int digit);
};
constexpr DigitRow kDpiDigits = {{35, 95, 155, 215}, 70, 60, LargeDigitFile};
constexpr DigitRow kPollingDigits = {{20, 68, 116, 164}, 130, 48, SmallDigitFile};

// The level mark: the digit of level index + 1, small, in the top right corner.
constexpr int kLevelMarkLeft = 210;
constexpr int kLevelMarkTop = 20;
constexpr int kLevelMarkSize = 24;
constexpr int kLevelCount = 4;

constexpr int kBottomGap = 32;
constexpr int kInitialLeftShift = 64;
constexpr int kInitialBottomGap = 158;

std::wstring DigitFile(const wchar_t* stem, int digit) {
    if (digit < 0 || digit > 9) return {};
    return stem + std::to_wstring(digit) + L".png";
}

void AddNumber(std::vector<Layer>& layers, const DigitRow& row, int value) {
    const std::array<int, 4> digits = {value / 1000, value % 1000 / 100, value % 100 / 10,
                                       value % 10};
    bool leading = true;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (digits[i] != 0 || i + 1 == digits.size()) leading = false;
        if (leading) continue;
        layers.push_back({row.file(digits[i]), row.lefts[i], row.top, row.size, row.size});
    }
}

Picture Single(std::wstring file) {
    if (file.empty()) return {};
    return Picture{{Layer{std::move(file)}}};
}

}  // namespace

std::wstring LargeDigitFile(int digit) { return DigitFile(L"nuw", digit); }
std::wstring SmallDigitFile(int digit) { return DigitFile(L"nu", digit); }

std::wstring ProfileFile(int profile) {
    if (profile < 1 || profile > 5) return {};
    return L"profile" + std::to_wstring(profile) + L".png";
}

Picture PictureFor(PopupKind kind, const DisplayState& state) {
    switch (kind) {
        case PopupKind::Polling: {
            Picture picture{{Layer{L"poll.png"}}};
            AddNumber(picture.layers, kPollingDigits, state.pollingHz);
            return picture;
        }
        case PopupKind::Dpi: {
            Picture picture{{Layer{L"lv-bg.png"}}};
            const int level = state.levelIndex + 1;
            if (level >= 1 && level <= kLevelCount) {
                picture.layers.push_back({LargeDigitFile(level), kLevelMarkLeft, kLevelMarkTop,
                                          kLevelMarkSize, kLevelMarkSize});
            }
            AddNumber(picture.layers, kDpiDigits, state.dpi);
            return picture;
        }
        case PopupKind::Profile:
            return Single(ProfileFile(state.profile));
        case PopupKind::Lock:
            return Single(state.lock != 0 ? L"lock.png" : L"unlock.png");
        case PopupKind::WebBack:
            return Single(L"web_back.png");
        case PopupKind::WebForward:
            return Single(L"web_forward.png");
        case PopupKind::None:
            break;
    }
    return {};
}

std::wstring ImageFolderFrom(const std::optional<std::wstring>& appPath) {
    if (!appPath) return {};
    return *appPath + L'\\';
}

ScreenPoint PopupPlace(const ScreenRect& workArea, int width, int height, int dpi) {
    // The work area's own left and top edge count: a task bar on the left or at the top moves it.
    // The gap is rounded as the pictures' sizes are (MulDiv).
    const int gap = dpi > 0 ? (kBottomGap * dpi + 48) / 96 : kBottomGap;
    return {workArea.left + (workArea.right - width - workArea.left) / 2,
            workArea.bottom - height - gap};
}

ScreenPoint InitialPopupPlace(const ScreenRect& workArea) {
    return {workArea.left + (workArea.right - workArea.left) / 2 - kInitialLeftShift,
            workArea.bottom - kInitialBottomGap};
}

}  // namespace vistrel
