#pragma once
// The tool's side of the control collection: one request, one answer.
#include <optional>
#include <string>
#include <vector>

#include "vmouse/model/ControlProtocol.h"
#include "vmouse/tool/HidEnum_win.h"

namespace vmtool {

class ControlClient {
  public:
    // Opens the control collection; nullopt (with error set) when it is not present.
    static std::optional<ControlClient> Open(std::wstring& error);

    bool Exchange(const vmouse::ControlRequest& request,
                  uint8_t (&answer)[vmouse::kControlReportSize], std::wstring& error);
    // A request already laid out (report id and command in bytes 0 and 1).
    bool Exchange(uint8_t (&report)[vmouse::kControlReportSize],
                  uint8_t (&answer)[vmouse::kControlReportSize], std::wstring& error);

    bool Status(vmouse::StatusInfo& out, std::wstring& error);
    bool ReadEeprom(std::vector<uint8_t>& image, std::wstring& error);
    bool ReadTrace(std::vector<vmouse::TraceEntry>& entries, std::wstring& error);
    bool Simple(vmouse::ControlCommand command, std::wstring& error, uint8_t a8 = 0,
                uint8_t b8 = 0);
    bool SetFaults(const vmouse::Faults& faults, std::wstring& error);

  private:
    explicit ControlClient(Handle h) : handle_(std::move(h)) {}
    Handle handle_;
};

}  // namespace vmtool
