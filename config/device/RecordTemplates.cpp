#include "device/RecordTemplates.h"

#include <algorithm>

namespace device {

const std::array<std::wstring_view, kLaunchSlots> kLaunchCodeTexts = {
    L"a0", L"a1", L"a2", L"a3", L"a4", L"a5", L"a6", L"a7", L"a8", L"a9", L"aa", L"ab", L"ac",
    L"ad", L"ae", L"af", L"b0", L"b1", L"b2", L"b3", L"b4", L"b5", L"b6", L"b7", L"b8"};

ButtonRecord MakeTemplateRecord(std::initializer_list<std::uint8_t> lead) {
    ButtonRecord record{};
    std::copy_n(lead.begin(), std::min<std::size_t>(lead.size(), kRepeatModeByte), record.begin());
    record[kRepeatModeByte] = kRepeatTimes;
    return record;
}

ButtonRecord DefaultRecord(int button) {
    switch (button) {
        case 0:
            return MakeTemplateRecord({kCodeLeftButton, kAttrLast});
        case 1:
            return MakeTemplateRecord({kCodeRightButton, kAttrLast});
        case 2:
            return MakeTemplateRecord({kCodeMiddleButton, kAttrLast});
        default:
            return MakeTemplateRecord({0x00, kAttrLast});
    }
}

ButtonRecord SingleCommandRecord(std::size_t index) {
    ButtonRecord record{};
    if (index < kSingleCommands.size()) {
        const auto& command = kSingleCommands[index];
        std::copy_n(command.lead.begin(), command.leadLength, record.begin());
    }
    record[kRepeatModeByte] = kRepeatTimes;
    return record;
}

ButtonRecord LaunchRecord(int profile, int button) {
    return MakeTemplateRecord({LaunchCode(profile, button), kAttrLast});
}

std::wstring DefaultRecordText(int button) { return FormatButtonRecord(DefaultRecord(button)); }
std::wstring SingleCommandRecordText(std::size_t index) {
    return FormatButtonRecord(SingleCommandRecord(index));
}
std::wstring LaunchRecordText(int profile, int button) {
    return FormatButtonRecord(LaunchRecord(profile, button));
}

std::wstring_view DefaultDescription(int button) {
    switch (button) {
        case 0:
            return L"Left button";
        case 1:
            return L"Right button";
        case 2:
            return L"Middle button";
        default:
            return L"";
    }
}

}  // namespace device
