#pragma once

#include "sysinfo/twaveoutcaps.h"

#include <QString>

#include <cstdint>

// The first playback device as ALSA sees it: its card's name, the ALSA driver's version, its
// channels and the WAVE_FORMAT_* bits it plays, asked of the card's own device when it can be
// opened, else of the default device. No card gives a record with Present false.
TWaveOutCaps AlsaWaveOutCaps();

// Fills Device (pcmName), Channels (2 when the device plays stereo, else the most it takes) and
// Formats (the WAVE_FORMAT_* bits it plays) from one ALSA playback device; false when the device
// cannot be opened, leaving all three as they were.
bool AlsaPcmCaps(const QString& pcmName, TWaveOutCaps& caps);

// The driver version from the text of /proc/asound/version ("... Driver Version k6.1.0-13-amd64.")
// as major in bits 8-15 and minor in bits 0-7; 0 when the text holds none.
std::uint32_t AlsaDriverVersionFromText(const QString& text);
