#pragma once
// The file a fuzz target hands to code that reads by name: one per process, on a memory file
// system where there is one, removed at exit.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tags/textcodec.h"

class FuzzFile {
public:
    explicit FuzzFile(const char* extension) {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        path_ = std::string(folder != nullptr ? folder : "/tmp") + "/tovra-fuzz-" +
                std::to_string(getpid()) + extension;
        name_ = Utf8ToUtf16(path_);
    }
    ~FuzzFile() { std::remove(path_.c_str()); }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const std::string& Path() const { return path_; }
    const std::u16string& Name() const { return name_; }

    void Write(const std::uint8_t* data, std::size_t size) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::vector<std::uint8_t> Read() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string path_;
    std::u16string name_;
};

// A failed property of a round trip: libFuzzer keeps the input and reports a crash. Replayed in
// the test suite (TOVRA_FUZZ_REPLAY), the failure is thrown instead, so the test names it and the
// other inputs still run.
[[noreturn]] inline void FuzzCheckFailed(const char* file, int line, const std::string& what) {
    const std::string text = std::string(file) + ":" + std::to_string(line) + ": " + what;
#ifdef TOVRA_FUZZ_REPLAY
    throw std::runtime_error(text);
#else
    std::fprintf(stderr, "%s\n", text.c_str());
    std::abort();
#endif
}

#define FUZZ_CHECK(condition)                                                 \
    do {                                                                      \
        if (!(condition)) {                                                   \
            FuzzCheckFailed(__FILE__, __LINE__, "check failed: " #condition); \
        }                                                                     \
    } while (false)

// A round trip that changed a field: its name goes with the report.
#define FUZZ_CHECK_FIELDS(field)                                                             \
    do {                                                                                     \
        if (const char* differs = (field); differs != nullptr) {                             \
            FuzzCheckFailed(__FILE__, __LINE__,                                              \
                            std::string("field ") + differs + " changed in the round trip"); \
        }                                                                                    \
    } while (false)
