// Kill test: a helper saves tags in a loop and is killed with SIGKILL at random moments; after
// each kill the file must be exactly one of the states a save leads to. A stray temporary file
// may remain; the audio may never be damaged. TOVRA_KILL_ROUNDS multiplies the rounds (the long
// run of the documentation uses 10).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tags/textcodec.h"
#include "tags/tid3v1.h"
#include "tests/support/tempfolder.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::string kHelper = std::string(TOVRA_PROGRAM_DIR) + "/killsaver";

Bytes Noise(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    bytes[0] = 0xFF;  // never "ID3" or "TAG" where a tag would be looked for
    return bytes;
}

int Rounds(int normal) {
    const char* factor = std::getenv("TOVRA_KILL_ROUNDS");
    return normal * (factor != nullptr ? std::max(1, std::atoi(factor)) : 1);
}

// One run of the helper to its end; true when it succeeded.
bool RunStep(const std::string& mode, const fs::path& file, int step) {
    const std::string command =
        kHelper + " " + mode + " '" + file.string() + "' step " + std::to_string(step);
    return std::system(command.c_str()) == 0;
}

// Starts the loop, waits for it to begin, lets it run for delay and kills it. False when the
// helper ended on its own (a failed save).
bool KillDuringLoop(const std::string& mode, const fs::path& file,
                    std::chrono::microseconds delay) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return false;
    }
    const std::string fileName = file.string();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execl(kHelper.c_str(), kHelper.c_str(), mode.c_str(), fileName.c_str(), "loop",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    char ready[6] = {};
    const bool started = pid > 0 && read(pipeFds[0], ready, sizeof ready) > 0;
    close(pipeFds[0]);
    if (pid <= 0) {
        return false;
    }
    if (started) {
        std::this_thread::sleep_for(delay);
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return started && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

struct Outcome {
    std::map<std::string, int> counts;  // by class
    int strayTemporaries = 0;
    int helperFailures = 0;
};

// Runs rounds kills of the mode's loop on file. states are the exact files a save may leave,
// by name; classify names anything else. Before each round the file is put back into the first
// state when it is in none.
Outcome KillRounds(const std::string& mode, const fs::path& file,
                   const std::vector<std::pair<std::string, Bytes>>& states, int rounds,
                   const std::function<std::string(const Bytes&)>& classify) {
    // The kill lands anywhere in the first three saves of a loop.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunStep(mode, file, 0));
    EXPECT_TRUE(RunStep(mode, file, 1));
    const auto perSave = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start) /
                         2;
    std::mt19937 random(static_cast<std::uint32_t>(rounds) * 7919u + 17u);
    std::uniform_int_distribution<std::int64_t> delay(0, 3 * perSave.count());

    Outcome outcome;
    for (int round = 0; round < rounds; ++round) {
        if (!KillDuringLoop(mode, file, std::chrono::microseconds(delay(random)))) {
            ++outcome.helperFailures;
        }
        const Bytes now = ReadFileBytes(file);
        std::string kind;
        for (const auto& [name, bytes] : states) {
            if (now == bytes) {
                kind = name;
            }
        }
        if (kind.empty()) {
            kind = classify(now);
            WriteFileBytes(file, states.front().second);
        }
        ++outcome.counts[kind];
        for (const fs::directory_entry& entry : fs::directory_iterator(file.parent_path())) {
            if (entry.path() != file) {
                ++outcome.strayTemporaries;
                fs::remove(entry.path());
            }
        }
    }
    std::printf("%s: %d kills, %d stray temporary files;", mode.c_str(), rounds,
                outcome.strayTemporaries);
    for (const auto& [kind, count] : outcome.counts) {
        std::printf(" %s %d", kind.c_str(), count);
    }
    std::printf("\n");
    return outcome;
}

class KillTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tovra-kill-" + std::to_string(getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override {
        fs::remove_all(folder_);
        fs::remove_all(folder_.parent_path() / (folder_.filename().string() + "-readback"));
    }

    // The file's bytes after one save of that step.
    Bytes StateAfter(const std::string& mode, const fs::path& file, int step) {
        EXPECT_TRUE(RunStep(mode, file, step)) << mode << " step " << step;
        return ReadFileBytes(file);
    }

    fs::path folder_;
};

const auto kDamaged = [](const Bytes&) { return std::string("damaged"); };

int Count(const Outcome& outcome, const std::string& kind) {
    const auto found = outcome.counts.find(kind);
    return found == outcome.counts.end() ? 0 : found->second;
}

