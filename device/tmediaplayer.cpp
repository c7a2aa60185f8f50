#include "device/tmediaplayer.h"

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <optional>

#include "device/emcideviceerror.h"
#include "device/tmpegaudiolength.h"
#include "device/tvideowindow.h"

namespace {

// Open waits for the file to be ready as MCI_WAIT does, but never without bound: a file that takes
// longer than this to start decoding counts as one the device cannot play.
constexpr GstClockTime kOpenTimeout = 10 * GST_SECOND;
// Pause, Stop and the rewind before Play wait for the pipeline to settle on a frame.
constexpr GstClockTime kSettleTimeout = 3 * GST_SECOND;
// How long a failed open waits for the error text that explains it.
constexpr GstClockTime kErrorTimeout = GST_SECOND;
// How often the event loop looks at the bus for the end of the track and errors.
constexpr int kBusIntervalMs = 50;

// General MIDI sound fonts the synthesizer may use, best first.
constexpr const char* kSoundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                       "/usr/share/sounds/sf2/default-GM.sf2"};

QString noDeviceText() {
    return QStringLiteral("No MCI device open");
}
QString unknownErrorText() {
    return QStringLiteral("Unknown error code");
}

QString takeErrorText(GError*& error) {
    QString text = error != nullptr ? QString::fromUtf8(error->message) : unknownErrorText();
    g_clear_error(&error);
    return text;
}

std::int64_t toMs(gint64 ns) {
    return ns / static_cast<gint64>(GST_MSECOND);
}

GstElement* makeSink(const QString& description) {
    GError* error = nullptr;
    GstElement* sink =
        gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &error);
    if (sink == nullptr) {
        throw EMCIDeviceError(takeErrorText(error));
    }
    g_clear_error(&error);
    return sink;
}

}  // namespace

struct TMediaPlayer::Private {
    GstElement* playbin = nullptr;
    QString fileName;
    bool autoRewind = true;
    std::uint16_t deviceId = 0;
    std::uint16_t lastDeviceId = 0;
    TMPModes mode = mpNotReady;
    std::int64_t length = 0;                 // ms
    std::int64_t lastPosition = 0;           // ms, answered while the pipeline cannot say
    std::int64_t origin = 0;                 // ms, the stream time at which the track starts
    std::optional<std::int64_t> seekTarget;  // ms, until the seek has settled
    bool atEnd = false;   // the stream ended: stopped with the position at the length
    bool broken = false;  // an error ended the stream after it had opened
    QString firstError;
    std::string soundFont;
    QTimer busTimer;
    QPointer<TVideoWindow> videoWindow;
    // Written on the GUI thread before the stream starts, read by the sync handler on a streaming
    // thread when the video sink asks where to draw.
    std::atomic<guintptr> windowHandle{0};
    std::atomic<bool> overlayAsked{false};

    ~Private();
    void pump();
    void handle(GstMessage* message);
    void discardMessages();
    void awaitError();
    void settle(GstClockTime timeout);
    void seekTo(std::int64_t ms, bool wait);
    std::int64_t queryDuration() const;
    std::int64_t queryPosition();
    GstElement* findOverlay() const;
    void exposeVideo() const;
    void showVideo();
    void requireOpen();

    static GstBusSyncReply syncHandler(GstBus* bus, GstMessage* message, gpointer data);
    static void elementSetup(GstElement* playbin, GstElement* element, gpointer data);
};

