// One read of the mouse's current profile (read request, then answer), done N times through
// Portivo's exports and N times by the raw walk that does the same work (open each listed path,
// query it, the feature call, close), interleaved so both see the same conditions. The bare
// HidD_SetFeature/HidD_GetFeature on a handle opened once is printed beside them for scale.
// Lines starting with "@" are the figures bench/run.sh reads.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "common/DeviceIds.h"

#include "vmouse/tool/DeviceInstall_win.h"
#include "vmouse/tool/HidEnum_win.h"
#include "common/HidHeaders_win.h"
#include "portivo/Portivo.h"
#include "bench/baseline/RawWalk_win.h"
#include "vmouse/model/ReportDescriptors.h"

using common::DeviceProductId;
using common::DeviceVendorId;

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
    std::vector<std::wstring> listed;  // the two collections, as the library lists them
    for (const vmtool::HidCollection& c : vmtool::FindMouseCollections(vmouse::kVendorUsagePage)) {
        if (c.usage == vmouse::kReadUsage) raw = vmtool::OpenCollection(c.path);
        if (c.usage == vmouse::kReadUsage || c.usage == vmouse::kWriteUsage) {
            listed.push_back(c.path);
        }
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
    std::vector<double> walkSetUs;  // the set half alone: what one write report costs
    bool recordSet = false;
    auto viaWalk = [&] {
        BYTE req[16];
        std::copy(request, request + 16, req);
        BYTE answer[16] = {4};
        const long long t0 = now();
        const bool set = bench::RawWalk(listed, 0xFF00, 0x0002, bench::FeatureCall::Set, req);
        if (recordSet) walkSetUs.push_back(static_cast<double>(now() - t0) * usPerTick);
        const bool ok =
            set && bench::RawWalk(listed, 0xFF00, 0x0002, bench::FeatureCall::Get, answer);
        if (!ok || answer[4] < 1 || answer[4] > 5) ++wrongAnswers;
    };
    for (int i = 0; i < 20; ++i) {  // warm-up: first opens, caches
        viaPortivo();
        viaWalk();
        viaHid();
    }
    wrongAnswers = 0;
    recordSet = true;
    std::vector<double> portivoUs, walkUs, hidUs;
    for (int i = 0; i < iterations; ++i) {
        // The order turns with each round, so neither side always follows the other.
        long long t[4];
        const int first = i % 2;
        t[0] = now();
        first ? viaWalk() : viaPortivo();
        t[1] = now();
        first ? viaPortivo() : viaWalk();
        t[2] = now();
        viaHid();
        t[3] = now();
        const double a = static_cast<double>(t[1] - t[0]) * usPerTick;
        const double b = static_cast<double>(t[2] - t[1]) * usPerTick;
        portivoUs.push_back(first ? b : a);
        walkUs.push_back(first ? a : b);
        hidUs.push_back(static_cast<double>(t[3] - t[2]) * usPerTick);
    }
    const Figures p = Summarise(portivoUs), w = Summarise(walkUs), h = Summarise(hidUs);
    std::printf("feature round trip (read request + answer), %d iterations each, interleaved\n",
                iterations);
    Print("Portivo Set+GetKbdFeatures", p);
    Print("raw walk, same work", w);
    Print("bare HidD on an open handle", h);
    std::printf("ratio of medians (Portivo / raw walk): %.3f\n",
                w.median > 0 ? p.median / w.median : 0.0);
    std::printf("failed or implausible answers: %d\n", wrongAnswers);
    // Per call: each round is one set and one get.
    std::printf("@ portivo_call_us %.2f\n@ raw_walk_call_us %.2f\n@ bare_call_us %.2f\n",
                p.median / 2, w.median / 2, h.median / 2);
    std::printf("raw walk of the set half alone, median %.1f us\n", Summarise(walkSetUs).median);
    std::printf("@ raw_walk_set_us %.2f\n", Summarise(walkSetUs).median);
    std::printf("@ roundtrip_wrong %d\n", wrongAnswers);

    if (pluggedHere) {
        std::wstring error;
        vmtool::RemoveDevices(true, true, error);
    }
    return wrongAnswers == 0 ? 0 : 1;
}
