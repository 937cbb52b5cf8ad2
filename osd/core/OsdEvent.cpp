#include "osd/core/OsdEvent.h"

#include "device/WindowMessages.h"

namespace vistrel {

namespace {

constexpr std::uint8_t kEventDpi = 1;
constexpr std::uint8_t kEventPolling = 2;
constexpr std::uint8_t kEventProfile = 4;
constexpr std::uint8_t kEventLock = 8;

struct PollingCode {
    std::uint8_t code;
    int hz;
};
constexpr std::array<PollingCode, 3> kPollingCodes = {{{0, 1000}, {1, 500}, {2, 125}}};
constexpr int kUnknownPollingHz = 1000;

}  // namespace

std::optional<Query> QueryForEventReport(std::span<const std::uint8_t> report) {
    if (report.size() < 2 || report[0] != kEventReportId) return std::nullopt;
    switch (report[1]) {
        case kEventDpi:
            return Query::DpiLevel;
        case kEventPolling:
            return Query::PollingRate;
        case kEventProfile:
            return Query::Profile;
        case kEventLock:
            return Query::Lock;
        default:
            return std::nullopt;
    }
}

FeatureBuffer QueryRequest(Query query) {
    FeatureBuffer request{};
    request[0] = 0x04;
    request[2] = 0xFF;
    switch (query) {
        case Query::DpiLevel:
            request[1] = 0x00, request[3] = 0x02;
            break;
        case Query::PollingRate:
            request[1] = 0x01, request[3] = 0x01;
            break;
        case Query::Profile:
            request[1] = 0x02, request[3] = 0x02;
            break;
        case Query::Lock:
            request[1] = 0x05, request[3] = 0x01;
            break;
    }
    return request;
}

FeatureBuffer AnswerBuffer() {
    FeatureBuffer answer{};
    answer[0] = 0x04;
    return answer;
}

int PollingHzFromCode(std::uint8_t code) {
    for (const auto& entry : kPollingCodes) {
        if (entry.code == code) return entry.hz;
    }
    return kUnknownPollingHz;
}

PopupKind ApplyAnswer(Query query, const FeatureBuffer& answer, DisplayState& state) {
    switch (query) {
        case Query::DpiLevel:
            state.levelIndex = answer[4];
            state.dpi = answer[5] * 100;
            return PopupKind::Dpi;
        case Query::PollingRate:
            state.pollingHz = PollingHzFromCode(answer[4]);
            return PopupKind::Polling;
        case Query::Profile:
            state.profile = answer[4];
            return PopupKind::Profile;
        case Query::Lock:
            state.lock = answer[4];
            return PopupKind::Lock;
    }
    return PopupKind::None;
}

std::optional<Notice> NoticeAfter(Query query, const DisplayState& state) {
    switch (query) {
        case Query::DpiLevel:
            return Notice{device::kPerformClass, device::kPerformCaption, device::kMsgDpiChanged,
                          static_cast<std::uintptr_t>(state.levelIndex), state.dpi};
        case Query::PollingRate:
            return Notice{device::kPerformClass, device::kPerformCaption,
                          device::kMsgPollingChanged, static_cast<std::uintptr_t>(state.pollingHz),
                          0};
        case Query::Profile:
            return Notice{device::kMainFormClass, device::kMainFormCaption,
                          device::kMsgProfileChanged, static_cast<std::uintptr_t>(state.profile),
                          0};
        case Query::Lock:
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Request> RequestForMessage(std::uint32_t message) {
    switch (message) {
        case device::kMsgShowPolling:
            return Request{Query::PollingRate};
        case device::kMsgShowDpiLevel:
            return Request{Query::DpiLevel};
        case device::kMsgShowProfile:
            return Request{Query::Profile};
        case device::kMsgShowLock:
            return Request{Query::Lock};
        case device::kMsgShowWebBack:
            return Request{std::nullopt, PopupKind::WebBack};
        case device::kMsgShowWebForward:
            return Request{std::nullopt, PopupKind::WebForward};
        default:
            return std::nullopt;
    }
}

PopupKind KindForMouseButtons(std::uint16_t buttonFlags) {
    if (buttonFlags == kButton4Up) return PopupKind::WebBack;
    if (buttonFlags == kButton5Up) return PopupKind::WebForward;
    return PopupKind::None;
}

}  // namespace vistrel
