#pragma once
// What the device tests share: the mouse's collections, input reports read like any program
// reads them, and the control channel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "vmouse/tool/ControlClient_win.h"
#include "vmouse/tool/HidEnum_win.h"
#include "common/HidHeaders_win.h"

namespace vmtest {

using Bytes = std::vector<uint8_t>;

inline std::optional<vmtool::HidCollection> Find(uint16_t page, uint16_t usage) {
    for (const vmtool::HidCollection& c : vmtool::FindMouseCollections(page)) {
        if (c.usage == usage) return c;
    }
    return std::nullopt;
}

inline Bytes Command(uint8_t id, uint16_t address, uint8_t count,
                     std::initializer_list<uint8_t> data = {}) {
    Bytes r(16, 0);
    r[0] = id;
    r[1] = static_cast<uint8_t>(address & 0xFF);
    r[2] = static_cast<uint8_t>(address >> 8);
    r[3] = count;
    size_t i = 4;
    for (uint8_t b : data) r.at(i++) = b;
    return r;
}

// Input reports of the write collection, read with overlapped ReadFile.
class InputReader {
  public:
    InputReader() {
        if (auto c = Find(vmouse::kVendorUsagePage, vmouse::kWriteUsage))
            handle_ = vmtool::OpenCollection(c->path, true);
        event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~InputReader() { CloseHandle(event_); }
    bool ok() const { return handle_.valid(); }

    std::optional<Bytes> Next(DWORD timeoutMs) {
        Bytes buffer(vmouse::kInputReportSize, 0);
        OVERLAPPED ov{};
        ov.hEvent = event_;
        ResetEvent(event_);
        DWORD got = 0;
        if (!ReadFile(handle_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, &ov)) {
            if (GetLastError() != ERROR_IO_PENDING) return std::nullopt;
            if (WaitForSingleObject(event_, timeoutMs) != WAIT_OBJECT_0) {
                CancelIo(handle_.get());
                GetOverlappedResult(handle_.get(), &ov, &got, TRUE);
                return std::nullopt;
            }
            if (!GetOverlappedResult(handle_.get(), &ov, &got, FALSE)) return std::nullopt;
        }
        buffer.resize(got);
        return buffer;
    }

  private:
    vmtool::Handle handle_;
    HANDLE event_;
};

class Mouse {
  public:
    Mouse() {
        if (auto c = Find(vmouse::kVendorUsagePage, vmouse::kWriteUsage))
            write_ = vmtool::OpenCollection(c->path);
        if (auto c = Find(vmouse::kVendorUsagePage, vmouse::kReadUsage))
            read_ = vmtool::OpenCollection(c->path);
    }
    bool ok() const { return write_.valid() && read_.valid(); }

    bool Write(uint16_t address, std::initializer_list<uint8_t> data) {
        Bytes r = Command(3, address, static_cast<uint8_t>(data.size()), data);
        return HidD_SetFeature(write_.get(), r.data(), static_cast<ULONG>(r.size())) != FALSE;
    }
    bool SendWriteReport(Bytes r) {
        return HidD_SetFeature(write_.get(), r.data(), static_cast<ULONG>(r.size())) != FALSE;
    }
    bool SendReadReport(Bytes r) {
        return HidD_SetFeature(read_.get(), r.data(), static_cast<ULONG>(r.size())) != FALSE;
    }
    // Read request then answer: the whole 16-byte answer, or empty when either step failed.
    Bytes Read(uint16_t address, uint8_t count) {
        if (!SendReadReport(Command(4, address, count))) return {};
        Bytes answer(16, 0);
        answer[0] = 4;
        if (!HidD_GetFeature(read_.get(), answer.data(), static_cast<ULONG>(answer.size())))
            return {};
        return answer;
    }
    HANDLE writeHandle() const { return write_.get(); }
    HANDLE readHandle() const { return read_.get(); }

  private:
    vmtool::Handle write_;
    vmtool::Handle read_;
};

// Every test starts from a plugged mouse in factory state with no faults and an empty trace.
class DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::wstring error;
        control = vmtool::ControlClient::Open(error);
        ASSERT_TRUE(control.has_value()) << "the virtual mouse is not plugged";
        ASSERT_TRUE(control->Simple(vmouse::ControlCommand::Reset, error));
        ASSERT_TRUE(control->SetFaults(vmouse::Faults{}, error));
        ASSERT_TRUE(control->Simple(vmouse::ControlCommand::ClearTrace, error));
        ASSERT_TRUE(mouse.ok()) << "the mouse's collections cannot be opened";
    }

    Bytes Eeprom() {
        Bytes image;
        std::wstring error;
        EXPECT_TRUE(control->ReadEeprom(image, error));
        return image;
    }
    std::vector<vmouse::TraceEntry> Trace() {
        std::vector<vmouse::TraceEntry> entries;
        std::wstring error;
        EXPECT_TRUE(control->ReadTrace(entries, error));
        return entries;
    }
    void Press(vmouse::Control c, uint8_t button = 0) {
        std::wstring error;
        ASSERT_TRUE(
            control->Simple(vmouse::ControlCommand::Press, error, static_cast<uint8_t>(c), button));
    }
    void SetFaults(const vmouse::Faults& f) {
        std::wstring error;
        ASSERT_TRUE(control->SetFaults(f, error));
    }

    std::optional<vmtool::ControlClient> control;
    Mouse mouse;
};

inline const Bytes kAck = {2, 0x10, 0, 0, 0, 0, 0, 0};

}  // namespace vmtest
