// Inspection: TMPEGaudio::Analyse (which loads the ID3v2 and ID3v1 tags) against TagLib's
// MPEG::File reading its tags and audio properties, over the same files, warm cache, in one
// process. Prints files per second of both, their ratio, and the I/O each needs per file.
//
// Usage: bench_inspect <folder of .mp3 files> [rounds] [ours|taglib]
// With a third argument only that side runs, rounds times, and nothing is printed: a target for
// perf, strace or callgrind.

#include "analysis/tmpegaudio.h"
#include "bench/benchsupport.h"
#include "tags/textcodec.h"

#include <taglib/mpegfile.h>
#include <taglib/tag.h>

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
                side == "ours" ? InspectOurs(wide, nullptr) : InspectTagLib(files, nullptr);
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

        // The two alternate, and take turns going first, so drift in the machine hits both.
        std::vector<double> ourRates;
        std::vector<double> theirRates;
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
            if (round % 2 == 0) {
                runOurs();
                runTheirs();
            } else {
                runTheirs();
                runOurs();
            }
        }

        const bench::TIoCounters before = bench::ReadIo();
        InspectOurs(wide, nullptr);
        const bench::TIoCounters ourIo = bench::IoSince(before);
        const bench::TIoCounters beforeTheirs = bench::ReadIo();
        InspectTagLib(files, nullptr);
        const bench::TIoCounters theirIo = bench::IoSince(beforeTheirs);

        const double ourRate = bench::Median(ourRates);
        const double theirRate = bench::Median(theirRates);
        std::printf(
            "inspect %zu files: TMPEGaudio::Analyse %.0f files/s, TagLib MPEG::File %.0f files/s, "
            "ratio %s (aim >= 2x), median of %d rounds; durations agree on %zu of %zu\n",
            files.size(), ourRate, theirRate, bench::Ratio(ourRate / theirRate).c_str(), rounds,
            agree, std::min(ours.size(), theirs.size()));
        PrintIo("TMPEGaudio::Analyse:", ourIo, files.size());
        PrintIo("TagLib MPEG::File:", theirIo, files.size());
        return sink.textLength == 0 ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_inspect: %s\n", e.what());
        return 1;
    }
}
