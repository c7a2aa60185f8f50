#include "sysinfo/tdisplaydevice.h"

QStringList DisplayAdapterReport(const std::vector<TDisplayDevice>& devices) {
    QStringList lines;
    for (const TDisplayDevice& device : devices) {
        lines << device.DeviceString;
    }
    return lines;
}
