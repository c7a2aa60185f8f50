#include "bench/benchsupport.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace bench {

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

namespace {

TIoCounters RawIo() {
    TIoCounters counters;
    std::ifstream in("/proc/self/io");
    std::string key;
    std::int64_t value = 0;
    while (in >> key >> value) {
        if (key == "rchar:") {
            counters.readBytes = value;
        } else if (key == "wchar:") {
            counters.writeBytes = value;
        } else if (key == "syscr:") {
            counters.readCalls = value;
        } else if (key == "syscw:") {
            counters.writeCalls = value;
        }
    }
    counters.opens = BenchOpenCount();
    return counters;
}

TIoCounters Minus(const TIoCounters& a, const TIoCounters& b) {
    return {a.readBytes - b.readBytes, a.writeBytes - b.writeBytes, a.readCalls - b.readCalls,
            a.writeCalls - b.writeCalls, a.opens - b.opens};
}

// What one ReadIo/IoSince pair costs by itself.
const TIoCounters& Overhead() {
    static const TIoCounters overhead = [] {
        const TIoCounters before = RawIo();
        return Minus(RawIo(), before);
    }();
    return overhead;
}

}  // namespace

TIoCounters ReadIo() {
    Overhead();
    return RawIo();
}

TIoCounters IoSince(const TIoCounters& before) {
    return Minus(Minus(RawIo(), before), Overhead());
}

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

double StatusMiB(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field + ":")) {
            return std::stod(line.substr(field.size() + 1)) / 1024;  // the kernel counts kB
        }
    }
    throw std::runtime_error("no " + field + " in /proc/self/status");
}

void ResetPeakRss() {
    std::ofstream clear("/proc/self/clear_refs");
    if (!(clear << "5" << std::flush)) {
        throw std::runtime_error("cannot reset the peak memory");
    }
}

double TimeCommand(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const double start = Now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(argv[0] + " failed");
    }
    return Now() - start;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().string();
        if (entry.is_regular_file() && name.ends_with(extension)) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Ratio(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2fx", value);
    return text;
}

void WarmUp(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    while (in.read(buffer.data(), std::ssize(buffer)) || in.gcount() > 0) {
    }
}

}  // namespace bench
