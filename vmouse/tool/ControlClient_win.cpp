#include "vmouse/tool/ControlClient_win.h"

#include "common/HidHeaders_win.h"

namespace vmtool {

std::optional<ControlClient> ControlClient::Open(std::wstring& error) {
    for (const HidCollection& c : FindMouseCollections(vmouse::kControlUsagePage)) {
        if (c.usage != vmouse::kControlUsage) continue;
        Handle h = OpenCollection(c.path);
        if (h.valid()) return ControlClient(std::move(h));
        error = Win32ErrorText(L"CreateFileW on the control collection");
        return std::nullopt;
    }
    error = L"the virtual mouse's control collection is not present (run \"vmouse plug\" first)";
    return std::nullopt;
}

bool ControlClient::Exchange(const vmouse::ControlRequest& request,
                             uint8_t (&answer)[vmouse::kControlReportSize], std::wstring& error) {
    uint8_t report[vmouse::kControlReportSize];
    vmouse::EncodeControlRequest(request, report);
    return Exchange(report, answer, error);
}

bool ControlClient::Exchange(uint8_t (&report)[vmouse::kControlReportSize],
                             uint8_t (&answer)[vmouse::kControlReportSize], std::wstring& error) {
    const auto command = static_cast<vmouse::ControlCommand>(report[1]);
    if (!HidD_SetFeature(handle_.get(), report, sizeof report)) {
        error = Win32ErrorText(L"HidD_SetFeature (control request)");
        return false;
    }
    for (uint8_t& b : answer) b = 0;
    answer[0] = vmouse::kControlReportId;
    if (!HidD_GetFeature(handle_.get(), answer, sizeof answer)) {
        error = Win32ErrorText(L"HidD_GetFeature (control answer)");
        return false;
    }
    const vmouse::ControlStatus status = vmouse::AnswerStatus(answer, command);
    if (status != vmouse::ControlStatus::Ok) {
        error = L"the virtual mouse refused the request (status " +
                std::to_wstring(static_cast<int>(status)) + L")";
        return false;
    }
    return true;
}

bool ControlClient::Simple(vmouse::ControlCommand command, std::wstring& error, uint8_t a8,
                           uint8_t b8) {
    uint8_t answer[vmouse::kControlReportSize];
    return Exchange({command, a8, b8, 0, 0, 0, 0}, answer, error);
}

bool ControlClient::SetFaults(const vmouse::Faults& f, std::wstring& error) {
    uint8_t report[vmouse::kControlReportSize];
    vmouse::EncodeFaultsRequest(f, report);
    uint8_t answer[vmouse::kControlReportSize];
    return Exchange(report, answer, error);
}

bool ControlClient::Status(vmouse::StatusInfo& out, std::wstring& error) {
    uint8_t answer[vmouse::kControlReportSize];
    if (!Exchange({vmouse::ControlCommand::Status, 0, 0, 0, 0, 0, 0}, answer, error)) return false;
    if (!vmouse::DecodeStatus(answer, out)) {
        error = L"malformed status answer";
        return false;
    }
    return true;
}

bool ControlClient::ReadEeprom(std::vector<uint8_t>& image, std::wstring& error) {
    image.assign(vmouse::kEepromSize, 0);
    uint32_t offset = 0;
    while (offset < vmouse::kEepromSize) {
        uint8_t answer[vmouse::kControlReportSize];
        if (!Exchange({vmouse::ControlCommand::ReadEeprom, 0, 0, offset, 0, 0, 0}, answer, error))
            return false;
        size_t n = 0;
        if (!vmouse::DecodeEepromChunk(answer, offset, image.data() + offset, image.size() - offset,
                                       n) ||
            n == 0) {
            error = L"malformed EEPROM answer at offset " + std::to_wstring(offset);
            return false;
        }
        offset += static_cast<uint32_t>(n);
    }
    return true;
}

bool ControlClient::ReadTrace(std::vector<vmouse::TraceEntry>& entries, std::wstring& error) {
    entries.clear();
    uint32_t next = 0;
    for (;;) {
        uint8_t answer[vmouse::kControlReportSize];
        if (!Exchange({vmouse::ControlCommand::ReadTrace, 0, 0, next, 0, 0, 0}, answer, error))
            return false;
        vmouse::TraceEntry page[vmouse::kTraceEntriesPerAnswer];
        size_t n = 0;
        if (!vmouse::DecodeTraceEntries(answer, page, vmouse::kTraceEntriesPerAnswer, n)) {
            error = L"malformed trace answer";
            return false;
        }
        if (n == 0) return true;
        // Entries keep coming while the mouse is in use; stop at what was there when we began.
        for (size_t i = 0; i < n; ++i) entries.push_back(page[i]);
        next = page[n - 1].sequence + 1;
        if (entries.size() > vmouse::TraceRing::kCapacity * 2) return true;
    }
}

}  // namespace vmtool
