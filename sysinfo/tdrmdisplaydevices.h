#pragma once

#include "sysinfo/tdisplaydevice.h"

#include <QString>

#include <vector>

// The display adapters the kernel's DRM layer knows (/sys/class/drm/cardN), in card order,
// described as the PCI name list names them; a device off the PCI bus, or any device when the
// name list cannot be read, is named by its driver. An empty pciNameList is the system's list.
std::vector<TDisplayDevice> DrmDisplayDevices(
    const QString& drmClassDir = QStringLiteral("/sys/class/drm"),
    const QString& pciNameList = QString());
