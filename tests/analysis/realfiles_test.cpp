// The readers on real files made by tests/data/analysis/make.sh, checked against what ffprobe
// recorded beside each file. Where the figures differ, the comment names the rule that says why.
#include "analysis/tmpegaudio.h"
#include "analysis/twavfile.h"
#include "analysis/twmafile.h"
#include "tags/textcodec.h"
#include "tests/support/tempfolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>

namespace {

const std::string kDataDir = std::string(TOVRA_SOURCE_DIR) + "/tests/data/analysis/";

// What ffprobe said: the flat output's values by key, quotes removed.
struct Probe {
    std::map<std::string, std::string> values;

    explicit Probe(const std::string& file) {
        std::ifstream in(kDataDir + file + ".ffprobe");
        std::string line;
        while (std::getline(in, line)) {
            const auto eq = line.find('=');
            if (eq == std::string::npos) {
                continue;
            }
            std::string value = line.substr(eq + 1);
            if (value.size() >= 2 && value.front() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            values[line.substr(0, eq)] = value;
        }
    }
    double Number(const std::string& key) const {
        const auto it = values.find(key);
        return it == values.end() ? -1 : std::stod(it->second);
    }
    double SampleRate() const { return Number("streams.stream.0.sample_rate"); }
    double Channels() const { return Number("streams.stream.0.channels"); }
    double StreamBitRate() const { return Number("streams.stream.0.bit_rate"); }
    double Duration() const { return Number("format.duration"); }
    double Size() const { return Number("format.size"); }
};

TEST(RealFilesTest, MPEGFiguresAgreeWithFfprobe) {
    struct Case {
        const char* file;
        std::int64_t position;
        const char* type;  // version and layer names
        bool crc, vbr;
        int bitRate;
        const char* mode;
        std::int64_t frames;
    };
    const Case cases[] = {
        {"cbr128-stereo.mp3", 0, "MPEG 1 Layer III", false, false, 128, "Stereo", 41},
        {"vbr-xing-joint.mp3", 0, "MPEG 1 Layer III", false, true, 61, "Joint Stereo", 40},
        {"mpeg2-mono-crc.mp3", 0, "MPEG 2 Layer III", true, false, 32, "Mono", 41},
        {"mpeg25-mono.mp3", 0, "MPEG 2.5 Layer III", false, false, 16, "Mono", 30},
        {"layer2-stereo.mp2", 0, "MPEG 1 Layer II", false, false, 192, "Stereo", 42},
        {"id3v2-4k.mp3", 4096, "MPEG 1 Layer III", false, false, 128, "Stereo", 41},
    };
    TTempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Probe probe(c.file);
        TMPEGaudio mpeg;
        ASSERT_TRUE(mpeg.Analyse(Utf8ToUtf16(folder.copy(kDataDir + c.file, c.file))));
        ASSERT_TRUE(mpeg.Frame.Found);
        EXPECT_EQ(mpeg.Frame.Position, c.position);
        EXPECT_EQ(std::string(MPEGVersionNames[mpeg.Frame.VersionIndex]) + " " +
                      std::string(MPEGLayerNames[mpeg.Frame.LayerIndex]),
                  c.type);
        EXPECT_EQ(mpeg.Frame.HasCRC, c.crc);
        EXPECT_EQ(mpeg.VBR.Found, c.vbr);
        EXPECT_EQ(mpeg.BitRate(), c.bitRate);
        EXPECT_EQ(mpeg.ChannelModeName(), c.mode);
        EXPECT_EQ(mpeg.FrameCount(), c.frames);
        EXPECT_EQ(mpeg.FileSize, probe.Size());
        EXPECT_EQ(mpeg.SampleRate(), probe.SampleRate());
        EXPECT_EQ(mpeg.Channels(), probe.Channels());
        const double frameTime = FrameCoefficient(mpeg.Frame) * 8.0 / mpeg.SampleRate();
        if (c.vbr) {
            // Both take the Xing frame count; the bit rate is its average, rounded to kbit/s.
            EXPECT_NEAR(mpeg.Duration(), probe.Duration(), 1e-3);
            EXPECT_NEAR(mpeg.BitRate() * 1000.0, probe.StreamBitRate(), 500);
        } else {
            // The header's bit rate; the duration comes from the audio bytes, which include lame's
            // "Info" frame and the last frame's padding that ffprobe leaves out: at most two
            // frames.
            EXPECT_EQ(mpeg.BitRate() * 1000.0, probe.StreamBitRate());
            EXPECT_NEAR(mpeg.Duration(), probe.Duration(), 2 * frameTime);
        }
    }
}

TEST(RealFilesTest, TagsAroundTheStreamAreOwnedByTheAnalyser) {
    TTempFolder folder;
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.Analyse(Utf8ToUtf16(folder.copy(kDataDir + "id3v2-4k.mp3", "tagged.mp3"))));
    EXPECT_TRUE(mpeg.ID3v2.Present());
    EXPECT_EQ(mpeg.ID3v2.MajorVersion(), 3);
    EXPECT_EQ(mpeg.ID3v2.Title(), u"Tovra test");
    EXPECT_TRUE(mpeg.ID3v1.TagPresent());
    EXPECT_EQ(mpeg.ID3v1.Title(), "Tovra test");
    EXPECT_EQ(mpeg.ID3v1.Artist(), "Analysis");
    EXPECT_EQ(mpeg.AudioEnd, mpeg.FileSize - 128);
}

TEST(RealFilesTest, WMAFiguresAgreeWithFfprobe) {
    struct Case {
        const char* file;
        bool valid;
    };
    for (const Case& c : {Case{"wmav2-stereo.wma", true}, Case{"wmav1-mono.wma", true},
                          Case{"mp3-named.wma", false}}) {
        SCOPED_TRACE(c.file);
        const Probe probe(c.file);
        TWMAfile wma;
        ASSERT_TRUE(wma.Analyse(kDataDir + c.file));
        EXPECT_EQ(wma.Valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(wma.Channels, probe.Channels());
            EXPECT_EQ(wma.SampleRate, probe.SampleRate());
            // The stream's average bytes per second, times 8, in whole kbit/s.
            EXPECT_EQ(wma.BitRate, std::floor(probe.StreamBitRate() / 1000));
        } else {
            EXPECT_EQ(wma.Channels, 0);
        }
    }
}

TEST(RealFilesTest, WAVFiguresAgreeWithFfprobe) {
    struct Case {
        const char* file;
        bool valid;
        int bits;
    };
    for (const Case& c : {Case{"pcm16-stereo.wav", true, 16}, Case{"pcm24-96k.wav", true, 24},
                          Case{"six-channels.wav", false, 0}}) {
        SCOPED_TRACE(c.file);
        const Probe probe(c.file);
        TWAVfile wav;
        ASSERT_TRUE(wav.Analyse(kDataDir + c.file));
        EXPECT_EQ(wav.Valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(wav.Channels, probe.Channels());
            EXPECT_EQ(wav.SampleRate, static_cast<std::uint32_t>(probe.SampleRate()));
            EXPECT_EQ(wav.BitsPerSample, c.bits);
            EXPECT_EQ(wav.FileSize, probe.Size());
        } else {
            // More than two channels is not the canonical header this reader knows.
            EXPECT_EQ(probe.Channels(), 6);
            EXPECT_EQ(wav.Channels, 0);
        }
    }
}

}  // namespace
