#pragma once
// The mouse's input reports for a console program: a message-only window to which WMINPUT.DLL
// sends them (as to the configuration program's main window), and the message loop that runs
// timers and reports while the program waits.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

#include "cli/LiveCommands.h"

namespace cli {

class DeviceReportPump final : public DeviceReports {
  public:
    DeviceReportPump();
    ~DeviceReportPump() override;
    DeviceReportPump(const DeviceReportPump&) = delete;
    DeviceReportPump& operator=(const DeviceReportPump&) = delete;

    // False when the input component could not register the mouse's collections.
    bool registered() const { return registered_; }
    HWND window() const { return window_; }
    // Called with each report of the mouse (vendor and product already checked).
    std::function<void(std::span<const std::uint8_t>)> onReport;

    bool WaitForReport(std::chrono::milliseconds timeout) override;
    // Runs messages until done() or the time is up; false on time-out.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void PumpOnce(DWORD waitMs);

    HWND window_ = nullptr;
    bool registered_ = false;
    std::uint64_t reports_ = 0;
};

}  // namespace cli
