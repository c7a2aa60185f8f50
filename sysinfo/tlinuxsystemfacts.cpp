#include "sysinfo/tlinuxsystemfacts.h"

#include "platform/tapplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTime>

#include <dlfcn.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace {

enum DriveType { kNoDrive = 0, kRemovable = 2, kFixed = 3, kRemote = 4, kOptical = 5, kRam = 6 };

// File systems by the drive type they stand for. Anything else (proc, sysfs, cgroup2, squashfs
// images, ...) is system plumbing and, like a drive of undetermined type, not listed.
DriveType typeOfFileSystem(const QString& fsType) {
    static const QSet<QString> local{
        QStringLiteral("ext2"),    QStringLiteral("ext3"),     QStringLiteral("ext4"),
        QStringLiteral("xfs"),     QStringLiteral("btrfs"),    QStringLiteral("f2fs"),
        QStringLiteral("jfs"),     QStringLiteral("reiserfs"), QStringLiteral("vfat"),
        QStringLiteral("msdos"),   QStringLiteral("exfat"),    QStringLiteral("ntfs"),
        QStringLiteral("ntfs3"),   QStringLiteral("fuseblk"),  QStringLiteral("hfs"),
        QStringLiteral("hfsplus"), QStringLiteral("zfs"),      QStringLiteral("bcachefs"),
        QStringLiteral("nilfs2"),  QStringLiteral("virtiofs")};
    static const QSet<QString> network{
        QStringLiteral("nfs"),         QStringLiteral("nfs4"),
        QStringLiteral("cifs"),        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),       QStringLiteral("ncpfs"),
        QStringLiteral("afs"),         QStringLiteral("9p"),
        QStringLiteral("ceph"),        QStringLiteral("glusterfs"),
        QStringLiteral("davfs"),       QStringLiteral("fuse.sshfs"),
        QStringLiteral("fuse.davfs2"), QStringLiteral("fuse.rclone"),
        QStringLiteral("fuse.s3fs"),   QStringLiteral("fuse.glusterfs")};
    if (local.contains(fsType)) {
        return kFixed;
    }
    if (network.contains(fsType)) {
        return kRemote;
    }
    if (fsType == QLatin1String("iso9660") || fsType == QLatin1String("udf")) {
        return kOptical;
    }
    if (fsType == QLatin1String("tmpfs") || fsType == QLatin1String("ramfs")) {
        return kRam;
    }
    return kNoDrive;
}

// Mount points the system keeps for itself; removable media under /run/media are the user's.
// Container runtimes and snaps keep their per-container file systems (overlays, tmpfs for /dev/shm
// and secrets, volumes) under /run, /var/lib and /var/snap, or in hidden folders of a home.
bool isSystemMountPoint(const QString& mountPoint) {
    static constexpr std::array<const char*, 7> kSystemTrees{
        "/proc", "/sys", "/dev", "/run", "/var/lib", "/var/snap", "/snap"};
    if (mountPoint.startsWith(QLatin1String("/run/media/"))) {
        return false;
    }
    if (mountPoint.contains(QLatin1String("/."))) {
        return true;
    }
    return std::any_of(kSystemTrees.begin(), kSystemTrees.end(), [&](const char* tree) {
        const QLatin1String root(tree);
        return mountPoint == root || mountPoint.startsWith(root + QLatin1Char('/'));
    });
}

// The device behind a mount, so that one mounted at several points is listed once: a block
// device (links such as /dev/disk/by-uuid/... resolved) or a network share. Empty for file
// systems without a device (tmpfs, ramfs), which are each their own.
QString deviceOf(const QString& source) {
    if (source.startsWith(QLatin1String("/dev/"))) {
        const QString resolved = QFileInfo(source).canonicalFilePath();
        return resolved.isEmpty() ? source : resolved;
    }
    if (source.startsWith(QLatin1String("//")) || source.contains(QLatin1String(":/"))) {
        return source;
    }
    return {};
}

