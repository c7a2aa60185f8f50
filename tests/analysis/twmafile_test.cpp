#include "analysis/twmafile.h"
#include "tests/support/asfbuilder.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

namespace {

using asftest::AudioStream;
using asftest::FileProperties;

TEST(TWMAfileTest, TakesStreamFactsOnlyWhenPlausible) {
    struct Case {
        const char* what;
        Bytes file;
        bool valid;
        int channels, sampleRate, bitRate;
    };
    const Case cases[] = {
        {"16000 bytes/s", asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000)}),
         true, 2, 44100, 128},
        {"20000 bytes/s", asftest::File({FileProperties(160000), AudioStream(2, 44100, 20000)}),
         true, 2, 44100, 160},
        {"39999 bytes/s", asftest::File({FileProperties(320000 - 1), AudioStream(1, 8000, 39999)}),
         true, 1, 8000, 319},
        {"40000 bytes/s", asftest::File({FileProperties(320000 - 1), AudioStream(2, 44100, 40000)}),
         false, 0, 0, 0},
        {"maximum bit rate 0", asftest::File({FileProperties(0), AudioStream(2, 44100, 16000)}),
         false, 0, 0, 0},
        {"maximum bit rate 320000",
         asftest::File({FileProperties(320000), AudioStream(2, 44100, 16000)}), false, 0, 0, 0},
        {"six channels at 96000", asftest::File({FileProperties(1000), AudioStream(6, 96000, 1)}),
         true, 6, 96000, 0},
        {"seven channels", asftest::File({FileProperties(1000), AudioStream(7, 44100, 16000)}),
         false, 0, 0, 0},
        {"no channels", asftest::File({FileProperties(1000), AudioStream(0, 44100, 16000)}), false,
         0, 0, 0},
        {"7999 Hz", asftest::File({FileProperties(1000), AudioStream(1, 7999, 16000)}), false, 0, 0,
         0},
        {"96001 Hz", asftest::File({FileProperties(1000), AudioStream(1, 96001, 16000)}), false, 0,
         0, 0},
        {"negative bytes/s",
         asftest::File({FileProperties(1000), AudioStream(1, 8000, 0xFFFFFFFF)}), false, 0, 0, 0},
        {"no stream object", asftest::File({FileProperties(128000)}), false, 0, 0, 0},
        {"the last stream wins, other objects skipped",
         asftest::File({AudioStream(1, 22050, 4000), asftest::Object(asftest::kOther, 200),
                        FileProperties(64000), AudioStream(2, 32000, 8000)}),
         true, 2, 32000, 64},
        {"a stream object too small for the fields",
         asftest::File({FileProperties(64000), asftest::Object(asftest::kStreamProperties, 88)}),
         false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        TWMAfile wma;
        EXPECT_TRUE(wma.AnalyseBytes(c.file)) << c.what;
        EXPECT_EQ(wma.Valid, c.valid) << c.what;
        EXPECT_EQ(wma.Channels, c.channels) << c.what;
        EXPECT_EQ(wma.SampleRate, c.sampleRate) << c.what;
        EXPECT_EQ(wma.BitRate, c.bitRate) << c.what;
    }
}

TEST(TWMAfileTest, GathersTheFactsEvenWhenTheyFailTheTest) {
    TWMAfile wma;
    ASSERT_TRUE(wma.AnalyseBytes(asftest::File({FileProperties(0), AudioStream(2, 44100, 16000)})));
    EXPECT_EQ(wma.Facts, (ASFStreamFacts{0, 2, 44100, 16000}));
}

TEST(TWMAfileTest, AFileThatIsNotASFIsReadButNotValid) {
    Bytes mp3 = {0xFF, 0xFB, 0x90, 0x00};
    mp3.resize(2000, 0);
    TWMAfile wma;
    EXPECT_TRUE(wma.AnalyseBytes(mp3));
    EXPECT_FALSE(wma.Valid);
    // Fewer than 16 bytes cannot even hold the first identifier.
    EXPECT_FALSE(wma.AnalyseBytes(std::span(mp3).first(15)));
}

TEST(TWMAfileTest, AHeaderCutAnywhereInsideItsObjectsGivesFalse) {
    const Bytes file = asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000)});
    const std::size_t headerEnd = 30 + 104 + 104;
    for (std::size_t length = 16; length < headerEnd; ++length) {
        TWMAfile wma;
        EXPECT_FALSE(wma.AnalyseBytes(std::span(file).first(length))) << length;
        EXPECT_FALSE(wma.Valid) << length;
        EXPECT_EQ(wma.Channels, 0) << length;
    }
    TWMAfile wma;
    EXPECT_TRUE(wma.AnalyseBytes(std::span(file).first(headerEnd)));
    EXPECT_TRUE(wma.Valid);
}

TEST(TWMAfileTest, MalformedSizesAndCountsNeverHang) {
    struct Case {
        const char* what;
        Bytes file;
        bool result, valid;
    };
    Bytes zeroSize = asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000),
                                    asftest::Object(asftest::kOther, 40)},
                                   0xFFFFFFFF);
    asftest::PutLE(zeroSize, 30 + 104 + 104 + 16, 0, 8);
    Bytes smallSize = asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000),
                                     asftest::Object(asftest::kOther, 40)});
    asftest::PutLE(smallSize, 30 + 104 + 104 + 16, 23, 8);
    Bytes pastTheEnd = asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000),
                                      asftest::Object(asftest::kOther, 40)});
    asftest::PutLE(pastTheEnd, 30 + 104 + 104 + 16, 0xFFFFFFFFFFFFFFF0u, 8);
    const Case cases[] = {
        // The walk stops at a size below 24 and keeps what it gathered before.
        {"object size 0, count 2^32 - 1", zeroSize, true, true},
        {"object size 23", smallSize, true, true},
        // A count far beyond the objects runs into the end of the file: a cut header.
        {"count 2^32 - 1",
         asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000)}, 0xFFFFFFFF), false,
         false},
        {"object running past the end", pastTheEnd, false, false},
    };
    for (const Case& c : cases) {
        TWMAfile wma;
        EXPECT_EQ(wma.AnalyseBytes(c.file), c.result) << c.what;
        EXPECT_EQ(wma.Valid, c.valid) << c.what;
    }
}

TEST(TWMAfileTest, ReadsTheFileByItsPath) {
    TTempFolder folder;
    const Bytes file = asftest::File({FileProperties(128000), AudioStream(2, 44100, 16000)});
    TWMAfile wma;
    ASSERT_TRUE(wma.Analyse(folder.write("lagu ü.wma", file)));
    EXPECT_TRUE(wma.Valid);
    EXPECT_EQ(wma.BitRate, 128);
    EXPECT_FALSE(wma.Analyse(folder.write("cut.wma", ByteSpan(file).first(100))));
    EXPECT_FALSE(wma.Valid);
    EXPECT_FALSE(wma.Analyse(folder.file("missing.wma")));
    EXPECT_TRUE(wma.Analyse(folder.write("empty-named.wma", Bytes(16, 0))));
}

}  // namespace