TMediaPlayer::Private::~Private() {
    if (playbin != nullptr) {
        gst_element_set_state(playbin, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(playbin);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(playbin);
    }
    delete videoWindow.data();
}

void TMediaPlayer::Private::pump() {
    GstBus* bus = gst_element_get_bus(playbin);
    while (GstMessage* message = gst_bus_pop(bus)) {
        handle(message);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
}

void TMediaPlayer::Private::discardMessages() {
    GstBus* bus = gst_element_get_bus(playbin);
    while (GstMessage* message = gst_bus_pop(bus)) {
        gst_message_unref(message);
    }
    gst_object_unref(bus);
}

// A failed state change can be seen before the streaming thread has posted the error behind it.
void TMediaPlayer::Private::awaitError() {
    GstBus* bus = gst_element_get_bus(playbin);
    if (GstMessage* message = gst_bus_timed_pop_filtered(bus, kErrorTimeout, GST_MESSAGE_ERROR)) {
        handle(message);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
}

void TMediaPlayer::Private::handle(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            QString text = takeErrorText(error);
            // The first error is the cause; the ones after it are its consequences.
            if (firstError.isEmpty()) {
                firstError = text;
            }
            if (deviceId != 0) {
                broken = true;
                seekTarget.reset();
                mode = mpStopped;
            }
            break;
        }
        case GST_MESSAGE_EOS:
            if (deviceId != 0) {
                // A length measured from clock references may fall short of where the stream
                // really ends; at the end the position and the length agree.
                length = std::max(length, queryPosition());
                atEnd = true;
                seekTarget.reset();
                mode = mpStopped;
                gst_element_set_state(playbin, GST_STATE_PAUSED);
            }
            break;
        case GST_MESSAGE_DURATION_CHANGED:
            if (deviceId != 0) {
                // The demuxer or parser knows better now (a VBR stream measured while playing).
                if (std::int64_t duration = queryDuration(); duration > 0) {
                    length = duration;
                }
            }
            break;
        case GST_MESSAGE_ASYNC_DONE:
            if (GST_MESSAGE_SRC(message) == GST_OBJECT(playbin)) {
                seekTarget.reset();
            }
            break;
        default:
            break;
    }
}

void TMediaPlayer::Private::settle(GstClockTime timeout) {
    gst_element_get_state(playbin, nullptr, nullptr, timeout);
    pump();
}

void TMediaPlayer::Private::seekTo(std::int64_t ms, bool wait) {
    atEnd = false;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (gst_element_seek_simple(playbin, GST_FORMAT_TIME, flags, (origin + ms) * GST_MSECOND)) {
        seekTarget = ms;
        lastPosition = ms;
    }
    if (wait) {
        settle(kSettleTimeout);
    }
}

std::int64_t TMediaPlayer::Private::queryDuration() const {
    gint64 duration = 0;
    if (gst_element_query_duration(playbin, GST_FORMAT_TIME, &duration) && duration > 0) {
        return toMs(duration);
    }
    return 0;
}

std::int64_t TMediaPlayer::Private::queryPosition() {
    gint64 position = 0;
    if (!broken && gst_element_query_position(playbin, GST_FORMAT_TIME, &position) &&
        position >= 0) {
        lastPosition = std::max<std::int64_t>(toMs(position) - origin, 0);
    }
    return lastPosition;
}

GstElement* TMediaPlayer::Private::findOverlay() const {
    GstElement* sink = nullptr;
    g_object_get(playbin, "video-sink", &sink, nullptr);
    if (sink == nullptr) {
        return nullptr;
    }
    GstElement* overlay = nullptr;
    if (GST_IS_VIDEO_OVERLAY(sink)) {
        overlay = GST_ELEMENT(gst_object_ref(sink));
    } else if (GST_IS_BIN(sink)) {
        overlay = gst_bin_get_by_interface(GST_BIN(sink), GST_TYPE_VIDEO_OVERLAY);
    }
    gst_object_unref(sink);
    return overlay;
}

void TMediaPlayer::Private::exposeVideo() const {
    if (deviceId == 0 || !overlayAsked) {
        return;
    }
    if (GstElement* overlay = findOverlay()) {
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(overlay));
        gst_object_unref(overlay);
    }
}

// Shows the video window at the picture's size once the sink has taken it as its drawing place.
void TMediaPlayer::Private::showVideo() {
    gint videoStreams = 0;
    g_object_get(playbin, "n-video", &videoStreams, nullptr);
    // Some sinks ask for a window as soon as they start, before they know there is no picture.
    if (videoWindow == nullptr || !overlayAsked || videoStreams <= 0) {
        return;
    }
    int width = 320;
    int height = 240;
    GstPad* pad = nullptr;
    g_signal_emit_by_name(playbin, "get-video-pad", 0, &pad);
    if (pad != nullptr) {
        if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
            GstVideoInfo info;
            if (gst_video_info_from_caps(&info, caps) && info.width > 0 && info.height > 0) {
                width = info.width;
                height = info.height;
                if (info.par_n > 0 && info.par_d > 0) {
                    width =
                        static_cast<int>(gst_util_uint64_scale_int(width, info.par_n, info.par_d));
                }
            }
            gst_caps_unref(caps);
        }
        gst_object_unref(pad);
    }
    videoWindow->setWindowTitle(QFileInfo(fileName).fileName());
    videoWindow->resize(width, height);
    videoWindow->show();
}

void TMediaPlayer::Private::requireOpen() {
    pump();
    if (deviceId == 0) {
        throw EMCIDeviceError(noDeviceText());
    }
}

