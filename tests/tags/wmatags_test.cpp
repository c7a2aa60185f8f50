// The WMA tag unit without a working module: duration texts, the load failures and their
// messages, and the checks made before the module is loaded. The real module is exercised in
// tests/platform/wmvcore_test.cpp.
#include "tags/wmatags.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kTagged = TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma";

struct TMessageLog {
    std::vector<std::pair<TWmaMessageKind, std::string>> Messages;

    TWmaHost Host(std::string moduleFile) {
        return TWmaHost{[this](TWmaMessageKind kind, const std::string& text) {
                            Messages.emplace_back(kind, text);
                        },
                        std::move(moduleFile)};
    }
};

// A real shared library that has no WMCreateEditor: the C++ runtime this test runs on.
std::string LibraryWithoutExport() {
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&std::terminate), &info);
    return info.dli_fname != nullptr ? info.dli_fname : "";
}

TTagsData FilledTags() {
    TTagsData tags;
    tags.Title = "Judul";
    tags.Lyrics = u"Lirik";
    tags.Bitrate = 128000;
    tags.DurationMs = 1000;
    tags.FileSize = 5;
    tags.IsVbr = true;
    return tags;
}

TEST(FormatMsDuration, Table) {
    struct Case {
        bool showMs;
        std::int64_t ms;
        const char* text;
    };
    const Case cases[] = {
        {true, 225123, "3:45.123"},     {true, 3723004, "1:02:03.004"},
        {false, 59999, "0:59"},         {false, 3600000, "1:00:00"},
        {true, 0, "0:00.000"},          {false, 0, "0:00"},
        {true, 3599999, "59:59.999"},   {false, 3599999, "59:59"},
        {true, 3600000, "1:00:00.000"}, {false, 360000000000, "100000:00:00"},
        {true, 61001, "1:01.001"},      {false, -1500, "0:-01"},
        {true, -1500, "0:-01.-500"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMsDuration(c.showMs, c.ms), c.text) << c.ms << (c.showMs ? " with ms" : "");
    }
}

TEST(ClearTags, EmptiesTextsAndZeroesFigures) {
    TTagsData tags = FilledTags();
    ClearTags(tags);
    EXPECT_TRUE(tags.Title.empty());
    EXPECT_TRUE(tags.Lyrics.empty());
    EXPECT_EQ(tags.Bitrate, 0u);
    EXPECT_EQ(tags.DurationMs, 0);
    EXPECT_EQ(tags.FileSize, 0);
    EXPECT_FALSE(tags.IsVbr);
}

TEST(WmaModule, LivesInTheProgramFolder) {
    EXPECT_EQ(WmaModuleFile(), TOVRA_PROGRAM_DIR "/libwmvcore.so");
}

// Each way the module can be unusable gives the same message and a false result, and the
// record is left alone.
TEST(WmaTagsUnloadable, ReadAndWriteReportTheLoadFailure) {
    const std::string modules[] = {
        "/nonexistent/libwmvcore.so",
        TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma",  // not a library at all
        LibraryWithoutExport(),
        "libwmvcore.so",  // never searched for along the system's library path
    };
    for (const std::string& module : modules) {
        SCOPED_TRACE(module);
        TMessageLog log;
        TTagsData tags = FilledTags();
        EXPECT_FALSE(
            ReadWmaTags(u"" TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma", tags, log.Host(module)));
        EXPECT_EQ(tags.Title, "Judul");
        EXPECT_FALSE(WriteWmaTags(u"" TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma", tags,
                                  log.Host(module)));
        const std::pair<TWmaMessageKind, std::string> loadFailure = {
            TWmaMessageKind::Plain, "Could not Load Library ($0)."};
        EXPECT_EQ(log.Messages, (std::vector{loadFailure, loadFailure}));
    }
    EXPECT_FALSE(LibraryWithoutExport().empty());
}

TEST(WmaTagsUnloadable, LoadAndSaveAddTheirOwnMessage) {
    TMessageLog log;
    const TWmaHost host = log.Host("/nonexistent/libwmvcore.so");
    TTagsData tags;
    EXPECT_FALSE(LoadWmaTags(kTagged, tags, host));
    EXPECT_EQ(CurrentWmaFile, u"" TOVRA_SOURCE_DIR "/tests/data/wma/tagged.wma");
    EXPECT_FALSE(SaveWmaTags(tags, host));
    const std::vector<std::pair<TWmaMessageKind, std::string>> expected = {
        {TWmaMessageKind::Plain, "Could not Load Library ($0)."},
        {TWmaMessageKind::Error, "Sorry ,Could not load the WMA Tag"},
        {TWmaMessageKind::Plain, "Could not Load Library ($0)."},
        {TWmaMessageKind::Error, "Sorry ,Could not save the WMA-Tag"},
    };
    EXPECT_EQ(log.Messages, expected);
}

TEST(WmaTagsMissingFile, LoadIsSilentAndKeepsTheCurrentFile) {
    TMessageLog log;
    const TWmaHost host = log.Host("/nonexistent/libwmvcore.so");
    TTagsData tags;
    CurrentWmaFile = u"/earlier/file.wma";
    EXPECT_FALSE(LoadWmaTags("/nonexistent/lagu.wma", tags, host));
    EXPECT_EQ(CurrentWmaFile, u"/earlier/file.wma");
    EXPECT_TRUE(log.Messages.empty());
}

TEST(WmaTagsMissingFile, WriteRaisesBeforeLoadingTheModule) {
    TMessageLog log;
    const TWmaHost host = log.Host("/nonexistent/libwmvcore.so");
    try {
        WriteWmaTags(u"/nonexistent/lagu.wma", TTagsData{}, host);
        ADD_FAILURE() << "no error raised";
    } catch (const EWmaTagsError& error) {
        EXPECT_STREQ(error.what(), "The file\r\n/nonexistent/lagu.wma\r\ndoes'nt exists!");
    }
    EXPECT_TRUE(log.Messages.empty());
}

}  // namespace
