// Tag save: the bytes an ID3v2 save writes when the new tag fits the old one, and the time of the
// copying write of a file of about 100 MB against cp of the same file.
//
// Usage: bench_tagsave <corpus folder> [rounds]
// The corpus folder holds mp3/ (small files) and big100.mp3 (see make-corpus.sh).

#include "bench/benchsupport.h"
#include "tags/textcodec.h"
#include "tags/tid3v2.h"

#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        throw std::runtime_error(what);
    }
}

// The first small file without an ID3v2 tag, so the first save makes a padded tag.
std::string UntaggedFile(const std::string& corpus) {
    for (const std::string& name : bench::ListFiles(corpus + "/mp3", ".mp3")) {
        TID3v2 tag;
        if (tag.LoadTag(Utf8ToUtf16(name)) && !tag.Present()) {
            return name;
        }
    }
    throw std::runtime_error("no untagged file in the corpus");
}

void InPlace(const std::string& corpus, const fs::path& work, int rounds) {
    const fs::path file = work / "inplace.mp3";
    fs::copy_file(UntaggedFile(corpus), file, fs::copy_options::overwrite_existing);
    const std::u16string name = Utf8ToUtf16(file.string());
    TID3v2 first;
    first.SetTitle(u"First title");
    first.SetArtist(u"An artist");
    Require(first.SaveTag(name), "first save failed");

    std::vector<double> times;
    bench::TIoCounters io;
    std::int32_t tagSize = 0;
    for (int round = 0; round < rounds; ++round) {
        TID3v2 tag;
        Require(tag.LoadTag(name), "load failed");
        tagSize = tag.TagSize();
        tag.SetTitle(u"Title of round " + Utf8ToUtf16(std::to_string(round)));
        tag.SetComment(u"A comment that grows the tag a little");
        const bench::TIoCounters before = bench::ReadIo();
        const double start = bench::Now();
        Require(tag.SaveTag(name), "in-place save failed");
        times.push_back(bench::Now() - start);
        io = bench::IoSince(before);
    }
    Require(fs::file_size(file) < 4096 + 200000, "the save was not in place");
    std::printf(
        "tag save in place: %lld bytes written in %lld writes for a %d-byte tag (aim <= tag "
        "size), %lld bytes read, %lld files opened, %.2f ms (median of %d, with fsync)\n",
        static_cast<long long>(io.writeBytes), static_cast<long long>(io.writeCalls), tagSize,
        static_cast<long long>(io.readBytes), static_cast<long long>(io.opens),
        bench::Median(times) * 1000, rounds);
}

double FsyncFile(const fs::path& file) {
    const double start = bench::Now();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    Require(fd >= 0 && ::fsync(fd) == 0, "fsync failed");
    ::close(fd);
    return bench::Now() - start;
}

void Copying(const std::string& corpus, const fs::path& work, int rounds) {
    const std::string big = corpus + "/big100.mp3";
    bench::WarmUp(big);
    const fs::path ours = work / "big-tagged.mp3";
    const fs::path theirs = work / "big-cp.mp3";
    std::vector<double> ourTimes;
    std::vector<double> cpTimes;
    std::vector<double> cpSyncTimes;
    bench::TIoCounters io;
    for (int round = 0; round < rounds; ++round) {
        bench::TimeCommand({"cp", big, ours.string()});
        ::sync();
        TID3v2 tag;
        tag.SetTitle(u"A title that makes a new tag");
        const bench::TIoCounters before = bench::ReadIo();
        const double start = bench::Now();
        Require(tag.SaveTag(Utf8ToUtf16(ours.string())), "copying save failed");
        ourTimes.push_back(bench::Now() - start);
        io = bench::IoSince(before);
        ::sync();

        const double cp = bench::TimeCommand({"cp", big, theirs.string()});
        cpTimes.push_back(cp);
        cpSyncTimes.push_back(cp + FsyncFile(theirs));
        fs::remove(ours);
        fs::remove(theirs);
        ::sync();
    }
    const double size = static_cast<double>(fs::file_size(big));
    const double ourTime = bench::Median(ourTimes);
    const double cpTime = bench::Median(cpTimes);
    const double cpSyncTime = bench::Median(cpSyncTimes);
    std::printf(
        "tag save copying %.0f MB: TID3v2::SaveTag %.0f ms, cp %.0f ms, ratio %s (aim <= 1.5x); "
        "cp + fsync %.0f ms, ratio %s; median of %d\n",
        size / 1e6, ourTime * 1000, cpTime * 1000, bench::Ratio(ourTime / cpTime).c_str(),
        cpSyncTime * 1000, bench::Ratio(ourTime / cpSyncTime).c_str(), rounds);
    std::printf(
        "tag save copying I/O: %.1f MB read in %lld reads, %.1f MB written in %lld writes, %lld "
        "files opened\n",
        static_cast<double>(io.readBytes) / 1e6, static_cast<long long>(io.readCalls),
        static_cast<double>(io.writeBytes) / 1e6, static_cast<long long>(io.writeCalls),
        static_cast<long long>(io.opens));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder> [rounds]\n", argv[0]);
        return 2;
    }
    const std::string corpus = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    fs::path work;
    try {
        work = fs::temp_directory_path() / ("tovra-bench-save-" + std::to_string(::getpid()));
        fs::create_directories(work);
        InPlace(corpus, work, rounds * 3);
        Copying(corpus, work, rounds);
        fs::remove_all(work);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_tagsave: %s\n", e.what());
        std::error_code ignored;
        fs::remove_all(work, ignored);
        return 1;
    }
}
