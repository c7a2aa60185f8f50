// Counts the files a benchmark opens. These definitions take the place of the C library's open
// functions for the whole program, shared libraries included (the executable comes first in the
// symbol lookup), and pass every call on to the real function.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>

static atomic_long openCount;

long BenchOpenCount(void) {
    return atomic_load(&openCount);
}

typedef int (*TOpen)(const char*, int, ...);
typedef int (*TOpenAt)(int, const char*, int, ...);
typedef FILE* (*TFOpen)(const char*, const char*);

// The next definition of the name: the C library's own.
#define REAL(name, type)                     \
    static type real = NULL;                 \
    if (real == NULL) {                      \
        real = (type)dlsym(RTLD_NEXT, name); \
    }

static mode_t ModeOf(int flags, va_list args) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(args, mode_t) : 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    REAL("open", TOpen);
    atomic_fetch_add(&openCount, 1);
    return real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    REAL("open64", TOpen);
    atomic_fetch_add(&openCount, 1);
    return real(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = ModeOf(flags, args);
    va_end(args);
    REAL("openat", TOpenAt);
    atomic_fetch_add(&openCount, 1);
    return real(dir, path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
    REAL("fopen", TFOpen);
    atomic_fetch_add(&openCount, 1);
    return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    REAL("fopen64", TFOpen);
    atomic_fetch_add(&openCount, 1);
    return real(path, mode);
}
