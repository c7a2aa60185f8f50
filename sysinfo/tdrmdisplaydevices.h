#pragma once

#include "sysinfo/tdisplaydevice.h"

#include <QString>

#include <vector>

// The display adapters the kernel's DRM layer knows (/sys/class/drm/cardN), in card order,
// described as the PCI name list names them; a device off the PCI bus is named by its driver.
std::vector<TDisplayDevice> DrmDisplayDevices(
    const QString& drmClassDir = QStringLiteral("/sys/class/drm"));
