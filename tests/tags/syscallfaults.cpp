#include "syscallfaults.h"

#include <sys/types.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

extern "C" {
ssize_t __real_write(int fd, const void* buffer, size_t count);
int __real_ftruncate(int fd, off_t length);
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);
}

namespace {

bool armed = false;
std::size_t calls = 0;
std::size_t failAt = 0;
bool failNextWrite = false;

// Counts the call; true when this is the one that fails.
bool Fails() {
    if (!armed) {
        return false;
    }
    ++calls;
    return calls == failAt;
}

}  // namespace

namespace syscallfaults {

void Arm(std::size_t at) {
    armed = true;
    calls = 0;
    failAt = at;
    failNextWrite = false;
}

std::size_t Disarm() {
    armed = false;
    failNextWrite = false;
    return calls;
}

}  // namespace syscallfaults

extern "C" {

ssize_t __wrap_write(int fd, const void* buffer, size_t count) {
    if (armed && failNextWrite) {
        failNextWrite = false;
        errno = ENOSPC;
        return -1;
    }
    if (Fails()) {
        if (count < 2) {
            errno = ENOSPC;
            return -1;
        }
        failNextWrite = true;
        return __real_write(fd, buffer, count / 2);
    }
    return __real_write(fd, buffer, count);
}

int __wrap_ftruncate(int fd, off_t length) {
    if (Fails()) {
        errno = EIO;
        return -1;
    }
    return __real_ftruncate(fd, length);
}

int __wrap_fsync(int fd) {
    if (Fails()) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

int __wrap_rename(const char* from, const char* to) {
    if (Fails()) {
        errno = EIO;
        return -1;
    }
    return __real_rename(from, to);
}
}
