// Inspection: TMPEGaudio::Analyse (which loads the ID3v2 and ID3v1 tags) against TagLib's
// MPEG::File reading its tags and audio properties, and against the least any inspection must do
// (open, fstat, a read of the first 4 KiB and one of the last 128 bytes, close), over the same
// files, warm cache, in one process. Prints files per second of all three, the ratios, and the
// I/O each needs per file.
//
// Usage: bench_inspect <folder of .mp3 files> [rounds] [ours|taglib|floor]
// With a third argument only that side runs, rounds times, and nothing is printed: a target for
// perf, strace or callgrind.

#include "analysis/tmpegaudio.h"
#include "bench/benchsupport.h"
#include "tags/textcodec.h"

#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

// What a caller reads after an inspection; summed so no work can be left out.
struct TSeen {
    double seconds = 0;
    std::size_t textLength = 0;
    long bitRates = 0;
};

TSeen InspectOurs(const std::vector<std::u16string>& files, std::vector<double>* durations) {
    TSeen seen;
    for (const std::u16string& name : files) {
        TMPEGaudio audio;
        if (!audio.Analyse(name)) {
            continue;
        }
        seen.seconds += audio.Duration();
        seen.bitRates += audio.BitRate() + audio.SampleRate() + audio.Channels();
        seen.textLength += audio.ID3v2.Title().size() + audio.ID3v2.Artist().size() +
                           audio.ID3v2.Album().size() + audio.ID3v2.Comment().size() +
                           audio.ID3v1.Title().size() + audio.ID3v1.Artist().size() +
                           audio.ID3v1.Album().size() + audio.ID3v1.Comment().size();
        if (durations != nullptr) {
            durations->push_back(audio.Duration());
        }
    }
    return seen;
}

TSeen InspectTagLib(const std::vector<std::string>& files, std::vector<double>* durations) {
    TSeen seen;
    for (const std::string& name : files) {
        TagLib::MPEG::File file(name.c_str(), true, TagLib::AudioProperties::Average);
        if (!file.isValid()) {
            continue;
        }
        const TagLib::Tag* tag = file.tag();
        seen.textLength += tag->title().size() + tag->artist().size() + tag->album().size() +
                           tag->comment().size() + tag->genre().size() + tag->year() + tag->track();
        if (const TagLib::AudioProperties* p = file.audioProperties()) {
            seen.seconds += p->lengthInMilliseconds() / 1000.0;
            seen.bitRates += p->bitrate() + p->sampleRate() + p->channels();
            if (durations != nullptr) {
                durations->push_back(p->lengthInMilliseconds() / 1000.0);
            }
        }
    }
    return seen;
}

// The system calls every inspection needs: the head for an ID3v2 tag and the first frame, the tail
// for an ID3v1 tag. The bytes are summed so the reads cannot be left out.
TSeen InspectFloor(const std::vector<std::string>& files) {
    TSeen seen;
    std::array<unsigned char, 4096> head{};
    std::array<unsigned char, 128> tail{};
    for (const std::string& name : files) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0) {
            const ssize_t got = ::read(fd, head.data(), head.size());
            const ssize_t last =
                st.st_size >= 128 ? ::pread(fd, tail.data(), tail.size(), st.st_size - 128) : 0;
            seen.textLength += static_cast<std::size_t>(got + last) + head[0] + tail[0];
        }
        ::close(fd);
    }
    return seen;
}

template <typename Run>
double FilesPerSecond(std::size_t count, Run&& run) {
    const double start = bench::Now();
    run();
    return static_cast<double>(count) / (bench::Now() - start);
}

