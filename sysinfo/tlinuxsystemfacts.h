#pragma once

#include "sysinfo/tsystemfacts.h"

#include <QString>

#include <vector>

class QWidget;

// Where the Linux gatherer reads its facts; tests point these into a temporary folder.
struct TLinuxSystemSources {
    QString MountsFile = QStringLiteral("/proc/self/mounts");
    QString OsReleaseFile = QStringLiteral("/etc/os-release");
    QString SysRoot = QStringLiteral("/sys");
    QString InputDevicesFile = QStringLiteral("/proc/bus/input/devices");
};

// The system report's facts on this machine: kernel release as the version, the distribution's
// name as the service-pack text, mounted file systems in place of drive letters.
TSystemFacts LinuxSystemFacts(const TLinuxSystemSources& sources = {});

// The mounted file systems a user keeps files on, with their sizes, in mount order.
std::vector<TDriveFacts> LinuxDrives(const TLinuxSystemSources& sources = {});

// What the "Your Windows Info" menu command does: gather the facts and show the report in a
// plain message box.
void ShowSystemInfoReport(QWidget* parent = nullptr);
