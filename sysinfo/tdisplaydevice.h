#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One display adapter as the display report lists it.
struct TDisplayDevice {
    QString DeviceName;    // the system's name for it ("card0")
    QString DeviceString;  // the adapter description, at most 127 characters
};

// The memo lines of the display adapter report: one description per device, in order.
QStringList DisplayAdapterReport(const std::vector<TDisplayDevice>& devices);