// /proc/self/mounts writes blanks, tabs, newlines and backslashes as \ooo.
QString unescapeMountField(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok && code >= 0 && code <= 0xFF) {
                out.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

// A disk the kernel marks removable (USB sticks, card readers) shows as a removable drive.
bool isRemovableBlockDevice(const QString& source, const QString& sysRoot) {
    if (!source.startsWith(QLatin1String("/dev/"))) {
        return false;
    }
    const QFileInfo sourceInfo(source);
    const QString resolved = sourceInfo.exists() ? sourceInfo.canonicalFilePath() : source;
    const QString name = QFileInfo(resolved).fileName();
    const QString blockDir =
        QFileInfo(sysRoot + QStringLiteral("/class/block/") + name).canonicalFilePath();
    if (name.isEmpty() || blockDir.isEmpty()) {
        return false;
    }
    // A partition has no "removable" file of its own; its disk is the folder above it.
    for (const QString& dir : {blockDir, QFileInfo(blockDir).path()}) {
        QFile removable(dir + QStringLiteral("/removable"));
        if (removable.open(QIODevice::ReadOnly)) {
            return removable.readLine(8).trimmed() == "1";
        }
    }
    return false;
}

bool isOpticalBlockDevice(const QString& source) {
    static const QRegularExpression optical(QStringLiteral("^/dev/(sr\\d+|cdrom\\d*|dvd\\d*)$"));
    return optical.match(source).hasMatch();
}

// statvfs of a network file system whose server is gone can block for as long as the mount
// waits (for ever on a hard NFS mount), so it runs on a thread of its own and the report goes on
// without that drive's sizes when it has not answered in time.
std::optional<struct statvfs> fileSystemStats(const QString& path, bool mayHang) {
    const QByteArray name = QFile::encodeName(path);
    if (!mayHang) {
        struct statvfs stats {};
        return ::statvfs(name.constData(), &stats) == 0 ? std::optional(stats) : std::nullopt;
    }
    struct Answer {
        std::mutex lock;
        std::condition_variable answered;
        bool done = false;
        std::optional<struct statvfs> stats;
    };
    auto answer = std::make_shared<Answer>();
    std::thread([answer, name] {
        struct statvfs stats {};
        const bool ok = ::statvfs(name.constData(), &stats) == 0;
        const std::lock_guard<std::mutex> guard(answer->lock);
        answer->done = true;
        if (ok) {
            answer->stats = stats;
        }
        answer->answered.notify_one();
    }).detach();
    std::unique_lock<std::mutex> guard(answer->lock);
    answer->answered.wait_for(guard, std::chrono::seconds(2), [&] { return answer->done; });
    return answer->stats;
}

void addSizes(TDriveFacts& drive) {
    const auto stats = fileSystemStats(drive.Name, drive.DriveType == kRemote);
    if (!stats) {
        return;
    }
    drive.HasSizes = true;
    drive.TotalBytes = static_cast<std::uint64_t>(stats->f_blocks) * stats->f_frsize;
    drive.FreeBytes = static_cast<std::uint64_t>(stats->f_bfree) * stats->f_frsize;
}

void readKernelVersion(TSystemFacts& facts) {
    struct utsname names {};
    if (::uname(&names) != 0) {
        return;
    }
    // "6.1.0-13-amd64": major, minor and patch level, each from its leading digits.
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(names.release));
    facts.MajorVersion = match.captured(1).toUInt();
    facts.MinorVersion = match.captured(2).toUInt();
    facts.BuildNumber = match.captured(3).toUInt();
}

QString distributionName(const QString& osReleaseFile) {
    QFile file(osReleaseFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QString name;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(4096)).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            continue;
        }
        const QString key = line.left(equals);
        QString value = line.mid(equals + 1);
        if (value.size() >= 2 &&
            (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front()) {
            value = value.mid(1, value.size() - 2);
        }
        if (key == QLatin1String("PRETTY_NAME")) {
            return value;
        }
        if (key == QLatin1String("NAME")) {
            name = value;
        }
    }
    return name;
}

// The folder the C library was loaded from, the system's own library folder.
QString systemLibraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&::gethostname), &info) != 0 && info.dli_fname) {
        return QFileInfo(QString::fromUtf8(info.dli_fname)).path();
    }
    return QStringLiteral("/usr/lib");
}

// The buttons of the mouse with the most of them, from the kernel's input device list: a device
// handled as a mouse, counting its BTN_LEFT .. BTN_TASK key bits (wheels are no buttons). The
// window system's pointer is no help here: it reports a virtual device with dozens of buttons.
int mouseButtons(const QString& inputDevicesFile) {
    QFile file(inputDevicesFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    constexpr int kBtnLeft = 0x110;
    constexpr int kBtnTask = 0x117;
    constexpr int kWordBits = static_cast<int>(sizeof(unsigned long) * 8);  // the kernel's long
    int best = 0;
    bool mouse = false;
    QList<QByteArray> keyWords;
    const auto endDevice = [&] {
        if (mouse) {
            int buttons = 0;
            for (int bit = kBtnLeft; bit <= kBtnTask; ++bit) {
                const qsizetype index = keyWords.size() - 1 - bit / kWordBits;
                if (index >= 0 &&
                    (keyWords[index].toULongLong(nullptr, 16) >> (bit % kWordBits)) & 1u) {
                    ++buttons;
                }
            }
            best = std::max(best, buttons);
        }
        mouse = false;
        keyWords.clear();
    };
    // Read whole: a /proc file reports size 0.
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty()) {
            endDevice();
        } else if (line.startsWith("H: Handlers=")) {
            for (const QByteArray& handler : line.mid(12).simplified().split(' ')) {
                mouse = mouse || handler.startsWith("mouse");
            }
        } else if (line.startsWith("B: KEY=")) {
            keyWords = line.mid(7).simplified().split(' ');
        }
    }
    endDevice();
    return best;
}