// Old or new, byte for byte, after every kill: the rounds that left either state exactly, counted
// by state, are all the rounds.
void ExpectOldOrNew(const Outcome& outcome, int rounds) {
    EXPECT_EQ(outcome.helperFailures, 0);
    EXPECT_EQ(outcome.counts.count("damaged"), 0u);
    EXPECT_EQ(Count(outcome, "old") + Count(outcome, "new"), rounds)
        << Count(outcome, "damaged") << " damaged";
}

}  // namespace

TEST_F(KillTest, Id3v2CopyingWriteOfALargeFileIsOldOrNew) {
    const fs::path file = folder_ / "large.mp3";
    WriteFileBytes(file, Noise(16u << 20, 1));
    const Bytes a = StateAfter("id3v2-copy", file, 1);
    const Bytes b = StateAfter("id3v2-copy", file, 0);
    const int rounds = Rounds(6);
    ExpectOldOrNew(KillRounds("id3v2-copy", file, {{"old", a}, {"new", b}}, rounds, kDamaged),
                   rounds);
}

TEST_F(KillTest, Id3v2InPlaceWriteIsOldOrNew) {
    const fs::path file = folder_ / "inplace.mp3";
    WriteFileBytes(file, Noise(1u << 20, 2));
    const Bytes a = StateAfter("id3v2-inplace", file, 1);
    const Bytes b = StateAfter("id3v2-inplace", file, 0);
    ASSERT_EQ(a.size(), b.size());  // both saves keep the padded tag's size
    const int rounds = Rounds(30);
    ExpectOldOrNew(KillRounds("id3v2-inplace", file, {{"old", a}, {"new", b}}, rounds, kDamaged),
                   rounds);
}

TEST_F(KillTest, Id3v1WithLyricsSaveAndStripLeaveOneWholeTrailer) {
    const fs::path file = folder_ / "trailer.mp3";
    const Bytes audio = Noise(1u << 20, 3);
    WriteFileBytes(file, audio);
    const Bytes longer = StateAfter("id3v1", file, 0);
    const Bytes none = StateAfter("id3v1", file, 1);
    const Bytes shorter = StateAfter("id3v1", file, 2);
    ASSERT_EQ(none, audio);
    // Bytes after the audio that are no exact state must read back as no trailer: a save cut
    // short leaves its unfinished bytes behind the audio, which a later save keeps as audio.
    const fs::path scratch =
        folder_.parent_path() / (folder_.filename().string() + "-readback") / "trailer.mp3";
    fs::create_directories(scratch.parent_path());
    const auto classify = [&](const Bytes& now) {
        if (now.size() < audio.size() || !std::equal(audio.begin(), audio.end(), now.begin())) {
            return std::string("audio damaged");
        }
        WriteFileBytes(scratch, now);
        TID3v1 tag;
        const bool readsAsNone =
            tag.Load(Utf8ToUtf16(scratch.string())) && !tag.TagPresent() && !tag.LyricsPresent();
        return std::string(readsAsNone ? "no trailer, unfinished bytes kept" : "torn trailer");
    };
    const int rounds = Rounds(30);
    const Outcome outcome =
        KillRounds("id3v1", file,
                   {{"no trailer", none}, {"longer trailer", longer}, {"shorter trailer", shorter}},
                   rounds, classify);
    EXPECT_EQ(outcome.helperFailures, 0);
    EXPECT_EQ(outcome.counts.count("torn trailer"), 0u);
    EXPECT_EQ(outcome.counts.count("audio damaged"), 0u);
}

TEST_F(KillTest, WmaAttributeWriteIsOldOrNew) {
    // The module is built with the player; a build of the readers alone has none to load.
    if (!fs::exists(fs::path(TOVRA_PROGRAM_DIR) / "libwmvcore.so")) {
        GTEST_SKIP() << "libwmvcore.so is not built";
    }
    const fs::path file = folder_ / "tagged.wma";
    fs::copy_file(fs::path(TOVRA_SOURCE_DIR) / "tests/data/analysis/wmav2-stereo.wma", file);
    const Bytes a = StateAfter("wma", file, 1);
    const Bytes b = StateAfter("wma", file, 0);
    const int rounds = Rounds(25);
    ExpectOldOrNew(KillRounds("wma", file, {{"old", a}, {"new", b}}, rounds, kDamaged), rounds);
}
