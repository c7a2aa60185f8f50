// Saves under faults, for each tag writer: a nearly full disk, a file another program holds, two
// programs saving one file at once, a name that is not UTF-8 beside its replacement-character
// twin, and a file with extended attributes. A refused save leaves the file as it was, with no
// temporary file beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/reliability/saver/savers.h"
#include "tests/support/asfsnapshot.h"
#include "tests/tags/tagfixtures.h"

using namespace fixtures;
namespace fs = std::filesystem;

namespace {

const std::string kSaver = TOVRA_PROGRAM_DIR "/saver";

struct TKind {
    std::string Kind;       // as savers::Save takes it
    std::string Extension;  // of the file
    Bytes Original;
    bool Copies;  // saves through a copy of the file rather than in place
};

std::vector<TKind> Kinds() {
    const Bytes audio = Payload(20000, 7);
    std::vector<TKind> kinds = {
        {"id3v1", ".mp3", Join({audio, Id3v1("Old")}), false},
        {"id3v2", ".mp3", Join({Id3v2(3, Frame("TIT2", Latin("Old"))), audio}), true},
    };
    // The module is built with the player; a build of the readers alone has none to load.
    if (fs::exists(TOVRA_PROGRAM_DIR "/libwmvcore.so")) {
        kinds.push_back(
            {"wma-title", ".wma", ReadFile(TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma"), true});
    }
    return kinds;
}

// The helper's output, one "key=value" fact per line; the last value of a key wins.
std::map<std::string, std::string> Facts(const std::string& command) {
    std::map<std::string, std::string> facts;
    FILE* out = ::popen(command.c_str(), "r");
    char line[512];
    while (out != nullptr && std::fgets(line, sizeof line, out) != nullptr) {
        std::string text(line);
        text.erase(text.find_last_not_of('\n') + 1);
        const std::size_t equals = text.find('=');
        facts[text.substr(0, equals)] = equals == std::string::npos ? "" : text.substr(equals + 1);
    }
    if (out != nullptr) {
        ::pclose(out);
    }
    return facts;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

}  // namespace

TEST(SaveFaults, ANearlyFullDiskRefusesTheSaveAndKeepsTheFile) {
    for (const TKind& kind : Kinds()) {
        // A save through a copy: the copy fits, the grown tag does not; then nothing fits.
        std::vector<std::size_t> rooms = {0};
        if (kind.Copies) {
            rooms.push_back(kind.Original.size());
        }
        for (const std::size_t room : rooms) {
            SCOPED_TRACE(kind.Kind + ", room for " + std::to_string(room) + " bytes");
            TempDir dir;
            const std::string original = dir.file("original" + kind.Extension);
            WriteFile(original, kind.Original);
            fs::create_directory(dir.file("disk"));
            auto facts = Facts(kSaver + " fulldisk " + kind.Kind + " " + Quoted(original) + " " +
                               Quoted(dir.file("disk")) + " " + std::to_string(room));
            RecordProperty("disk", facts["disk"]);
            EXPECT_EQ(facts["saved"], "0");
            EXPECT_EQ(facts["same"], "1");
            EXPECT_EQ(facts["entries"], "1");
            if (kind.Extension == ".wma") {
                EXPECT_EQ(facts["message"], "Sorry ,Could not save the WMA-Tag");
            }
        }
    }
}

TEST(SaveFaults, AFileAnotherProgramHoldsIsLeftAsItWas) {
    for (const TKind& kind : Kinds()) {
        SCOPED_TRACE(kind.Kind);
        TempDir dir;
        const std::string path = dir.file("song" + kind.Extension);
        const std::string marker = dir.path().string() + ".held";
        WriteFile(path, kind.Original);
        ::chmod(path.c_str(), 0444);
        FILE* holder =
            ::popen((kSaver + " hold " + Quoted(path) + " " + Quoted(marker)).c_str(), "w");
        ASSERT_NE(holder, nullptr);
        for (int i = 0; i < 500 && !fs::exists(marker); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(fs::exists(marker));
        EXPECT_FALSE(savers::Save(kind.Kind, U(path), "New"));
        ::pclose(holder);
        fs::remove(marker);
        EXPECT_EQ(ReadFile(path), kind.Original);
        EXPECT_EQ(Permissions(path), 0444u);
        EXPECT_EQ(dir.entries(), 1u);
    }
}

TEST(SaveFaults, TwoProgramsSavingAtOnceLoseNothing) {
    struct Case {
        std::string name;
        std::string first;  // kinds the two programs save
        std::string second;
    };
    std::vector<Case> cases = {{"ID3v1", "id3v1", "id3v1"}};
    if (fs::exists(TOVRA_PROGRAM_DIR "/libwmvcore.so")) {
        cases.push_back({"WMA", "wma-title", "wma-album"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TKind kind = c.first == "id3v1" ? Kinds()[0] : Kinds()[2];
        TempDir dir;
        const std::string path = dir.file("song" + kind.Extension);
        WriteFile(path, kind.Original);
        const std::string loop = kSaver + " loop ";
        FILE* a = ::popen((loop + c.first + " " + Quoted(path) + " A 30").c_str(), "r");
        FILE* b = ::popen((loop + c.second + " " + Quoted(path) + " B 30").c_str(), "r");
        ASSERT_TRUE(a != nullptr && b != nullptr);
        int lastA = -2;
        int lastB = -2;
        EXPECT_EQ(std::fscanf(a, "%d", &lastA), 1);
        EXPECT_EQ(std::fscanf(b, "%d", &lastB), 1);
        ::pclose(a);
        ::pclose(b);
        EXPECT_EQ(dir.entries(), 1u);
        if (c.first == "id3v1") {
            // One whole trailer after the audio, which is untouched.
            const Bytes now = ReadFile(path);
            const std::size_t audio = kind.Original.size() - 128;
            ASSERT_GE(now.size(), audio);
            EXPECT_TRUE(
                std::equal(kind.Original.begin(), kind.Original.begin() + audio, now.begin()));
            TID3v1 tag;
            ASSERT_TRUE(tag.Load(U(path)));
            EXPECT_EQ(tag.TrailerLength(), static_cast<std::int32_t>(now.size() - audio));
            EXPECT_TRUE(tag.Lyrics().ends_with(tag.Title())) << tag.Title();
            continue;
        }
        // Each program's last saved edit is in the file: neither undid the other's.
        TTagsData tags;
        ASSERT_TRUE(ReadWmaTags(U(path), tags, savers::Host()));
        EXPECT_EQ(tags.Title, lastA >= 0 ? "A" + std::to_string(lastA) : "Kartu Pos");
        EXPECT_EQ(tags.AlbumTitle, lastB >= 0 ? "B" + std::to_string(lastB) : "Lagu Senja");
        EXPECT_EQ(asftest::Snapshot(path).Media,
                  asftest::Snapshot(TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma").Media);
    }
}

TEST(SaveFaults, ANameThatIsNotUtf8SavesItsOwnFileOnly) {
    for (const TKind& kind : Kinds()) {
        SCOPED_TRACE(kind.Kind);
        TempDir dir;
        const std::string latin1 = dir.file("caf\xe9" + kind.Extension);
        const std::string twin = dir.file("caf\xef\xbf\xbd" + kind.Extension);
        WriteFile(latin1, kind.Original);
        WriteFile(twin, kind.Original);
        EXPECT_TRUE(savers::Save(kind.Kind, NativeToUtf16(latin1), "New"));
        EXPECT_NE(ReadFile(latin1), kind.Original);
        EXPECT_EQ(ReadFile(twin), kind.Original);
        // A name that stands for no file's bytes is refused and creates nothing.
        const std::u16string unnamed = U(dir.file("caf")) + u'\xD800' + U(kind.Extension);
        EXPECT_FALSE(savers::Save(kind.Kind, unnamed, "New"));
        EXPECT_EQ(dir.entries(), 2u);
    }
}

TEST(SaveFaults, ASaveKeepsExtendedAttributesAndPermissions) {
    for (const TKind& kind : Kinds()) {
        SCOPED_TRACE(kind.Kind);
        TempDir dir;
        const std::string path = dir.file("song" + kind.Extension);
        WriteFile(path, kind.Original);
        ASSERT_EQ(::setxattr(path.c_str(), "user.rating", "5", 1, 0), 0);
        ::chmod(path.c_str(), 0640);
        ASSERT_TRUE(savers::Save(kind.Kind, U(path), "New"));
        char value[8] = {};
        EXPECT_EQ(::getxattr(path.c_str(), "user.rating", value, sizeof value), 1);
        EXPECT_EQ(std::string(value), "5");
        EXPECT_EQ(Permissions(path), 0640u);
    }
}
