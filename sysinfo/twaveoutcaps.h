#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What the sound report knows of the first wave output device. Zero-initialised, so a machine
// without a sound card still gives a report of defined values.
struct TWaveOutCaps {
    bool Present = false;             // false: no playback device was found
    QString ProductName;              // the card's name, at most 31 characters
    std::uint32_t DriverVersion = 0;  // major in bits 8-15, minor in bits 0-7
    QString Device;                   // the device that answered ("hw:0,0", or "default" when
                                      // a sound server holds the card); empty when none did
    std::uint16_t Channels = 0;       // 2 when the device plays stereo, else the most it plays
    std::uint32_t Formats = 0;        // WAVE_FORMAT_* bits the device plays
};

// The WAVE_FORMAT_* bits, as the sound report tests and names them.
namespace WaveFormat {
inline constexpr std::uint32_t M08_11k = 0x001;
inline constexpr std::uint32_t S08_11k = 0x002;
inline constexpr std::uint32_t M16_11k = 0x004;
inline constexpr std::uint32_t S16_11k = 0x008;
inline constexpr std::uint32_t M08_22k = 0x010;
inline constexpr std::uint32_t S08_22k = 0x020;
inline constexpr std::uint32_t M16_22k = 0x040;
inline constexpr std::uint32_t S16_22k = 0x080;
inline constexpr std::uint32_t M08_44k = 0x100;
inline constexpr std::uint32_t S08_44k = 0x200;
inline constexpr std::uint32_t M16_44k = 0x400;
inline constexpr std::uint32_t S16_44k = 0x800;
}  // namespace WaveFormat

// The name shown for a machine without any playback device.
QString NoSoundCardName();

// The memo lines of the sound card report, heading excluded.
QStringList SoundCardReport(const TWaveOutCaps& caps);
