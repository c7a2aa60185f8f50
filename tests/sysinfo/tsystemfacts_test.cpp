#include "sysinfo/tsystemfacts.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

TDriveFacts drive(const char* name, int type, std::uint64_t total = 0, std::uint64_t free = 0) {
    return {QString::fromUtf8(name), type, total != 0, total, free};
}

// A Windows XP machine as the report would have found it.
TSystemFacts windowsXp() {
    TSystemFacts facts;
    facts.PlatformId = 2;
    facts.MajorVersion = 5;
    facts.MinorVersion = 1;
    facts.BuildNumber = 2600;
    facts.ServicePack = QStringLiteral("Service Pack 2");
    facts.WindowsDirectory = QStringLiteral("C:\\WINDOWS");
    facts.SystemDirectory = QStringLiteral("C:\\WINDOWS\\system32");
    facts.TempPath = QStringLiteral("C:\\DOCUME~1\\Dewi\\LOCALS~1\\Temp\\");
    facts.MouseButtons = 3;
    facts.ScreenWidth = 1024;
    facts.ScreenHeight = 768;
    facts.Hour = 9;
    facts.Minute = 5;
    facts.TotalPhysicalMemory = 536334336;
    facts.UserName = QStringLiteral("Dewi");
    facts.ComputerName = QStringLiteral("KAMAR");
    facts.UptimeMs = (2 * 60 + 5) * 60000 + 59999;
    facts.Drives = {drive("A", 2),
                    drive("C", 3, 80023000000ull, 12345000000ull),
                    drive("D", 5, 700000000, 0),
                    drive("Z", 4, 2000000000, 1999999),
                    drive("Q", 1),
                    drive("R", 0)};
    return facts;
}

TEST(SystemInfoReportTest, WindowsExampleReadsExactly) {
    const QString expected = QStringLiteral(
        "Info Windows NT5.1.2600(Service Pack 2)\n\n"
        "Windows directory: C:\\WINDOWS\n"
        "System directory: C:\\WINDOWS\\system32\n"
        "Temporary directory: C:\\DOCUME~1\\Dewi\\LOCALS~1\\Temp\\"
        "\n\nMouse:  Present (3 buttons)"
        "\nScreen resolution: 1024x768"
        "\nCurrent time: 9:5"
        "\nRAM: 536334 Kb"
        "\nUser Name: Dewi"
        "\nComputer Name: KAMAR"
        "\nComputer is on for 125 min ( >2 h)\n"
        "\nDrives:\n"
        " A: Floppy\n"
        " C: HardDisk(Size: 80023 Mb; Free: 12345Mb)\n"
        " D: CD/DVD\n"
        " Z: Network(Size: 2000 Mb; Free: 1Mb)\n"
        "\r");
    EXPECT_EQ(SystemInfoReport(windowsXp()), expected);
}

TEST(SystemInfoReportTest, FamilyWordAndVersionByPlatform) {
    struct Case {
        std::uint32_t platform, major, minor, build;
        const char* start;
    };
    for (const Case& c : {Case{0, 3, 10, 0, "Info Windows 3.1 + Win32s 3.10.0("},
                          Case{1, 4, 10, 0x040A08AE, "Info Windows 98 4.10.2222("},
                          Case{1, 4, 0, 950, "Info Windows 95 4.0.950("},
                          Case{1, 4, 90, 3000, "Info Windows 9X or better 4.90.3000("},
                          Case{2, 6, 1, 7601, "Info Windows NT6.1.7601("},
                          Case{TSystemFacts::PlatformLinux, 6, 1, 0, "Info Windows 6.1.0("},
                          Case{7, 1, 2, 3, "Info Windows 1.2.3("}}) {
        TSystemFacts facts;
        facts.PlatformId = c.platform;
        facts.MajorVersion = c.major;
        facts.MinorVersion = c.minor;
        facts.BuildNumber = c.build;
        EXPECT_TRUE(SystemInfoReport(facts).startsWith(QString::fromUtf8(c.start)))
            << SystemInfoReport(facts).left(40).toStdString();
    }
}

TEST(SystemInfoReportTest, SizesOnlyWhereTheFreeSpaceQueryExists) {
    struct Case {
        std::uint32_t platform, minor, build;
        bool sizes;
    };
    for (const Case& c : {Case{0, 10, 5000, false}, Case{1, 0, 950, false}, Case{1, 0, 1111, true},
                          Case{1, 10, 0, true}, Case{2, 0, 0, true},
                          Case{TSystemFacts::PlatformLinux, 0, 0, true}}) {
        TSystemFacts facts;
        facts.PlatformId = c.platform;
        facts.MinorVersion = c.minor;
        facts.BuildNumber = c.build;
        facts.Drives = {drive("/", 3, 5000000, 3000000), drive("/tmp", 6, 9000000, 9000000)};
        EXPECT_EQ(HasFreeSpaceQuery(facts), c.sizes) << c.platform << " " << c.build;
        const QString drives = SystemInfoReport(facts).section(QStringLiteral("\nDrives:\n"), 1);
        EXPECT_EQ(drives, c.sizes ? QStringLiteral(" /: HardDisk(Size: 5 Mb; Free: 3Mb)\n"
                                                   " /tmp: RAM(Size: 9 Mb; Free: 9Mb)\n\r")
                                  : QStringLiteral(" /: HardDisk\n /tmp: RAM\n\r"));
    }
}

TEST(SystemInfoReportTest, NoMouseAndUnansweredSizes) {
    TSystemFacts facts = windowsXp();
    facts.MouseButtons = 0;
    facts.Drives = {drive("C", 3)};  // the free-space query failed: type only
    const QString text = SystemInfoReport(facts);
    EXPECT_TRUE(text.contains(QStringLiteral("\n\nMouse: Not installed\nScreen")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\nDrives:\n C: HardDisk\n\r")));
}

TEST(SystemInfoReportTest, UptimeIsSixtyFourBitWithoutWrap) {
    TSystemFacts facts;
    facts.UptimeMs = 60ull * 24 * 3600000;  // sixty days, past the 32-bit millisecond wrap
    EXPECT_TRUE(SystemInfoReport(facts).contains(QStringLiteral("on for 86400 min ( >1440 h)\n")));
}

}  // namespace
