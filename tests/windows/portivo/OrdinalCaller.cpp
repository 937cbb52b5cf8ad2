// A program bound to Portivo.dll as the suite's programs are: by ordinal, at load time.
#include "portivo/Portivo.h"

int wmain() {
    DeviceSpec none[1] = {{0, 0, 0, 0}};
    BYTE report[16] = {4};
    // 1 from the first InitDriver, 0 from the second; an absent collection gives 0.
    const int result = InitDriver(nullptr, none, 1) * 100 + InitDriver(nullptr, none, 1) * 10 +
                       GetKbdFeatures(0, 0, 0, 0, report) + SetKbdFeatures(0, 0, 0, 0, report);
    return result == 100 ? 0 : 1;
}
