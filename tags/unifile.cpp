#include "tags/unifile.h"

#include "tags/bytes.h"
#include "tags/textcodec.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

// Closes fd and reports err as the reason of the failed open.
THandle FailOpen(int fd, int err) {
    ::close(fd);
    errno = err;
    return INVALID_HANDLE_VALUE;
}

// The flock operation that stands for a share nibble. A handle that shares nothing holds the file
// alone; one that shares anything coexists with other sharers but, like every open handle, keeps a
// handle that shares nothing out.
int LockFor(std::uint16_t mode) {
    switch ((mode >> 4) & 0x0F) {
        case 2:
        case 3:
        case 4:
            return LOCK_SH;
        default:
            return LOCK_EX;
    }
}

// Opens without waiting (a named pipe would block the open) and accepts regular files only; size
// (when given) receives the file's size. A handle that writes then loses O_NONBLOCK and writes in
// the ordinary, blocking way. One that only reads keeps it and saves the call: reads of a regular
// file pay no heed to it.
THandle OpenRegular(const std::string& name, int flags, std::int64_t* size = nullptr) {
    const int fd = ::open(name.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return FailOpen(fd, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return FailOpen(fd, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    // Only the status flags change; ours never include O_NONBLOCK, so it goes.
    if ((flags & O_ACCMODE) != O_RDONLY && ::fcntl(fd, F_SETFL, flags) != 0) {
        return FailOpen(fd, errno);
    }
    if (size != nullptr) {
        *size = st.st_size;
    }
    return fd;
}

// Every extended attribute of from, with its value, on to. A value the copy has already (one the
// system gave it on creation) is left alone.
bool CopyExtendedAttributes(int from, int to) {
    const ssize_t listLength = ::flistxattr(from, nullptr, 0);
    if (listLength < 0) {
        return errno == ENOTSUP;  // a file system without them has none to lose
    }
    std::string names(static_cast<std::size_t>(listLength), '\0');
    const ssize_t got = ::flistxattr(from, names.data(), names.size());
    if (got < 0) {
        return false;
    }
    names.resize(static_cast<std::size_t>(got));
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        const ssize_t valueLength = ::fgetxattr(from, name, nullptr, 0);
        if (valueLength < 0) {
            return false;
        }
        std::string value(static_cast<std::size_t>(valueLength), '\0');
        const ssize_t read = ::fgetxattr(from, name, value.data(), value.size());
        if (read < 0) {
            return false;
        }
        value.resize(static_cast<std::size_t>(read));
        std::string present(value.size() + 1, '\0');
        const ssize_t has = ::fgetxattr(to, name, present.data(), present.size());
        if (has == std::ssize(value) && present.compare(0, value.size(), value) == 0) {
            continue;
        }
        if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    return true;
}

THandle Lock(int fd, int lock) {
    if (::flock(fd, lock | LOCK_NB) != 0) {
        // Another handle holds the file: a sharing violation.
        return FailOpen(fd, errno == EWOULDBLOCK ? EBUSY : errno);
    }
    return fd;
}

}  // namespace

THandle UniCreateFile(const std::u16string& fileName) {
    std::string name;
    if (!UniNativeName(fileName, name)) {
        return INVALID_HANDLE_VALUE;
    }
    // Not O_TRUNC: a file that another handle holds must not be emptied before the lock is refused.
    const int fd = OpenRegular(name, O_RDWR | O_CREAT);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    if (Lock(fd, LOCK_EX) == INVALID_HANDLE_VALUE) {
        return INVALID_HANDLE_VALUE;
    }
    if (::ftruncate(fd, 0) != 0) {
        return FailOpen(fd, errno);
    }
    return fd;
}

THandle UniCreateNewFile(const std::u16string& fileName) {
    std::string name;
    if (!UniNativeName(fileName, name)) {
        return INVALID_HANDLE_VALUE;
    }
    const int fd = OpenRegular(name, O_RDWR | O_CREAT | O_EXCL);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return Lock(fd, LOCK_EX);
}

THandle UniOpenFile(const std::u16string& fileName, std::uint16_t mode, std::int64_t* size) {
    if (mode == fmCreate) {
        const THandle created = UniCreateFile(fileName);
        if (created >= 0 && size != nullptr) {
            *size = 0;
        }
        return created;
    }
    std::string name;
    if (!UniNativeName(fileName, name)) {
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_RDONLY;
    switch (mode & 0x03) {
        case 1:
            flags = O_WRONLY;
            break;
        case 2:
            flags = O_RDWR;
            break;
        default:
            break;
    }
    const int fd = OpenRegular(name, flags, size);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return Lock(fd, LockFor(mode));
}

bool UniFileExists(const std::u16string& fileName) {
    std::string name;
    struct stat st {};
    return UniNativeName(fileName, name) && ::stat(name.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool UniEntryExists(const std::u16string& fileName) {
    std::string name;
    struct stat st {};
    return UniNativeName(fileName, name) && ::lstat(name.c_str(), &st) == 0;
}

bool UniSetAttributes(const std::u16string& fileName, std::uint32_t attributes) {
    std::string name;
    struct stat st {};
    if (!UniNativeName(fileName, name) || ::stat(name.c_str(), &st) != 0) {
        return false;
    }
    const mode_t current = st.st_mode & 07777;
    const mode_t wanted = (attributes & FILE_ATTRIBUTE_READONLY) != 0
                              ? current & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}
                              : current | S_IWUSR;
    // Nothing to change: leave the file (and its change time) alone.
    return wanted == current || ::chmod(name.c_str(), wanted) == 0;
}

bool UniDeleteFile(const std::u16string& fileName) {
    std::string name;
    return UniNativeName(fileName, name) && ::unlink(name.c_str()) == 0;
}

bool UniMoveFile(const std::u16string& oldName, const std::u16string& newName) {
    std::string from;
    std::string to;
    if (!UniNativeName(oldName, from) || !UniNativeName(newName, to)) {
        return false;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // File systems without RENAME_NOREPLACE: test, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::u16string UniFullPath(const std::u16string& fileName) {
    std::string name;
    if (!UniNativeName(fileName, name)) {
        return {};
    }
    std::error_code error;
    std::filesystem::path path(name);
    if (path.is_relative()) {
        const std::filesystem::path cwd = std::filesystem::current_path(error);
        if (error) {
            return fileName;
        }
        path = cwd / path;
    }
    return NativeToUtf16(path.lexically_normal().string());
}

std::u16string UniResolvedPath(const std::u16string& fileName) {
    std::string name;
    if (!UniNativeName(fileName, name)) {
        return fileName;
    }
    char* resolved = ::realpath(name.c_str(), nullptr);
    if (resolved == nullptr) {
        return fileName;
    }
    std::u16string result = NativeToUtf16(resolved);
    std::free(resolved);
    return result;
}

std::string UniErrorText(int errorCode) {
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may or may not live in the buffer.
    const char* text = ::strerror_r(errorCode, buffer, sizeof buffer);
    std::string result = text != nullptr ? text : "";
    if (Trim(result).empty()) {
        result = "Unspecified error (" + std::to_string(errorCode) + ") from system.";
    }
    return result;
}

int UniLastError() {
    return errno;
}

bool UniCloseHandle(THandle handle) {
    return handle >= 0 && ::close(handle) == 0;
}

std::int64_t UniFileRead(THandle handle, void* buffer, std::int64_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(handle, out + done, static_cast<std::size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    return done;
}

std::int64_t UniFileSeek(THandle handle, std::int64_t offset, int origin) {
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    return ::lseek(handle, offset, whence);
}

std::int64_t UniFileSize(THandle handle) {
    struct stat st {};
    return ::fstat(handle, &st) == 0 ? st.st_size : -1;
}

TFileVersion UniFileVersion(THandle handle) {
    struct stat st {};
    if (::fstat(handle, &st) != 0) {
        return {};
    }
    return {st.st_dev, st.st_ino, st.st_size,
            std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

bool UniFlushFolder(const std::u16string& fileName) {
    std::string name;
    if (!UniNativeName(fileName, name)) {
        return false;
    }
    std::string folder = std::filesystem::path(name).parent_path().string();
    if (folder.empty()) {
        folder = ".";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return ok;
}

bool UniReplaceFile(const std::u16string& source, const std::u16string& target) {
    std::string from;
    std::string to;
    if (!UniNativeName(source, from) || !UniNativeName(target, to)) {
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    // The rename has happened; a failed flush of the folder only weakens its durability.
    UniFlushFolder(target);
    return true;
}

bool UniCopyAttributes(THandle from, THandle to) {
    struct stat source {};
    struct stat copy {};
    if (::fstat(from, &source) != 0) {
        return false;
    }
    if (::fchown(to, source.st_uid, source.st_gid) != 0) {
        // Refused unless privileged or (for the group alone) a member; the check below tells.
    }
    if (::fstat(to, &copy) != 0) {
        return false;
    }
    if (copy.st_uid != source.st_uid || copy.st_gid != source.st_gid) {
        errno = EPERM;
        return false;
    }
    // The permissions last: setting an access ACL rewrites them from its entries.
    return CopyExtendedAttributes(from, to) &&
           ::fchmod(to, (source.st_mode & 07777) | S_IWUSR) == 0;
}

bool UniNativeName(const std::u16string& fileName, std::string& out) {
    // An embedded zero cannot name a file; a name without bytes of its own is refused, never
    // replaced by another.
    if (fileName.empty() || fileName.find(u'\0') != std::u16string::npos) {
        errno = ENOENT;
        return false;
    }
    if (!Utf16ToNative(fileName, out)) {
        errno = EILSEQ;
        return false;
    }
    return true;
}
