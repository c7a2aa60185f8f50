// A second program for the fault tests: it saves tags while the test's own process or another
// copy of this one works on the same file, holds a file as a reader would, or saves on a disk
// that is nearly full. Sits beside the WMA module it loads.
//   saver loop KIND FILE PREFIX N       N saves of PREFIX0 .. PREFIX<N-1>; prints the last
//                                       number that saved, -1 when none did
//   saver hold FILE MARKER              holds FILE open for reading, creates MARKER, and waits
//                                       for its input to end
//   saver fulldisk KIND ORIGINAL FOLDER ROOM
//                                       mounts a small disk on FOLDER (a tmpfs in a mount
//                                       namespace of its own; where that is not allowed, a limit
//                                       on the size of the files it writes), copies ORIGINAL in,
//                                       leaves ROOM bytes free (rounded up to whole pages) and
//                                       saves once; prints what happened, one fact per line
// KIND is one of savers.h.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tags/unifile.h"
#include "tests/reliability/saver/savers.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kPage = 4096;
constexpr std::uint64_t kDiskSize = 4u << 20;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool written = ::write(fd, text.data(), text.size()) == std::ssize(text);
    ::close(fd);
    return written;
}

// A mount namespace of our own (as an unprivileged user, inside a user namespace that maps us
// to its root), so the small disk is seen by this process only and goes when it ends.
bool MountSmallDisk(const std::string& folder) {
    if (::unshare(CLONE_NEWNS) != 0) {
        const std::string uid = std::to_string(::getuid());
        const std::string gid = std::to_string(::getgid());
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            !WriteText("/proc/self/setgroups", "deny") ||
            !WriteText("/proc/self/uid_map", "0 " + uid + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + gid + " 1")) {
            return false;
        }
    }
    const std::string size = "size=" + std::to_string(kDiskSize);
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) == 0;
}

int FullDisk(const std::string& kind, const fs::path& original, const fs::path& folder,
             std::uint64_t room) {
    const std::string bytes = ReadAll(original);
    const fs::path file = folder / original.filename();
    const bool tmpfs = MountSmallDisk(folder.string());
    std::ofstream(file, std::ios::binary) << bytes;
    if (tmpfs) {
        // Everything but the room goes into a filler beside the folder's entries.
        struct statvfs disk {};
        ::statvfs(folder.c_str(), &disk);
        const std::uint64_t pages = (room + kPage - 1) / kPage;
        const std::uint64_t free = disk.f_bavail * disk.f_frsize;
        fs::create_directory(folder / "filler");
        std::ofstream filler(folder / "filler" / "fill", std::ios::binary);
        const std::string block(kPage, '\0');
        for (std::uint64_t left = free > pages * kPage ? free - pages * kPage : 0; left > 0;
             left -= kPage) {
            filler.write(block.data(), kPage);
        }
    } else {
        // No file this process writes may grow past the room: a copy of the file fits when the
        // room is its length, and nothing more does.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlim_t most = std::max<rlim_t>(room, 1);
        const rlimit limit{most, most};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    const bool saved = savers::Save(kind, Utf8ToUtf16(file.string()), "New");
    std::printf("disk=%s\n", tmpfs ? "tmpfs" : "limit");
    std::printf("saved=%d\n", saved ? 1 : 0);
    std::printf("same=%d\n", ReadAll(file) == bytes ? 1 : 0);
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        entries += entry.path().filename() != "filler" ? 1 : 0;
    }
    std::printf("entries=%d\n", entries);
    for (const std::string& message : savers::Messages()) {
        std::printf("message=%s\n", message.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "loop" && argc == 6) {
        int last = -1;
        for (int i = 0; i < std::atoi(argv[5]); ++i) {
            if (savers::Save(argv[2], Utf8ToUtf16(argv[3]), argv[4] + std::to_string(i))) {
                last = i;
            }
        }
        std::printf("%d\n", last);
        return 0;
    }
    if (command == "hold" && argc == 4) {
        const THandle handle = UniOpenFile(Utf8ToUtf16(argv[2]), fmShareDenyWrite);
        if (handle == INVALID_HANDLE_VALUE) {
            return 1;
        }
        std::ofstream(argv[3]) << "held\n";
        while (std::getchar() != EOF) {
        }
        UniCloseHandle(handle);
        return 0;
    }
    if (command == "fulldisk" && argc == 6) {
        return FullDisk(argv[2], argv[3], argv[4], std::strtoull(argv[5], nullptr, 10));
    }
    std::fprintf(stderr,
                 "usage: saver loop KIND FILE PREFIX N | hold FILE MARKER |"
                 " fulldisk KIND ORIGINAL FOLDER ROOM\n");
    return 2;
}
