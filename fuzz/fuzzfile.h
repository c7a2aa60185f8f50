#pragma once
// The file a fuzz target hands to code that reads by name: one per process, on a memory file
// system where there is one, removed at exit.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

// A failed property of a round trip: libFuzzer keeps the input and reports a crash.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

// A round trip that changed a field: its name goes with the report.
#define FUZZ_CHECK_FIELDS(field)                                                          \
    do {                                                                                  \
        if (const char* differs = (field); differs != nullptr) {                          \
            std::fprintf(stderr, "%s:%d: field %s changed in the round trip\n", __FILE__, \
                         __LINE__, differs);                                              \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)
