#include "sysinfo/talsawaveout.h"

#include <QFile>
#include <QRegularExpression>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr qsizetype kMaxProductName = 31;  // the 32-byte name field less its terminating zero

struct FormatProbe {
    std::uint32_t bit;
    unsigned rate;
    unsigned channels;
    snd_pcm_format_t format;
};

constexpr std::array<FormatProbe, 12> kProbes{{
    {WaveFormat::M08_11k, 11025, 1, SND_PCM_FORMAT_U8},
    {WaveFormat::S08_11k, 11025, 2, SND_PCM_FORMAT_U8},
    {WaveFormat::M16_11k, 11025, 1, SND_PCM_FORMAT_S16_LE},
    {WaveFormat::S16_11k, 11025, 2, SND_PCM_FORMAT_S16_LE},
    {WaveFormat::M08_22k, 22050, 1, SND_PCM_FORMAT_U8},
    {WaveFormat::S08_22k, 22050, 2, SND_PCM_FORMAT_U8},
    {WaveFormat::M16_22k, 22050, 1, SND_PCM_FORMAT_S16_LE},
    {WaveFormat::S16_22k, 22050, 2, SND_PCM_FORMAT_S16_LE},
    {WaveFormat::M08_44k, 44100, 1, SND_PCM_FORMAT_U8},
    {WaveFormat::S08_44k, 44100, 2, SND_PCM_FORMAT_U8},
    {WaveFormat::M16_44k, 44100, 1, SND_PCM_FORMAT_S16_LE},
    {WaveFormat::S16_44k, 44100, 2, SND_PCM_FORMAT_S16_LE},
}};

using HwParams = std::unique_ptr<snd_pcm_hw_params_t, void (*)(snd_pcm_hw_params_t*)>;

HwParams newHwParams() {
    snd_pcm_hw_params_t* params = nullptr;
    snd_pcm_hw_params_malloc(&params);
    return HwParams(params, snd_pcm_hw_params_free);
}

// A format counts when one configuration holds its sample format, channel count and rate at once.
bool plays(snd_pcm_t* pcm, const snd_pcm_hw_params_t* any, const FormatProbe& probe) {
    HwParams params = newHwParams();
    if (!params) {
        return false;
    }
    snd_pcm_hw_params_copy(params.get(), any);
    return snd_pcm_hw_params_test_format(pcm, params.get(), probe.format) == 0 &&
           snd_pcm_hw_params_set_format(pcm, params.get(), probe.format) == 0 &&
           snd_pcm_hw_params_test_channels(pcm, params.get(), probe.channels) == 0 &&
           snd_pcm_hw_params_set_channels(pcm, params.get(), probe.channels) == 0 &&
           snd_pcm_hw_params_test_rate(pcm, params.get(), probe.rate, 0) == 0;
}

// Channels and formats of the hardware device itself. When a sound server holds the card, what
// the card plays is what the server's default device takes, converting as needed.
void probeDevice(int card, int device, TWaveOutCaps& caps) {
    if (!AlsaPcmCaps(QStringLiteral("hw:%1,%2").arg(card).arg(device), caps)) {
        AlsaPcmCaps(QStringLiteral("default"), caps);
    }
}

// The first PCM device of the card that plays, or -1.
int firstPlaybackDevice(snd_ctl_t* ctl) {
    snd_pcm_info_t* info = nullptr;
    if (snd_pcm_info_malloc(&info) < 0) {
        return -1;
    }
    int device = -1;
    while (snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0) {
        snd_pcm_info_set_device(info, static_cast<unsigned>(device));
        snd_pcm_info_set_subdevice(info, 0);
        snd_pcm_info_set_stream(info, SND_PCM_STREAM_PLAYBACK);
        if (snd_ctl_pcm_info(ctl, info) == 0) {
            break;
        }
    }
    snd_pcm_info_free(info);
    return device;
}

QString cardName(snd_ctl_t* ctl, int card) {
    snd_ctl_card_info_t* info = nullptr;
    QString name;
    if (snd_ctl_card_info_malloc(&info) == 0) {
        if (snd_ctl_card_info(ctl, info) == 0) {
            name = QString::fromUtf8(snd_ctl_card_info_get_name(info));
        }
        snd_ctl_card_info_free(info);
    }
    return name.isEmpty() ? QStringLiteral("Card %1").arg(card) : name;
}

std::uint32_t driverVersion() {
    QFile version(QStringLiteral("/proc/asound/version"));
    if (version.open(QIODevice::ReadOnly)) {
        if (const std::uint32_t found =
                AlsaDriverVersionFromText(QString::fromUtf8(version.readLine(512)))) {
            return found;
        }
    }
    return AlsaDriverVersionFromText(QString::fromLatin1(snd_asoundlib_version()));
}

}  // namespace

std::uint32_t AlsaDriverVersionFromText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return 0;
    }
    const std::uint32_t major = std::min(match.captured(1).toUInt(), 255u);
    const std::uint32_t minor = std::min(match.captured(2).toUInt(), 255u);
    return (major << 8) | minor;
}

bool AlsaPcmCaps(const QString& pcmName, TWaveOutCaps& caps) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, pcmName.toUtf8().constData(), SND_PCM_STREAM_PLAYBACK,
                     SND_PCM_NONBLOCK) < 0) {
        return false;
    }
    HwParams any = newHwParams();
    caps.Device = pcmName;
    if (any && snd_pcm_hw_params_any(pcm, any.get()) >= 0) {
        // A sound server takes up to 32 or 64 channels and mixes them down; what counts is
        // whether the device plays stereo. Only a device that can't gives its own count.
        unsigned maxChannels = 0;
        if (snd_pcm_hw_params_test_channels(pcm, any.get(), 2) == 0) {
            caps.Channels = 2;
        } else if (snd_pcm_hw_params_get_channels_max(any.get(), &maxChannels) == 0) {
            caps.Channels = static_cast<std::uint16_t>(std::min(maxChannels, 0xFFFFu));
        }
        for (const FormatProbe& probe : kProbes) {
            if (plays(pcm, any.get(), probe)) {
                caps.Formats |= probe.bit;
            }
        }
    }
    snd_pcm_close(pcm);
    return true;
}

TWaveOutCaps AlsaWaveOutCaps() {
    TWaveOutCaps caps;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) {
        snd_ctl_t* ctl = nullptr;
        const QByteArray ctlName = QStringLiteral("hw:%1").arg(card).toLatin1();
        if (snd_ctl_open(&ctl, ctlName.constData(), 0) < 0) {
            continue;
        }
        const int device = firstPlaybackDevice(ctl);
        if (device >= 0) {
            caps.Present = true;
            caps.ProductName = cardName(ctl, card).left(kMaxProductName);
            caps.DriverVersion = driverVersion();
            probeDevice(card, device, caps);
        }
        snd_ctl_close(ctl);
        if (caps.Present) {
            break;
        }
    }
    return caps;
}
