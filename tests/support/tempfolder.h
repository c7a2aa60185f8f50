#pragma once

// A temporary folder for one test, removed with everything in it afterwards (also what a test
// left read-only), and whole-file reads and writes of bytes.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// False when the file could not be written whole.
inline bool WriteFileBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

class TTempFolder {
public:
    TTempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tovra-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TTempFolder() {
        std::error_code ignored;
        for (auto entry = std::filesystem::recursive_directory_iterator(path_, ignored);
             entry != std::filesystem::recursive_directory_iterator(); entry.increment(ignored)) {
            if (entry->is_directory(ignored)) {
                std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // UTF-8 path of a file in the folder.
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // Writes the bytes as the named file and returns its path.
    std::string write(std::string_view name, std::span<const std::uint8_t> bytes) const {
        const std::string target = file(name);
        if (!WriteFileBytes(target, bytes)) {
            throw std::runtime_error("cannot write " + target);
        }
        return target;
    }
    // A copy of a committed data file, so nothing a test does can touch the original.
    std::string copy(const std::filesystem::path& source, std::string_view name) const {
        const std::string target = file(name);
        std::filesystem::copy_file(source, target);
        return target;
    }
    // Entries of the folder, to see that no temporary file was left behind.
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path path_;
};
