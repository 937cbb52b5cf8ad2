// One read of the mouse's current profile (read request, then answer), done N times through
// Portivo's exports and N times with HidD_SetFeature/HidD_GetFeature on handles opened once,
// interleaved so both see the same conditions. Portivo opens every listed path on each call.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include <DeviceIds.h>

#include "DeviceInstall_win.h"
#include "HidEnum_win.h"
#include "HidHeaders_win.h"
#include "Portivo.h"
#include "ReportDescriptors.h"

namespace {

struct Figures {
    double median, p10, p90, min, max;
};

Figures Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    auto at = [&](double q) {
        return v[static_cast<size_t>(q * static_cast<double>(v.size() - 1))];
    };
    return {at(0.5), at(0.1), at(0.9), v.front(), v.back()};
}

void Print(const char* name, const Figures& f) {
    std::printf(
        "%-28s median %8.1f us  p10 %8.1f  p90 %8.1f  spread(p90-p10) %8.1f  min %8.1f  max "
        "%9.1f\n",
        name, f.median, f.p10, f.p90, f.p90 - f.p10, f.min, f.max);
}

bool Visible(const std::vector<vmtool::HidCollection>& l) {
    return vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kWriteUsage) &&
           vmtool::HasCollection(l, vmouse::kVendorUsagePage, vmouse::kReadUsage);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int iterations =
        argc > 1 ? std::max(10, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 500;
    bool pluggedHere = false;
    if (!Visible(vmtool::FindMouseCollections())) {
        std::wstring error;
        if (!vmtool::InstallDevices(vmtool::InfBesideProgram(), true, error) ||
            !vmtool::WaitForCollections(Visible, 30000)) {
            std::fprintf(stderr, "bench: the virtual mouse could not be plugged\n");
            return 1;
        }
        pluggedHere = true;
    }

    HMODULE portivoDll = LoadLibraryW(L"Portivo.dll");
    auto initDriver =
        portivo::BindOrdinal<portivo::InitDriverFn>(portivoDll, portivo::kOrdInitDriver);
    auto setFeatures =
        portivo::BindOrdinal<portivo::FeatureFn>(portivoDll, portivo::kOrdSetKbdFeatures);
    auto getFeatures =
        portivo::BindOrdinal<portivo::FeatureFn>(portivoDll, portivo::kOrdGetKbdFeatures);
    if (!initDriver || !setFeatures || !getFeatures) {
        std::fprintf(stderr, "bench: Portivo.dll or its ordinals 2-4 missing\n");
        return 1;
    }
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  nullptr, nullptr);
    DeviceSpec specs[2] = {{DeviceVendorId, DeviceProductId, 0xFF00, 0xFF00},
                           {DeviceVendorId, DeviceProductId, 0xFF00, 0x0002}};
    initDriver(window, specs, 2);

    vmtool::Handle raw;
    for (const vmtool::HidCollection& c : vmtool::FindMouseCollections(vmouse::kVendorUsagePage)) {
        if (c.usage == vmouse::kReadUsage) raw = vmtool::OpenCollection(c.path);
    }
    if (!raw.valid()) {
        std::fprintf(stderr, "bench: cannot open the read collection\n");
        return 1;
    }

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto now = [] {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t.QuadPart;
    };
    const double usPerTick = 1e6 / static_cast<double>(frequency.QuadPart);

    const BYTE request[16] = {4, 0x02, 0xFF, 2};
    int wrongAnswers = 0;
    auto viaPortivo = [&] {
        BYTE req[16];
        std::copy(request, request + 16, req);
        BYTE answer[16] = {4};
        const bool ok = setFeatures(DeviceVendorId, DeviceProductId, 0xFF00, 0x0002, req) == 1 &&
                        getFeatures(DeviceVendorId, DeviceProductId, 0xFF00, 0x0002, answer) == 1;
        if (!ok || answer[4] < 1 || answer[4] > 5) ++wrongAnswers;
    };
    auto viaHid = [&] {
        BYTE req[16];
        std::copy(request, request + 16, req);
        BYTE answer[16] = {4};
        const bool ok = HidD_SetFeature(raw.get(), req, sizeof req) &&
                        HidD_GetFeature(raw.get(), answer, sizeof answer);
        if (!ok || answer[4] < 1 || answer[4] > 5) ++wrongAnswers;
    };
    for (int i = 0; i < 20; ++i) {  // warm-up: first opens, caches
        viaPortivo();
        viaHid();
    }
    wrongAnswers = 0;
    std::vector<double> portivoUs, hidUs;
    for (int i = 0; i < iterations; ++i) {
        long long t0 = now();
        viaPortivo();
        long long t1 = now();
        viaHid();
        long long t2 = now();
        portivoUs.push_back(static_cast<double>(t1 - t0) * usPerTick);
        hidUs.push_back(static_cast<double>(t2 - t1) * usPerTick);
    }
    const Figures p = Summarise(portivoUs), h = Summarise(hidUs);
    std::printf("feature round trip (read request + answer), %d iterations each, interleaved\n",
                iterations);
    Print("Portivo Set+GetKbdFeatures", p);
    Print("HidD_SetFeature+GetFeature", h);
    std::printf("ratio of medians (Portivo / raw HID): %.2f\n",
                h.median > 0 ? p.median / h.median : 0.0);
    std::printf("failed or implausible answers: %d\n", wrongAnswers);

    if (pluggedHere) {
        std::wstring error;
        vmtool::RemoveDevices(true, true, error);
    }
    return wrongAnswers == 0 ? 0 : 1;
}
