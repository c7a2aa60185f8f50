#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QWidget;

// The media device: one playbin that opens a file, plays, pauses, seeks and reports where it
// stands, in milliseconds. The operations keep the meaning the player window relies on: Open waits
// until the file is ready and its length known; Play, PlayFrom and resume return at once; the end
// of a track leaves the device stopped with its position at its length.
//
// Every call runs on the GUI thread (the constructor only starts the search for the default audio
// output on a worker, which the first Open waits for). The device reads its bus when the stream
// posts something it acts on (the end, an error, a new length), through a queued call on the Qt
// event loop, and also before answering every query, so Mode and Position are current even between
// event-loop turns.
class TMediaPlayer : public QObject {
    Q_OBJECT

public:
    // The platform chooses the decoder from the file itself; there is no other choice here.
    enum TMPDeviceType { dtAutoSelect };

    // Mode values as the player compares them: the device's mode minus 524 (not ready). The device
    // reports mpOpen from Open until the first Play, mpPlaying and mpPaused as commanded, and
    // mpStopped after Stop, at the end of the track and after a playback error.
    enum TMPModes : int {
        mpNotReady = 0,
        mpStopped = 1,
        mpPlaying = 2,
        mpRecording = 3,
        mpSeeking = 4,
        mpPaused = 5,
        mpOpen = 6,
    };

    // audioSink and videoSink are GStreamer element descriptions as gst-launch takes them
    // ("autoaudiosink", "fakesink sync=true"). An empty video sink means the default one.
    // The defaults are the device's own choice: the first audio output that starts (or a silent
    // sink that keeps time), and a picture output made only for files with a picture, drawn by an
    // X video sink (xvimagesink, ximagesink, glimagesink) or, with no X display, discarded.
    // The video window the device owns is a top-level window owned by parent.
    explicit TMediaPlayer(QWidget* parent = nullptr,
                          const QString& audioSink = QStringLiteral("autoaudiosink"),
                          const QString& videoSink = QStringLiteral("autovideosink"));
    ~TMediaPlayer() override;

    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    // Full path of the file to open; set before every Open. Empty until the first file is set.
    const QString& FileName() const;
    void setFileName(const QString& fileName);

    TMPDeviceType DeviceType() const { return dtAutoSelect; }
    void setDeviceType(TMPDeviceType) {}

    // On by default: Play at the end of the track starts again from the beginning.
    bool AutoRewind() const;
    void setAutoRewind(bool autoRewind);

    // 16-bit identifier of the open device; 0 while nothing is open.
    std::uint16_t DeviceId() const;

    // Closes any open device, then opens FileName and waits (bounded) until its length is known.
    // Raises EMCIDeviceError with the device's first error text, or "Unknown error code".
    void Open();
    // Does nothing when no device is open.
    void Close();

    // Raise EMCIDeviceError "No MCI device open" when nothing is open.
    void Play();                           // returns at once; rewinds first at the end (AutoRewind)
    void PlayFrom(std::int64_t position);  // position in ms
    void Pause();                          // toggle: playing pauses, paused resumes (or plays)
    void Stop();                           // halts; the position stays where it was
    std::int64_t Length();                 // ms

    // Never raise; 0 and mpNotReady while nothing is open.
    std::int64_t Position();  // ms from the track's start; equals Length at the end
    TMPModes Mode();

    // The device's text for the error that stopped the open track by itself while it played;
    // empty when none did. The next Open, Play or Close clears it.
    QString ErrorText();

    // Volume 0..1000 as a slider position (cubic scale); values outside are clamped.
    // Does nothing while no device is open.
    void SetVolume(int volume);

    // The window video is shown in, or nullptr when there is none (no GUI application).
    QWidget* VideoWindow() const;

    // The kind of element the open file's picture goes to ("xvimagesink", "fakesink", "GstBin"
    // for a given description), or empty while no file with a picture is open.
    QString VideoOutput() const;

signals:
    // Emitted from the event loop when the device stops by itself: at the end of the track or on
    // a playback error. Nothing is emitted for Stop, Close or a failed Open.
    void Notify();

private:
    struct Private;
    std::unique_ptr<Private> d;
};
