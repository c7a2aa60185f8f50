#include "sysinfo/twaveoutcaps.h"

#include <array>

namespace {

struct FormatLine {
    std::uint32_t bit;
    const char* text;
};

// Within a rate: mono 8-bit, mono 16-bit, stereo 8-bit, stereo 16-bit (not the order of the bits).
constexpr std::array<FormatLine, 12> kFormatLines{{
    {WaveFormat::M08_11k, " - WAVE_FORMAT_1M08    11.025 kHz, mono, 8-bit"},
    {WaveFormat::M16_11k, " - WAVE_FORMAT_1M16    11.025 kHz, mono, 16-bit"},
    {WaveFormat::S08_11k, " - WAVE_FORMAT_1S08    11.025 kHz, stereo, 8-bit"},
    {WaveFormat::S16_11k, " - WAVE_FORMAT_1S16    11.025 kHz, stereo, 16-bit"},
    {WaveFormat::M08_22k, " - WAVE_FORMAT_2M08    22.05 kHz, mono, 8-bit"},
    {WaveFormat::M16_22k, " - WAVE_FORMAT_2M16    22.05 kHz, mono, 16-bit"},
    {WaveFormat::S08_22k, " - WAVE_FORMAT_2S08    22.05 kHz, stereo, 8-bit"},
    {WaveFormat::S16_22k, " - WAVE_FORMAT_2S16    22.05 kHz, stereo, 16-bit"},
    {WaveFormat::M08_44k, " - WAVE_FORMAT_4M08    44.1 kHz, mono, 8-bit"},
    {WaveFormat::M16_44k, " - WAVE_FORMAT_4M16    44.1 kHz, mono, 16-bit"},
    {WaveFormat::S08_44k, " - WAVE_FORMAT_4S08    44.1 kHz, stereo, 8-bit"},
    {WaveFormat::S16_44k, " - WAVE_FORMAT_4S16    44.1 kHz, stereo, 16-bit"},
}};

}  // namespace

QString NoSoundCardName() {
    return QStringLiteral("(no sound card found)");
}

QStringList SoundCardReport(const TWaveOutCaps& caps) {
    QStringList lines;
    const QString name = caps.Present ? caps.ProductName : NoSoundCardName();
    lines << QStringLiteral("Nama : ") + name;
    const std::uint32_t version = caps.DriverVersion & 0xFFFFu;
    lines << QStringLiteral("Driver Version : %1.%2").arg(version >> 8).arg(version & 0xFFu);
    if (!caps.Device.isEmpty()) {
        lines << QStringLiteral("Device : ") + caps.Device;
    }
    if (caps.Channels == 1) {
        lines << QStringLiteral("Mono");
    } else if (caps.Channels == 2) {
        lines << QStringLiteral("Stereo");
    }
    lines << QStringLiteral("Supported WAV Format :");
    for (const FormatLine& format : kFormatLines) {
        if ((caps.Formats & format.bit) != 0) {
            lines << QString::fromLatin1(format.text);
        }
    }
    return lines;
}
