#pragma once

#include "tags/bytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// A temporary folder for one test, removed with everything in it afterwards.
class FixtureFolder {
public:
    FixtureFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("tovra-analysis-" + std::string(test->test_suite_name()) + "-" + test->name() +
                 "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~FixtureFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    FixtureFolder(const FixtureFolder&) = delete;
    FixtureFolder& operator=(const FixtureFolder&) = delete;

    // UTF-8 path of a file in the folder.
    std::string Path(const std::string& name) const { return (root_ / name).string(); }

    std::string Write(const std::string& name, ByteSpan bytes) const {
        const std::string path = Path(name);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // A copy of a committed data file, so nothing a test does can touch the original.
    std::string Copy(const std::string& source, const std::string& name) const {
        const std::string path = Path(name);
        std::filesystem::copy_file(source, path);
        return path;
    }

private:
    std::filesystem::path root_;
};
