#pragma once
// What the display program makes of the mouse's event reports, side-button releases and the
// configuration program's requests: which query to run, what its answer means, which picture to
// show and whom to tell. Portable: no window handles.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vistrel {

// The picture on the popup.
enum class PopupKind : int {
    None = 0,
    Polling = 1,
    Dpi = 2,
    Profile = 3,
    Lock = 4,
    WebBack = 5,
    WebForward = 6,
};

// What the mouse is asked after it reported a change.
enum class Query { DpiLevel, PollingRate, Profile, Lock };

// The values behind the pictures, as the last answers gave them.
struct DisplayState {
    int levelIndex = 0;  // 0..3 as the mouse reports it
    int dpi = 0;
    int pollingHz = 0;
    int profile = 0;  // as reported, 1..5 on a working mouse
    int lock = 0;     // 0 unlocked
};

inline constexpr std::size_t kFeatureSize = 16;
using FeatureBuffer = std::array<std::uint8_t, kFeatureSize>;

// The event report's id, and the collection that answers the queries.
inline constexpr std::uint8_t kEventReportId = 2;
inline constexpr std::uint16_t kQueryUsagePage = 0xFF00;
inline constexpr std::uint16_t kQueryUsage = 0x0002;

// The query an event report asks for; nothing for any other report, for a report too short to
// carry an event, and for an event byte with more than one bit set.
std::optional<Query> QueryForEventReport(std::span<const std::uint8_t> report);

// The 16-byte request of a query, and the buffer the answer is read into (0x04, then zeros: what
// stays there when the mouse does not answer).
FeatureBuffer QueryRequest(Query query);
FeatureBuffer AnswerBuffer();

// The mouse's polling code to Hz; an unknown code counts as 1000 Hz.
int PollingHzFromCode(std::uint8_t code);

// Stores the answer's values (bytes 4 and 5) in the state; returns the picture to show.
PopupKind ApplyAnswer(Query query, const FeatureBuffer& answer, DisplayState& state);

// The configuration program is told of changes made on the mouse itself.
struct Notice {
    std::wstring_view windowClass;  // found by class and caption; hidden windows count
    std::wstring_view caption;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};
std::optional<Notice> NoticeAfter(Query query, const DisplayState& state);

// The listener's messages from the configuration program: a query, or a web picture straight away.
struct Request {
    std::optional<Query> query;
    PopupKind kind = PopupKind::None;  // for the web pictures
};
std::optional<Request> RequestForMessage(std::uint32_t message);

// A raw mouse packet's button flags: only a lone release of side button 4 or 5 shows a picture.
inline constexpr std::uint16_t kButton4Up = 0x0080;
inline constexpr std::uint16_t kButton5Up = 0x0200;
PopupKind KindForMouseButtons(std::uint16_t buttonFlags);

}  // namespace vistrel