GstBusSyncReply TMediaPlayer::Private::syncHandler(GstBus*, GstMessage* message, gpointer data) {
    if (!gst_is_video_overlay_prepare_window_handle_message(message)) {
        return GST_BUS_PASS;
    }
    auto* self = static_cast<Private*>(data);
    const guintptr handle = self->windowHandle;
    if (handle == 0) {
        return GST_BUS_PASS;  // no window of ours: the sink opens its own
    }
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(message)), handle);
    self->overlayAsked = true;
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void TMediaPlayer::Private::elementSetup(GstElement*, GstElement* element, gpointer data) {
    auto* self = static_cast<Private*>(data);
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr && !self->soundFont.empty() &&
        g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec") == 0) {
        g_object_set(element, "soundfont", self->soundFont.c_str(), nullptr);
    }
}

TMediaPlayer::TMediaPlayer(QWidget* parent, const QString& audioSink, const QString& videoSink)
    : QObject(parent), d(std::make_unique<Private>()) {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        throw EMCIDeviceError(takeErrorText(error));
    }
    d->playbin = gst_element_factory_make("playbin", nullptr);
    if (d->playbin == nullptr) {
        throw EMCIDeviceError(unknownErrorText());
    }
    gst_object_ref_sink(d->playbin);
    g_object_set(d->playbin, "audio-sink", makeSink(audioSink), nullptr);
    if (!videoSink.isEmpty()) {
        g_object_set(d->playbin, "video-sink", makeSink(videoSink), nullptr);
    }
    for (const char* font : kSoundFonts) {
        if (QFile::exists(QString::fromUtf8(font))) {
            d->soundFont = font;
            break;
        }
    }
    g_signal_connect(d->playbin, "element-setup", G_CALLBACK(&Private::elementSetup), d.get());
    GstBus* bus = gst_element_get_bus(d->playbin);
    gst_bus_set_sync_handler(bus, &Private::syncHandler, d.get(), nullptr);
    gst_object_unref(bus);

    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        d->videoWindow = new TVideoWindow(parent);
        d->videoWindow->setExposeHandler([this] { d->exposeVideo(); });
    }
    d->busTimer.setInterval(kBusIntervalMs);
    connect(&d->busTimer, &QTimer::timeout, this, [this] { d->pump(); });
}

TMediaPlayer::~TMediaPlayer() = default;

const QString& TMediaPlayer::FileName() const {
    return d->fileName;
}

void TMediaPlayer::setFileName(const QString& fileName) {
    d->fileName = fileName;
}

bool TMediaPlayer::AutoRewind() const {
    return d->autoRewind;
}

void TMediaPlayer::setAutoRewind(bool autoRewind) {
    d->autoRewind = autoRewind;
}

std::uint16_t TMediaPlayer::DeviceId() const {
    return d->deviceId;
}

QWidget* TMediaPlayer::VideoWindow() const {
    return d->videoWindow.data();
}

void TMediaPlayer::Open() {
    Close();
    d->discardMessages();
    d->firstError.clear();
    d->broken = false;
    d->atEnd = false;
    d->seekTarget.reset();
    d->lastPosition = 0;
    d->origin = 0;
    d->length = 0;
    d->overlayAsked = false;
    d->windowHandle = d->videoWindow != nullptr ? d->videoWindow->winId() : 0;

    if (d->fileName.isEmpty()) {
        throw EMCIDeviceError(unknownErrorText());  // nothing named: no device to choose
    }
    const QString path = QFileInfo(d->fileName).absoluteFilePath();
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(QFile::encodeName(path).constData(), &error);
    if (uri == nullptr) {
        throw EMCIDeviceError(takeErrorText(error));
    }
    g_object_set(d->playbin, "uri", uri, nullptr);
    g_free(uri);

    GstStateChangeReturn result = gst_element_set_state(d->playbin, GST_STATE_PAUSED);
    if (result == GST_STATE_CHANGE_ASYNC) {
        result = gst_element_get_state(d->playbin, nullptr, nullptr, kOpenTimeout);
    }
    d->pump();
    if (result == GST_STATE_CHANGE_FAILURE && d->firstError.isEmpty()) {
        d->awaitError();
    }
    if (result == GST_STATE_CHANGE_FAILURE || result == GST_STATE_CHANGE_ASYNC ||
        !d->firstError.isEmpty()) {
        const QString text = d->firstError.isEmpty() ? unknownErrorText() : d->firstError;
        gst_element_set_state(d->playbin, GST_STATE_NULL);
        d->discardMessages();
        throw EMCIDeviceError(text);
    }

    d->deviceId = ++d->lastDeviceId;
    if (d->deviceId == 0) {
        d->deviceId = ++d->lastDeviceId;  // 0 means no device
    }
    d->mode = mpOpen;
    // Some demuxers (MPEG program streams) count time on the stream's own clock, which starts
    // where the file's first picture or sound does; the track's start is 0 ms all the same.
    gint64 start = 0;
    if (gst_element_query_position(d->playbin, GST_FORMAT_TIME, &start) && start > 0) {
        d->origin = toMs(start);
    }
    d->length = d->queryDuration();
    if (d->length <= 0) {
        // MPEG audio without a VBR header: the parser learns the length only while playing.
        d->length = TMpegAudioLength::Measure(path);
    }
    if (QCoreApplication::instance() != nullptr) {
        d->busTimer.start();
    }
    d->showVideo();
}