void PrintIo(const char* who, const bench::TIoCounters& io, std::size_t files) {
    const double n = static_cast<double>(files);
    std::printf("inspect I/O per file, %-20s %.2f files opened, %.0f bytes read in %.1f reads\n",
                who, static_cast<double>(io.opens) / n, static_cast<double>(io.readBytes) / n,
                static_cast<double>(io.readCalls) / n);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [rounds]\n", argv[0]);
        return 2;
    }
    try {
        const int rounds = argc > 2 ? std::atoi(argv[2]) : 9;
        const std::vector<std::string> files = bench::ListFiles(argv[1], ".mp3");
        std::vector<std::u16string> wide;
        for (const std::string& name : files) {
            wide.push_back(Utf8ToUtf16(name));
            bench::WarmUp(name);
        }
        if (argc > 3) {
            const std::string side = argv[3];
            for (int round = 0; round < rounds; ++round) {
                side == "ours"    ? InspectOurs(wide, nullptr)
                : side == "floor" ? InspectFloor(files)
                                  : InspectTagLib(files, nullptr);
            }
            return 0;
        }

        // One untimed pass of each fills the caches and gives the durations to compare.
        std::vector<double> ours;
        std::vector<double> theirs;
        InspectOurs(wide, &ours);
        InspectTagLib(files, &theirs);
        std::size_t agree = 0;
        for (std::size_t i = 0; i < std::min(ours.size(), theirs.size()); ++i) {
            agree += std::fabs(ours[i] - theirs[i]) < 0.1 ? 1 : 0;
        }

        // The three alternate, and take turns going first, so drift in the machine hits all.
        std::vector<double> ourRates;
        std::vector<double> theirRates;
        std::vector<double> floorRates;
        TSeen sink;
        for (int round = 0; round < rounds; ++round) {
            const auto runOurs = [&] {
                ourRates.push_back(FilesPerSecond(files.size(), [&] {
                    sink.textLength += InspectOurs(wide, nullptr).textLength;
                }));
            };
            const auto runTheirs = [&] {
                theirRates.push_back(FilesPerSecond(files.size(), [&] {
                    sink.textLength += InspectTagLib(files, nullptr).textLength;
                }));
            };
            const auto runFloor = [&] {
                floorRates.push_back(FilesPerSecond(
                    files.size(), [&] { sink.textLength += InspectFloor(files).textLength; }));
            };
            switch (round % 3) {
                case 0:
                    runOurs();
                    runTheirs();
                    runFloor();
                    break;
                case 1:
                    runTheirs();
                    runFloor();
                    runOurs();
                    break;
                default:
                    runFloor();
                    runOurs();
                    runTheirs();
                    break;
            }
        }

        const bench::TIoCounters before = bench::ReadIo();
        InspectOurs(wide, nullptr);
        const bench::TIoCounters ourIo = bench::IoSince(before);
        const bench::TIoCounters beforeTheirs = bench::ReadIo();
        InspectTagLib(files, nullptr);
        const bench::TIoCounters theirIo = bench::IoSince(beforeTheirs);
        const bench::TIoCounters beforeFloor = bench::ReadIo();
        InspectFloor(files);
        const bench::TIoCounters floorIo = bench::IoSince(beforeFloor);

        const double ourRate = bench::Median(ourRates);
        const double theirRate = bench::Median(theirRates);
        std::printf(
            "inspect %zu files: TMPEGaudio::Analyse %.0f files/s, TagLib MPEG::File %.0f files/s, "
            "ratio %s (aim >= 4x), median of %d rounds; durations agree on %zu of %zu\n",
            files.size(), ourRate, theirRate, bench::Ratio(ourRate / theirRate).c_str(), rounds,
            agree, std::min(ours.size(), theirs.size()));
        PrintIo("TMPEGaudio::Analyse:", ourIo, files.size());
        PrintIo("TagLib MPEG::File:", theirIo, files.size());
        const double floorRate = bench::Median(floorRates);
        std::printf(
            "inspect against the system-call floor (open, fstat, read 4 KiB, read the last 128 "
            "bytes, close): floor %.0f files/s, TMPEGaudio::Analyse takes %s its time (aim <= "
            "1.5x)\n",
            floorRate, bench::Ratio(floorRate / ourRate).c_str());
        PrintIo("system-call floor:", floorIo, files.size());
        return sink.textLength == 0 ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_inspect: %s\n", e.what());
        return 1;
    }
}
