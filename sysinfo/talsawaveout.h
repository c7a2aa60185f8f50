#pragma once

#include "sysinfo/twaveoutcaps.h"

#include <QString>

#include <cstdint>

// The first playback device as ALSA sees it: its card's name, the ALSA driver's version, its
// most channels and the WAVE_FORMAT_* bits it plays. No card gives a record with Present false.
TWaveOutCaps AlsaWaveOutCaps();

// Fills Channels (the most the device takes) and Formats (the WAVE_FORMAT_* bits it plays) from
// one ALSA playback device; false when the device cannot be opened, leaving both as they were.
bool AlsaPcmCaps(const QString& pcmName, TWaveOutCaps& caps);

// The driver version from the text of /proc/asound/version ("... Driver Version k6.1.0-13-amd64.")
// as major in bits 8-15 and minor in bits 0-7; 0 when the text holds none.
std::uint32_t AlsaDriverVersionFromText(const QString& text);