void TMediaPlayer::Close() {
    if (d->deviceId == 0) {
        return;
    }
    d->busTimer.stop();
    gst_element_set_state(d->playbin, GST_STATE_NULL);
    d->discardMessages();
    if (d->videoWindow != nullptr) {
        d->videoWindow->hide();
    }
    d->deviceId = 0;
    d->mode = mpNotReady;
    d->length = 0;
    d->lastPosition = 0;
    d->seekTarget.reset();
    d->atEnd = false;
    d->broken = false;
}

void TMediaPlayer::Play() {
    d->requireOpen();
    if (d->broken) {
        Open();  // the stream died; start it afresh
    }
    if (d->autoRewind && Position() == d->length) {
        d->seekTo(0, true);
    }
    gst_element_set_state(d->playbin, GST_STATE_PLAYING);
    d->mode = mpPlaying;
}

void TMediaPlayer::PlayFrom(std::int64_t position) {
    d->requireOpen();
    if (d->broken) {
        Open();
    }
    position = std::max<std::int64_t>(position, 0);
    if (d->length > 0) {
        position = std::min(position, d->length);
    }
    d->seekTo(position, false);
    gst_element_set_state(d->playbin, GST_STATE_PLAYING);
    d->mode = mpPlaying;
}

void TMediaPlayer::Pause() {
    d->requireOpen();
    if (d->mode == mpPlaying) {
        gst_element_set_state(d->playbin, GST_STATE_PAUSED);
        d->settle(kSettleTimeout);
        if (d->mode == mpPlaying) {  // unless the track ended meanwhile
            d->mode = mpPaused;
        }
    } else if (d->mode == mpPaused) {
        if (gst_element_set_state(d->playbin, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            Play();
        } else {
            d->mode = mpPlaying;
        }
    }
}

void TMediaPlayer::Stop() {
    d->requireOpen();
    gst_element_set_state(d->playbin, GST_STATE_PAUSED);
    d->settle(kSettleTimeout);
    d->mode = mpStopped;
}

std::int64_t TMediaPlayer::Length() {
    d->requireOpen();
    return d->length;
}

std::int64_t TMediaPlayer::Position() {
    d->pump();
    if (d->deviceId == 0) {
        return 0;
    }
    if (d->atEnd) {
        return d->length;
    }
    if (d->seekTarget) {
        // Until the pipeline has settled on the new place it still answers with the old one.
        GstState pending = GST_STATE_VOID_PENDING;
        if (gst_element_get_state(d->playbin, nullptr, &pending, 0) == GST_STATE_CHANGE_ASYNC) {
            return *d->seekTarget;
        }
        d->seekTarget.reset();
    }
    return d->queryPosition();
}

TMediaPlayer::TMPModes TMediaPlayer::Mode() {
    d->pump();
    return d->deviceId != 0 ? d->mode : mpNotReady;
}

void TMediaPlayer::SetVolume(int volume) {
    if (d->deviceId == 0) {
        return;
    }
    // The scale is a slider position: cubic, so that its middle sounds like the middle.
    const double cubic = std::clamp(volume, 0, 1000) / 1000.0;
    const double linear = gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_CUBIC,
                                                           GST_STREAM_VOLUME_FORMAT_LINEAR, cubic);
    gst_stream_volume_set_volume(GST_STREAM_VOLUME(d->playbin), GST_STREAM_VOLUME_FORMAT_LINEAR,
                                 linear);
}
