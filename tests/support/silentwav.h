#pragma once

// A silent canonical WAV file (8 kHz, 8-bit mono) of the given length, for tests that need a track
// to go on playing however slowly the machine runs.

#include <QByteArray>

inline QByteArray SilentWav(int seconds) {
    const quint32 samples = 8000u * static_cast<quint32>(seconds);
    QByteArray data;
    const auto le16 = [&data](quint32 v) {
        data += static_cast<char>(v & 0xFF);
        data += static_cast<char>((v >> 8) & 0xFF);
    };
    const auto le32 = [&](quint32 v) {
        le16(v & 0xFFFF);
        le16(v >> 16);
    };
    data += "RIFF";
    le32(36 + samples);
    data += "WAVEfmt ";
    le32(16);
    le16(1);     // PCM
    le16(1);     // mono
    le32(8000);  // samples per second
    le32(8000);  // bytes per second
    le16(1);     // block align
    le16(8);     // bits per sample
    data += "data";
    le32(samples);
    data += QByteArray(static_cast<int>(samples), '\x80');
    return data;
}
