#include "sysinfo/tlinuxsystemfacts.h"
#include "platform/tapplication.h"
#include "tests/support/messagecapture.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"
#include "tests/sysinfo/treefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A machine laid out in a temporary folder: os-release, a mount table and the block devices'
// removable flags.
class LinuxSystemFactsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        const QString r = root_.path();
        sources_.OsReleaseFile = r + QStringLiteral("/etc/os-release");
        sources_.MountsFile = r + QStringLiteral("/proc/mounts");
        sources_.SysRoot = r + QStringLiteral("/sys");
        sources_.InputDevicesFile = r + QStringLiteral("/proc/bus/input/devices");
        WriteTreeFile(sources_.OsReleaseFile,
                      "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                      "VERSION_ID=\"12\"\n");
        for (const char* disk : {"sda", "sdb"}) {
            const QString diskDir =
                r + QStringLiteral("/sys/devices/pci0000:00/block/") + QString::fromLatin1(disk);
            WriteTreeFile(diskDir + QStringLiteral("/removable"), disk[2] == 'b' ? "1\n" : "0\n");
            WriteTreeFile(diskDir + QLatin1Char('/') + QString::fromLatin1(disk) +
                              QStringLiteral("1/partition"),
                          "1\n");
            QDir().mkpath(r + QStringLiteral("/sys/class/block"));
            QFile::link(diskDir + QLatin1Char('/') + QString::fromLatin1(disk) + QLatin1Char('1'),
                        r + QStringLiteral("/sys/class/block/") + QString::fromLatin1(disk) +
                            QLatin1Char('1'));
        }
        for (const char* dir : {"home", "media/USB Stick", "media/cdrom", "net", "ram", "cg",
                                "home/korvi/Musik", "net2", "home/korvi/.local/share/c/shm"}) {
            QDir().mkpath(r + QLatin1Char('/') + QString::fromLatin1(dir));
        }
        WriteTreeFile(r + QStringLiteral("/hosts"), "127.0.0.1 localhost\n");
        const QByteArray t = QFile::encodeName(r);
        WriteTreeFile(sources_.MountsFile,
                      "overlay / overlay rw,relatime 0 0\n"
                      "proc /proc proc rw 0 0\n"
                      "tmpfs /dev tmpfs rw 0 0\n"
                      "tmpfs /run/lock tmpfs rw 0 0\n"
                      "sysfs /sys sysfs ro 0 0\n"
                      "/dev/sda1 " +
                          t +
                          "/home ext4 rw 0 0\n"
                          "/dev/sdb1 " +
                          t +
                          "/media/USB\\040Stick vfat rw 0 0\n"
                          "/dev/sr0 " +
                          t +
                          "/media/cdrom iso9660 ro 0 0\n"
                          "nas:/export " +
                          t +
                          "/net nfs4 rw 0 0\n"
                          "tmpfs " +
                          t +
                          "/ram tmpfs rw 0 0\n"
                          "cgroup2 " +
                          t +
                          "/cg cgroup2 rw 0 0\n"
                          "/dev/sda1 " +
                          t +
                          "/hosts ext4 rw 0 0\n"
                          "/dev/sda1 " +
                          t +
                          "/home ext4 rw 0 0\n"
                          "broken\n"
                          // What containers add: their overlays, a tmpfs each for /dev/shm and
                          // secrets, volumes bound from a disk or share that is listed already.
                          "overlay /var/lib/docker/overlay2/1f/merged overlay rw 0 0\n"
                          "shm /var/lib/docker/containers/1f/mounts/shm tmpfs rw 0 0\n"
                          "tmpfs /var/lib/kubelet/pods/7c/volumes/secret tmpfs rw 0 0\n"
                          "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                          "overlay /snap/core/17/overlay overlay rw 0 0\n"
                          "shm " +
                          t +
                          "/home/korvi/.local/share/c/shm tmpfs rw 0 0\n"
                          "/dev/sda1 " +
                          t +
                          "/home/korvi/Musik ext4 rw 0 0\n"
                          "nas:/export " +
                          t + "/net2 nfs4 rw 0 0\n");
    }

    QTemporaryDir root_;
    TLinuxSystemSources sources_;
};

// A system's root overlay is listed; the overlays and tmpfs of containers are not, nor a second
// mount of a device.
TEST_F(LinuxSystemFactsTest, MountedFileSystemsStandForDrives) {
    const std::vector<TDriveFacts> drives = LinuxDrives(sources_);
    const QString r = root_.path();
    struct Expected {
        QString name;
        int type;
        bool sizes;
    };
    const std::vector<Expected> expected = {
        {QStringLiteral("/"), 3, true},
        {r + QStringLiteral("/media/USB Stick"), 2, false},
        {r + QStringLiteral("/media/cdrom"), 5, false},
        {r + QStringLiteral("/net"), 4, true},
        {r + QStringLiteral("/ram"), 6, true},
        {r + QStringLiteral("/home"), 3, true},
    };
    ASSERT_EQ(drives.size(), expected.size());
    for (std::size_t i = 0; i < drives.size(); ++i) {
        EXPECT_EQ(drives[i].Name, expected[i].name) << i;
        EXPECT_EQ(drives[i].DriveType, expected[i].type) << i;
        EXPECT_EQ(drives[i].HasSizes, expected[i].sizes) << i;
        if (drives[i].HasSizes) {
            EXPECT_GT(drives[i].TotalBytes, 0u) << i;
            EXPECT_LE(drives[i].FreeBytes, drives[i].TotalBytes) << i;
        }
    }
}

