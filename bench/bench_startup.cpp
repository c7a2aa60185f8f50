// Start-up: from process start to the first paint of the player window, less the splash's fixed
// pauses, and the peak memory at that point; against a Qt program that shows one empty main
// window. The show probe (LD_PRELOAD) reports the moment and ends the program.
//
// Usage: bench_startup <program folder> <corpus folder> [rounds]
// The program folder holds tovra3, bench_qtwindow and libtovra_showprobe.so; its state files are
// replaced by a playlist of 1000 corpus entries whose first, current entry is the 60-second track.

#include "bench/benchsupport.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The splash's pauses in app/main.cpp: 500 ms, five of 250 ms and 50 ms.
constexpr double kSplashSleeps = 1.800;

struct TShown {
    double seconds = 0;  // process start to the window's first paint
    double peakMiB = 0;
};

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

// entries 0 leaves the playlist empty, so no track is opened on the device at start-up.
void WriteState(const fs::path& program, const std::string& corpus, std::size_t entries) {
    std::vector<std::string> files = bench::ListFiles(corpus + "/mp3", ".mp3");
    files.insert(files.begin(), corpus + "/long60.mp3");
    std::string paths;
    std::string names;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::string& path = files[i % files.size()];
        paths += path + "\r\n";
        names += fs::path(path).filename().string() + "\r\n";
    }
    WriteText(program / "PlayList.Txt", paths);
    WriteText(program / "KorviList.Txt", names);
    WriteText(program / "KorviSetting.Korvi", "0\r\n2\r\n1\r\n800\r\n");
    fs::remove(program / "tovra3.INI");
}

TShown Launch(const fs::path& program, const std::string& windowClass, const fs::path& work) {
    const fs::path out = work / "shown.txt";
    fs::remove(out);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("LD_PRELOAD=") && !entry.starts_with("XDG_RUNTIME_DIR=")) {
            env.push_back(entry);
        }
    }
    env.push_back("LD_PRELOAD=" + (program.parent_path() / "libtovra_showprobe.so").string());
    env.push_back("TOVRA_PROBE_CLASS=" + windowClass);
    env.push_back("TOVRA_PROBE_OUT=" + out.string());
    // A folder of its own for the single-instance lock, so a running player does not interfere.
    env.push_back("XDG_RUNTIME_DIR=" + work.string());
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};

    const double start = bench::Now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
        throw std::runtime_error("cannot start " + path);
    }
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (bench::Now() - start > 60) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            throw std::runtime_error(path + " showed no window within 60 s");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::ifstream in(out);
    TShown shown;
    double at = 0;
    long kib = 0;
    if (!(in >> at >> kib)) {
        throw std::runtime_error(path + " ended without showing its window");
    }
    shown.seconds = at - start;
    shown.peakMiB = static_cast<double>(kib) / 1024;
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <program folder> <corpus folder> [rounds]\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;
    const fs::path work =
        fs::temp_directory_path() / ("tovra-bench-start-" + std::to_string(getpid()));
    try {
        fs::create_directories(work);
        // One start of each loads the libraries and plugins into the page cache.
        WriteState(folder, argv[2], 1000);
        Launch(folder / "tovra3", "TForm1", work);
        Launch(folder / "bench_qtwindow", "QMainWindow", work);
        std::vector<double> ours;
        std::vector<double> empty;
        std::vector<double> theirs;
        double ourPeak = 0;
        double theirPeak = 0;
        for (int round = 0; round < rounds; ++round) {
            WriteState(folder, argv[2], 1000);
            const TShown a = Launch(folder / "tovra3", "TForm1", work);
            WriteState(folder, argv[2], 0);
            const TShown e = Launch(folder / "tovra3", "TForm1", work);
            const TShown b = Launch(folder / "bench_qtwindow", "QMainWindow", work);
            ours.push_back(a.seconds - kSplashSleeps);
            empty.push_back(e.seconds - kSplashSleeps);
            theirs.push_back(b.seconds);
            ourPeak = std::max(ourPeak, a.peakMiB);
            theirPeak = std::max(theirPeak, b.peakMiB);
        }
        const double our = bench::Median(ours);
        const double their = bench::Median(theirs);
        std::printf(
            "start-up to the player window shown, less %.0f ms of splash pauses: %.0f ms (aim < "
            "250) with 1000 entries and the current one opened, %.0f ms with an empty playlist; "
            "empty Qt main window %.0f ms, ratio %s; peak memory %.0f MiB against %.0f MiB; "
            "median of %d\n",
            kSplashSleeps * 1000, our * 1000, bench::Median(empty) * 1000, their * 1000,
            bench::Ratio(our / their).c_str(), ourPeak, theirPeak, rounds);
        // The aim for the whole start: the pauses, and no more than 1.2 times an empty window
        // beyond them, since the work belongs inside the pauses.
        std::printf(
            "start-up wall time, splash included: %.0f ms against %.0f ms of pauses plus the empty "
            "Qt main window's %.0f ms; beyond the pauses ratio %s (aim <= 1.2x)\n",
            (kSplashSleeps + our) * 1000, kSplashSleeps * 1000, their * 1000,
            bench::Ratio(our / their).c_str());
        fs::remove_all(work);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_startup: %s\n", e.what());
        std::error_code ignored;
        fs::remove_all(work, ignored);
        return 1;
    }
}