QString userName() {
    std::array<char, 4096> buffer{};
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return QString::fromUtf8(found->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString computerName() {
    std::array<char, 256> buffer{};
    if (::gethostname(buffer.data(), buffer.size() - 1) != 0) {
        return {};
    }
    return QString::fromUtf8(buffer.data());
}

std::uint64_t uptimeMs() {
    struct timespec now {};
    if (::clock_gettime(CLOCK_BOOTTIME, &now) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

std::uint64_t totalMemory() {
    struct sysinfo info {};
    if (::sysinfo(&info) != 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

}  // namespace

std::vector<TDriveFacts> LinuxDrives(const TLinuxSystemSources& sources) {
    struct Listed {
        TDriveFacts drive;
        QString device;
    };
    std::vector<Listed> listed;
    QFile mounts(sources.MountsFile);
    if (!mounts.open(QIODevice::ReadOnly)) {
        return {};
    }
    // Read whole: a /proc file reports size 0, so reading line by line until atEnd() sees nothing.
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3) {
            continue;
        }
        const QString source = unescapeMountField(fields[0]);
        const QString mountPoint = unescapeMountField(fields[1]);
        const QString fsType = QString::fromUtf8(fields[2]);
        if (isSystemMountPoint(mountPoint)) {
            continue;
        }
        // A single file bound into place (a container's /etc/hosts) is no drive.
        const QFileInfo point(mountPoint);
        if (point.exists() && !point.isDir()) {
            continue;
        }
        DriveType type = typeOfFileSystem(fsType);
        // An overlay is a container's view of other file systems; only as the root of a system
        // that runs in a container is it where its user keeps files.
        if (fsType == QLatin1String("overlay") && mountPoint == QLatin1String("/")) {
            type = kFixed;
        }
        if (isOpticalBlockDevice(source)) {
            type = kOptical;
        } else if (type == kFixed && isRemovableBlockDevice(source, sources.SysRoot)) {
            type = kRemovable;
        }
        if (type == kNoDrive) {
            continue;
        }
        // A later mount on the same point hides the earlier one.
        std::erase_if(listed, [&](const Listed& l) { return l.drive.Name == mountPoint; });
        // A device mounted at several points (bind mounts, a container's volumes) is one drive,
        // at the first of them.
        const QString device = deviceOf(source);
        if (!device.isEmpty() && std::any_of(listed.begin(), listed.end(),
                                             [&](const Listed& l) { return l.device == device; })) {
            continue;
        }
        TDriveFacts drive;
        drive.Name = mountPoint;
        drive.DriveType = type;
        if (type == kFixed || type == kRemote || type == kRam) {
            addSizes(drive);
        }
        listed.push_back({drive, device});
    }
    std::vector<TDriveFacts> drives;
    for (const Listed& l : listed) {
        drives.push_back(l.drive);
    }
    return drives;
}

TSystemFacts LinuxSystemFacts(const TLinuxSystemSources& sources) {
    TSystemFacts facts;
    facts.PlatformId = TSystemFacts::PlatformLinux;
    readKernelVersion(facts);
    facts.ServicePack = distributionName(sources.OsReleaseFile);
    facts.WindowsDirectory = QStringLiteral("/");
    facts.SystemDirectory = systemLibraryFolder();
    facts.TempPath = QDir::tempPath();
    if (!facts.TempPath.endsWith(QLatin1Char('/'))) {
        facts.TempPath += QLatin1Char('/');
    }
    facts.MouseButtons = mouseButtons(sources.InputDevicesFile);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize size = screen->geometry().size() * screen->devicePixelRatio();
            facts.ScreenWidth = size.width();
            facts.ScreenHeight = size.height();
        }
    }
    const QTime now = QTime::currentTime();
    facts.Hour = now.hour();
    facts.Minute = now.minute();
    facts.TotalPhysicalMemory = totalMemory();
    facts.UserName = userName();
    facts.ComputerName = computerName();
    facts.UptimeMs = uptimeMs();
    facts.Drives = LinuxDrives(sources);
    return facts;
}

void ShowSystemInfoReport(QWidget* parent) {
    TApplication::instance().showMessage(SystemInfoReport(LinuxSystemFacts()), parent);
}
