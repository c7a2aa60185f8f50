#include "sysinfo/tdrmdisplaydevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <optional>

extern "C" {
#include <pci/pci.h>
}

namespace {

constexpr qsizetype kMaxDeviceString = 127;  // the 128-byte field less its terminating zero

void ignorePciMessage(char*, ...) {}

// Where libpci's error callback returns to while this thread looks a name up. The callback takes
// no context of its own, and it must not return into the library.
thread_local std::jmp_buf* pciFailure = nullptr;

// The library declares its error handler with GCC's attribute, which is part of the pointer's type
// for clang, so the standard [[noreturn]] would not match it.
__attribute__((noreturn)) void leavePciLookup(char*, ...) {
    std::longjmp(*pciFailure, 1);
}

// One reader of the PCI name list for a whole report; no bus access is needed for names. A name
// list the library cannot read (damaged, or an entry twice) gives no names at all.
class PciNames {
public:
    explicit PciNames(const QString& nameListFile) : access_(pci_alloc(), pci_cleanup) {
        access_->warning = ignorePciMessage;
        access_->debug = ignorePciMessage;
        // Without a handler the library calls an empty one, or ends the program.
        access_->error = leavePciLookup;
        if (!nameListFile.isEmpty()) {
            path_ = QFile::encodeName(nameListFile);
            pci_set_name_list_path(access_.get(), path_.data(), 0);
        }
    }

    QString name(unsigned vendor, unsigned device) {
        if (failed_) {
            return {};
        }
        char buffer[256] = {};
        const char* found = nullptr;
        // Only plain values live across the jump; the library's half-read list is freed with it.
        std::jmp_buf failure;
        pciFailure = &failure;
        if (setjmp(failure) == 0) {
            found = pci_lookup_name(access_.get(), buffer, sizeof buffer,
                                    PCI_LOOKUP_VENDOR | PCI_LOOKUP_DEVICE | PCI_LOOKUP_NO_HWDB,
                                    vendor, device);
        } else {
            failed_ = true;
            found = nullptr;
        }
        pciFailure = nullptr;
        return found ? QString::fromUtf8(found) : QString();
    }

private:
    std::unique_ptr<pci_access, void (*)(pci_access*)> access_;
    QByteArray path_;  // the library keeps the pointer
    bool failed_ = false;
};

QString readLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readLine(256)).trimmed();
}

std::optional<unsigned> readHexId(const QString& path) {
    bool ok = false;
    const unsigned value = readLine(path).toUInt(&ok, 16);
    if (!ok || value > 0xFFFF) {
        return std::nullopt;
    }
    return value;
}

QString driverName(const QString& deviceDir) {
    const QFileInfo driver(deviceDir + QStringLiteral("/driver"));
    if (driver.isSymLink()) {
        return QFileInfo(driver.symLinkTarget()).fileName();
    }
    QFile uevent(deviceDir + QStringLiteral("/uevent"));
    if (uevent.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : uevent.read(65536).split('\n')) {
            if (line.startsWith("DRIVER=")) {
                return QString::fromUtf8(line.mid(7)).trimmed();
            }
        }
    }
    return {};
}

QString describe(const QString& cardDir, const QString& cardName, PciNames& names) {
    const QString deviceDir = cardDir + QStringLiteral("/device");
    const auto vendor = readHexId(deviceDir + QStringLiteral("/vendor"));
    const auto device = readHexId(deviceDir + QStringLiteral("/device"));
    QString text;
    if (vendor && device) {
        text = names.name(*vendor, *device);
    }
    if (text.isEmpty()) {
        text = driverName(deviceDir);
    }
    if (text.isEmpty()) {
        text = cardName;
    }
    return text.left(kMaxDeviceString);
}

}  // namespace

std::vector<TDisplayDevice> DrmDisplayDevices(const QString& drmClassDir,
                                              const QString& pciNameList) {
    // Only the cards themselves: "card0-HDMI-A-1" is a connector, "renderD128" a render node.
    static const QRegularExpression cardPattern(QStringLiteral("^card(\\d+)$"));
    std::vector<std::pair<int, QString>> cards;
    const QStringList entries =
        QDir(drmClassDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& entry : entries) {
        const QRegularExpressionMatch match = cardPattern.match(entry);
        if (match.hasMatch()) {
            cards.emplace_back(match.captured(1).toInt(), entry);
        }
    }
    std::sort(cards.begin(), cards.end());

    std::vector<TDisplayDevice> devices;
    if (cards.empty()) {
        return devices;
    }
    PciNames names(pciNameList);
    for (const auto& [number, cardName] : cards) {
        devices.push_back(
            {cardName, describe(drmClassDir + QLatin1Char('/') + cardName, cardName, names)});
    }
    return devices;
}
