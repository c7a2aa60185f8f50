#pragma once

// Helpers of the benchmark programs: a clock, medians, the kernel's I/O counters of this process,
// the open counter, peak memory and timed child processes.

#include <cstdint>
#include <string>
#include <vector>

extern "C" long BenchOpenCount(void);

namespace bench {

// Seconds on the monotonic clock.
double Now();
double Median(std::vector<double> values);

// The process's I/O counters from /proc/self/io: bytes passed to read and write calls (page
// cache included) and the number of those calls.
struct TIoCounters {
    std::int64_t readBytes = 0;
    std::int64_t writeBytes = 0;
    std::int64_t readCalls = 0;
    std::int64_t writeCalls = 0;
    std::int64_t opens = 0;  // from the open counter
};
TIoCounters ReadIo();
// Counters after minus before, less what reading the counters itself costs.
TIoCounters IoSince(const TIoCounters& before);

// Peak resident memory of this process, in MiB.
double PeakRssMiB();
// A memory line of /proc/self/status ("VmRSS", "VmHWM"), in MiB.
double StatusMiB(const std::string& field);
// Starts the peak (VmHWM) again from the memory resident now (/proc/self/clear_refs).
void ResetPeakRss();

// Runs a program (argv[0] searched in PATH) and waits; the result is the wall time in seconds.
// Throws std::runtime_error when it cannot start or ends with a failure.
double TimeCommand(const std::vector<std::string>& argv);

// The regular files in a folder whose names end with the extension, sorted.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& extension);

// "1.23x" style text.
std::string Ratio(double value);

// Reads the whole file so that the timed runs find it in the page cache.
void WarmUp(const std::string& fileName);

}  // namespace bench