TEST_F(LinuxSystemFactsTest, FactsFollowTheLinuxConventions) {
    TestApplication();
    const TSystemFacts facts = LinuxSystemFacts(sources_);
    EXPECT_EQ(facts.PlatformId, TSystemFacts::PlatformLinux);
    EXPECT_GT(facts.MajorVersion, 0u);
    EXPECT_EQ(facts.ServicePack, QStringLiteral("Debian GNU/Linux 12 (bookworm)"));
    EXPECT_EQ(facts.WindowsDirectory, QStringLiteral("/"));
    EXPECT_TRUE(QFileInfo(facts.SystemDirectory).isDir()) << facts.SystemDirectory.toStdString();
    EXPECT_TRUE(facts.TempPath.endsWith(QLatin1Char('/')));
    EXPECT_GT(facts.ScreenWidth, 0);
    EXPECT_GT(facts.ScreenHeight, 0);
    EXPECT_GT(facts.TotalPhysicalMemory, 0u);
    EXPECT_FALSE(facts.UserName.isEmpty());
    EXPECT_FALSE(facts.ComputerName.isEmpty());
    EXPECT_GT(facts.UptimeMs, 0u);
    EXPECT_EQ(facts.Drives.size(), 6u);

    WriteTreeFile(sources_.OsReleaseFile, "NAME='Plain Linux'\n");
    EXPECT_EQ(LinuxSystemFacts(sources_).ServicePack, QStringLiteral("Plain Linux"));
}

TEST_F(LinuxSystemFactsTest, MouseButtonsComeFromTheKernelsInputDevices) {
    const QByteArray keyboard =
        "I: Bus=0011 Vendor=0001 Product=0001 Version=ab41\nN: Name=\"AT Keyboard\"\n"
        "H: Handlers=sysrq kbd event0 leds\nB: EV=120013\n"
        "B: KEY=402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe\n\n";
    // BTN_LEFT, BTN_RIGHT and BTN_MIDDLE: bits 16-18 of the fifth 64-bit word from the end.
    const QByteArray wheelMouse =
        "I: Bus=0003 Vendor=046d Product=c077\nN: Name=\"USB Mouse\"\n"
        "H: Handlers=mouse0 event5 \nB: KEY=70000 0 0 0 0\nB: REL=903\n\n";
    // Left, right, middle, side and extra.
    const QByteArray fiveButtons =
        "N: Name=\"Gaming Mouse\"\nH: Handlers=event7 mouse2\nB: KEY=1f0000 0 0 0 0\n";
    // A touchpad: BTN_LEFT and the finger tools (0x145..), which are no buttons.
    const QByteArray touchpad =
        "N: Name=\"Touchpad\"\nH: Handlers=mouse1 event6\nB: KEY=e520 10000 0 0 0 0\n\n";
    struct Case {
        QByteArray devices;
        int buttons;
    };
    for (const Case& c : {Case{keyboard, 0}, Case{keyboard + wheelMouse, 3}, Case{touchpad, 1},
                          Case{wheelMouse + touchpad + fiveButtons, 5}, Case{"", 0},
                          Case{"H: Handlers=mouse0\nB: KEY=zz\n", 0}}) {
        WriteTreeFile(sources_.InputDevicesFile, c.devices);
        EXPECT_EQ(LinuxSystemFacts(sources_).MouseButtons, c.buttons) << c.devices.toStdString();
    }
    QFile::remove(sources_.InputDevicesFile);
    EXPECT_EQ(LinuxSystemFacts(sources_).MouseButtons, 0);
}

TEST(LinuxSystemReportTest, TheRealMachineIsShownInAPlainMessageBox) {
    TestApplication();
    std::vector<TApplication::MessageRequest> shown;
    {
        TMessageCapture messages;
        ShowSystemInfoReport();
        shown = messages.Requests;
    }

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, TApplication::instance().Title());
    EXPECT_EQ(shown[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(shown[0].buttons, QMessageBox::Ok);
    const QString& text = shown[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Info Windows "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nWindows directory: /\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nDrives:\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n\r")));
    EXPECT_FALSE(text.contains(QChar(0)));
    // The root file system is always mounted, and always a kind the report lists.
    EXPECT_FALSE(LinuxDrives().empty());
}

}  // namespace
