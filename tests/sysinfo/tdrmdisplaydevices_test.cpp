#include "sysinfo/tdrmdisplaydevices.h"
#include "tests/support/qtprinters.h"
#include "tests/sysinfo/treefile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

TEST(DrmDisplayDevicesTest, ListsCardsInNumberOrderNamedByThePciList) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString drm = root.path() + QStringLiteral("/class/drm");
    WriteTreeFile(drm + QStringLiteral("/card10/device/uevent"),
                  "DRIVER=vkms\nMODALIAS=platform:vkms\n");
    WriteTreeFile(drm + QStringLiteral("/card1/device/vendor"), "0x1af4\n");
    WriteTreeFile(drm + QStringLiteral("/card1/device/device"), "0x1050\n");
    WriteTreeFile(drm + QStringLiteral("/card0/device/vendor"), "0x8086\n");
    WriteTreeFile(drm + QStringLiteral("/card0/device/device"), "0x5916\n");
    WriteTreeFile(drm + QStringLiteral("/card0-eDP-1/status"), "connected\n");
    WriteTreeFile(drm + QStringLiteral("/renderD128/dev"), "226:128\n");
    WriteTreeFile(root.path() + QStringLiteral("/bus/platform/drivers/simpledrm/bind"), "");
    QDir().mkpath(drm + QStringLiteral("/card2/device"));
    ASSERT_TRUE(QFile::link(root.path() + QStringLiteral("/bus/platform/drivers/simpledrm"),
                            drm + QStringLiteral("/card2/device/driver")));
    WriteTreeFile(drm + QStringLiteral("/card3/device/vendor"), "0x8086\n");
    WriteTreeFile(drm + QStringLiteral("/card3/device/device"), "0xfffe\n");
    QDir().mkpath(drm + QStringLiteral("/card4"));
    WriteTreeFile(drm + QStringLiteral("/card5/device/vendor"), "garbage\n");

    const std::vector<TDisplayDevice> devices = DrmDisplayDevices(drm);
    QStringList names;
    for (const TDisplayDevice& device : devices) {
        names << device.DeviceName;
    }
    EXPECT_EQ(names, QStringList({QStringLiteral("card0"), QStringLiteral("card1"),
                                  QStringLiteral("card2"), QStringLiteral("card3"),
                                  QStringLiteral("card4"), QStringLiteral("card5"),
                                  QStringLiteral("card10")}));
    EXPECT_EQ(
        DisplayAdapterReport(devices),
        QStringList({QStringLiteral("Intel Corporation HD Graphics 620"),
                     QStringLiteral("Red Hat, Inc. Virtio 1.0 GPU"), QStringLiteral("simpledrm"),
                     QStringLiteral("Intel Corporation Device fffe"), QStringLiteral("card4"),
                     QStringLiteral("card5"), QStringLiteral("vkms")}));
}

TEST(DrmDisplayDevicesTest, AnUnreadablePciNameListGivesTheReportWithoutNames) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString drm = root.path() + QStringLiteral("/class/drm");
    WriteTreeFile(drm + QStringLiteral("/card0/device/vendor"), "0x8086\n");
    WriteTreeFile(drm + QStringLiteral("/card0/device/device"), "0x5916\n");
    WriteTreeFile(drm + QStringLiteral("/card0/device/uevent"), "DRIVER=i915\n");
    WriteTreeFile(drm + QStringLiteral("/card1/device/vendor"), "0x1af4\n");
    WriteTreeFile(drm + QStringLiteral("/card1/device/device"), "0x1050\n");
    const QString names = root.path() + QStringLiteral("/pci.ids");
    struct Case {
        const char* name;
        QByteArray list;
        QStringList report;
    };
    const QByteArray intel = "8086  Intel Corporation\n\t5916  HD Graphics 620\n";
    const Case cases[] = {
        {"readable",
         intel,
         {QStringLiteral("Intel Corporation HD Graphics 620"), QStringLiteral("Device 1af4:1050")}},
        {"an entry twice", intel + intel, {QStringLiteral("i915"), QStringLiteral("card1")}},
        {"a damaged line",
         intel + "1af4 Red Hat\n\t\t\tnot an entry\n",
         {QStringLiteral("i915"), QStringLiteral("card1")}},
        // A list that isn't there is no damage: the library names every device by its numbers.
        {"missing",
         QByteArray(),
         {QStringLiteral("Device 8086:5916"), QStringLiteral("Device 1af4:1050")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(names);
        if (!c.list.isEmpty()) {
            WriteTreeFile(names, c.list);
        }
        EXPECT_EQ(DisplayAdapterReport(DrmDisplayDevices(drm, names)), c.report);
    }
}

TEST(DrmDisplayDevicesTest, NoAdapterGivesAnEmptyReport) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    EXPECT_TRUE(DrmDisplayDevices(root.path()).empty());
    EXPECT_TRUE(DrmDisplayDevices(root.path() + QStringLiteral("/missing")).empty());
    EXPECT_TRUE(DisplayAdapterReport({}).isEmpty());
}

TEST(DrmDisplayDevicesTest, TheRealMachineGivesDefinedDescriptions) {
    for (const TDisplayDevice& device : DrmDisplayDevices()) {
        EXPECT_FALSE(device.DeviceString.isEmpty()) << device.DeviceName.toStdString();
        EXPECT_LE(device.DeviceString.size(), 127);
    }
}

}  // namespace
