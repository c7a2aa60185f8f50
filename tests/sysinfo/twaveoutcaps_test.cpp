#include "sysinfo/twaveoutcaps.h"
#include "sysinfo/talsawaveout.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

namespace {

QStringList lines(std::initializer_list<const char*> texts) {
    QStringList result;
    for (const char* text : texts) {
        result << QString::fromUtf8(text);
    }
    return result;
}

TWaveOutCaps card(std::uint32_t version, std::uint16_t channels, std::uint32_t formats) {
    TWaveOutCaps caps;
    caps.Present = true;
    caps.ProductName = QStringLiteral("HDA Intel PCH");
    caps.DriverVersion = version;
    caps.Channels = channels;
    caps.Formats = formats;
    return caps;
}

TEST(SoundCardReportTest, ReportsTheDeviceLineByLine) {
    struct Case {
        const char* what;
        TWaveOutCaps caps;
        QStringList expected;
    };
    const Case cases[] = {
        {"driver 0x0502 and only 44.1 kHz stereo 16-bit", card(0x0502, 2, WaveFormat::S16_44k),
         lines({"Nama : HDA Intel PCH", "Driver Version : 5.2", "Stereo",
                "Supported WAV Format :", " - WAVE_FORMAT_4S16    44.1 kHz, stereo, 16-bit"})},
        {"six channels name neither mono nor stereo", card(0x0106, 6, 0),
         lines({"Nama : HDA Intel PCH", "Driver Version : 1.6", "Supported WAV Format :"})},
        {"one channel is mono; high word of the version ignored", card(0xABCD0A00, 1, 0),
         lines(
             {"Nama : HDA Intel PCH", "Driver Version : 10.0", "Mono", "Supported WAV Format :"})},
        {"the device that answered",
         [] {
             TWaveOutCaps caps = card(0x0502, 2, 0);
             caps.Device = QStringLiteral("hw:0,0");
             return caps;
         }(),
         lines({"Nama : HDA Intel PCH", "Driver Version : 5.2", "Device : hw:0,0", "Stereo",
                "Supported WAV Format :"})},
        {"no card gives defined values", TWaveOutCaps{},
         lines({"Nama : (no sound card found)", "Driver Version : 0.0", "Supported WAV Format :"})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SoundCardReport(c.caps), c.expected) << c.what;
    }
}

TEST(SoundCardReportTest, ListsFormatsByRateThenMonoBeforeStereoAndEightBeforeSixteen) {
    const QStringList report = SoundCardReport(card(0x0100, 2, 0xFFF));
    ASSERT_EQ(report.size(), 4 + 12);
    EXPECT_EQ(report.mid(4), lines({" - WAVE_FORMAT_1M08    11.025 kHz, mono, 8-bit",
                                    " - WAVE_FORMAT_1M16    11.025 kHz, mono, 16-bit",
                                    " - WAVE_FORMAT_1S08    11.025 kHz, stereo, 8-bit",
                                    " - WAVE_FORMAT_1S16    11.025 kHz, stereo, 16-bit",
                                    " - WAVE_FORMAT_2M08    22.05 kHz, mono, 8-bit",
                                    " - WAVE_FORMAT_2M16    22.05 kHz, mono, 16-bit",
                                    " - WAVE_FORMAT_2S08    22.05 kHz, stereo, 8-bit",
                                    " - WAVE_FORMAT_2S16    22.05 kHz, stereo, 16-bit",
                                    " - WAVE_FORMAT_4M08    44.1 kHz, mono, 8-bit",
                                    " - WAVE_FORMAT_4M16    44.1 kHz, mono, 16-bit",
                                    " - WAVE_FORMAT_4S08    44.1 kHz, stereo, 8-bit",
                                    " - WAVE_FORMAT_4S16    44.1 kHz, stereo, 16-bit"}));
    // Bits above the twelve formats name nothing.
    EXPECT_EQ(SoundCardReport(card(0x0100, 2, 0xF000)).size(), 4);
}

TEST(AlsaWaveOutTest, DriverVersionComesFromTheFirstMajorMinorPair) {
    struct Case {
        const char* text;
        std::uint32_t version;
    };
    for (const Case& c :
         {Case{"Advanced Linux Sound Architecture Driver Version k6.1.0-13-amd64.\n", 0x0601},
          Case{"1.2.8", 0x0102}, Case{"Version 300.1000", 0xFFFF}, Case{"no version here", 0},
          Case{"", 0}}) {
        EXPECT_EQ(AlsaDriverVersionFromText(QString::fromUtf8(c.text)), c.version) << c.text;
    }
}

TEST(AlsaWaveOutTest, ProbesEveryFormatOfARealPcmDevice) {
    // ALSA's own "null" device takes every format, rate and channel count, as a sound server
    // does: it plays stereo, which is what counts, however many channels it would take.
    TWaveOutCaps caps;
    ASSERT_TRUE(AlsaPcmCaps(QStringLiteral("null"), caps));
    EXPECT_EQ(caps.Formats, 0xFFFu);
    EXPECT_EQ(caps.Channels, 2u);
    EXPECT_EQ(caps.Device, QStringLiteral("null"));

    TWaveOutCaps none;
    EXPECT_FALSE(AlsaPcmCaps(QStringLiteral("hw:99,0"), none));
    EXPECT_EQ(none.Formats, 0u);
    EXPECT_EQ(none.Channels, 0u);
    EXPECT_TRUE(none.Device.isEmpty());
}

TEST(AlsaWaveOutTest, TheRealMachineGivesADefinedReport) {
    const TWaveOutCaps caps = AlsaWaveOutCaps();
    if (!caps.Present) {
        EXPECT_TRUE(caps.ProductName.isEmpty());
        EXPECT_EQ(caps.DriverVersion, 0u);
        EXPECT_EQ(caps.Channels, 0u);
        EXPECT_EQ(caps.Formats, 0u);
    } else {
        EXPECT_FALSE(caps.ProductName.isEmpty());
        EXPECT_LE(caps.ProductName.size(), 31);
        EXPECT_EQ(caps.Formats & ~0xFFFu, 0u);
    }
    const QStringList report = SoundCardReport(caps);
    ASSERT_GE(report.size(), 3);
    EXPECT_TRUE(report[0].startsWith(QStringLiteral("Nama : ")));
    EXPECT_GT(report[0].size(), 7);
    EXPECT_TRUE(report.contains(QStringLiteral("Supported WAV Format :")));
}

}  // namespace
