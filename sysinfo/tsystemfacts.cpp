#include "sysinfo/tsystemfacts.h"

#include <array>

namespace {

// Drive type names by the system's drive type value; 0 and 1 have none and are not listed.
constexpr std::array<const char*, 7> kDriveTypeNames{nullptr,   nullptr,  "Floppy", "HardDisk",
                                                     "Network", "CD/DVD", "RAM"};

QString familyWord(const TSystemFacts& facts) {
    switch (facts.PlatformId) {
        case 0:
            return QStringLiteral("3.1 + Win32s ");
        case 1:
            if (facts.MinorVersion == 10) {
                return QStringLiteral("98 ");
            }
            return facts.MinorVersion == 0 ? QStringLiteral("95 ")
                                           : QStringLiteral("9X or better ");
        case 2:
            return QStringLiteral("NT");
        default:
            return {};
    }
}

QString driveLine(const TDriveFacts& drive, bool freeSpaceQuery) {
    const QString head =
        QLatin1Char(' ') + drive.Name + QStringLiteral(": ") +
        QString::fromLatin1(kDriveTypeNames[static_cast<std::size_t>(drive.DriveType)]);
    // Sizes only for fixed, remote and RAM drives: asking a floppy or CD drive would spin it up.
    const bool sized = drive.DriveType == 3 || drive.DriveType == 4 || drive.DriveType == 6;
    if (freeSpaceQuery && sized && drive.HasSizes) {
        // Units of 1,000,000 bytes although labelled "Mb".
        return head + QStringLiteral("(Size: %1 Mb; Free: %2Mb)\n")
                          .arg(drive.TotalBytes / 1000000u)
                          .arg(drive.FreeBytes / 1000000u);
    }
    return head + QLatin1Char('\n');
}

}  // namespace

bool HasFreeSpaceQuery(const TSystemFacts& facts) {
    switch (facts.PlatformId) {
        case 1:
            return facts.MinorVersion >= 10 || facts.BuildNumber > 1000;
        case 2:
        case TSystemFacts::PlatformLinux:
            return true;
        default:
            return false;
    }
}

QString SystemInfoReport(const TSystemFacts& facts) {
    QString text = QStringLiteral("Info Windows ") + familyWord(facts);
    text += QStringLiteral("%1.%2.%3(")
                .arg(facts.MajorVersion)
                .arg(facts.MinorVersion)
                .arg(facts.BuildNumber & 0xFFFFu) +
            facts.ServicePack.left(127) + QStringLiteral(")\n\n");
    text += QStringLiteral("Windows directory: ") + facts.WindowsDirectory + QLatin1Char('\n');
    text += QStringLiteral("System directory: ") + facts.SystemDirectory + QLatin1Char('\n');
    text += QStringLiteral("Temporary directory: ") + facts.TempPath;
    text += QStringLiteral("\n\nMouse: ");
    text += facts.MouseButtons == 0
                ? QStringLiteral("Not installed")
                : QStringLiteral(" Present (%1 buttons)").arg(facts.MouseButtons);
    text +=
        QStringLiteral("\nScreen resolution: %1x%2").arg(facts.ScreenWidth).arg(facts.ScreenHeight);
    text += QStringLiteral("\nCurrent time: %1:%2").arg(facts.Hour).arg(facts.Minute);
    // Units of 1000 bytes although labelled "Kb".
    text += QStringLiteral("\nRAM: %1 Kb").arg(facts.TotalPhysicalMemory / 1000u);
    text += QStringLiteral("\nUser Name: ") + facts.UserName;
    text += QStringLiteral("\nComputer Name: ") + facts.ComputerName;
    text += QStringLiteral("\nComputer is on for %1 min ( >%2 h)\n")
                .arg(facts.UptimeMs / 60000u)
                .arg(facts.UptimeMs / 3600000u);
    text += QStringLiteral("\nDrives:\n");
    const bool freeSpaceQuery = HasFreeSpaceQuery(facts);
    for (const TDriveFacts& drive : facts.Drives) {
        if (drive.DriveType > 1 && drive.DriveType < static_cast<int>(kDriveTypeNames.size())) {
            text += driveLine(drive, freeSpaceQuery);
        }
    }
    text += QLatin1Char('\r');
    return text;
}
