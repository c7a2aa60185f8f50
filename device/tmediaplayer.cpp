#include "device/tmediaplayer.h"

#include <gst/audio/streamvolume.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPointer>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "device/emcideviceerror.h"
#include "device/tmpegaudiolength.h"
#include "device/tvideowindow.h"
#include "platform/filenames.h"

namespace {

// Open waits for the file to be ready as MCI_WAIT does, but never without bound: a file that takes
// longer than this to start decoding counts as one the device cannot play.
constexpr GstClockTime kOpenTimeout = 10 * GST_SECOND;
// Pause, Stop and the rewind before Play wait for the pipeline to settle on a frame.
constexpr GstClockTime kSettleTimeout = 3 * GST_SECOND;
// How long a failed open waits for the error text that explains it.
constexpr GstClockTime kErrorTimeout = GST_SECOND;

// Sinks that draw into an X window the device hands them, best first. Other video sinks (DirectFB,
// KMS, Wayland) would take over the screen or fail without a desktop, so they are never chosen.
constexpr const char* kVideoSinks[] = {"xvimagesink", "ximagesink", "glimagesink"};

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

// The product's default outputs, for which the device makes cheaper choices of its own.
QString defaultAudioSink() {
    return QStringLiteral("autoaudiosink");
}
QString defaultVideoSink() {
    return QStringLiteral("autovideosink");
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

// A sink the device holds on to: playbin takes its own references, never ownership.
GstElement* holdSink(GstElement* sink) {
    return sink != nullptr ? GST_ELEMENT(gst_object_ref_sink(sink)) : nullptr;
}

bool startsUp(GstElement* element) {
    const bool ready = gst_element_set_state(element, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
    gst_element_set_state(element, GST_STATE_NULL);
    return ready;
}

// The default audio output. autoaudiosink tries every output the system might have (sound servers,
// OSS, OpenAL) each time it starts, loading their libraries: with no sound device that is the
// larger part of an open. The device asks it once, keeps the kind of sink it settled on and makes
// that directly; with no output at all, a silent sink that keeps time, as autoaudiosink does.
GstElement* makeDefaultAudioSink() {
    std::string factory;
    if (GstElement* probe = holdSink(gst_element_factory_make("autoaudiosink", nullptr))) {
        if (gst_element_set_state(probe, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS) {
            GstIterator* children = gst_bin_iterate_elements(GST_BIN(probe));
            GValue child = G_VALUE_INIT;
            if (gst_iterator_next(children, &child) == GST_ITERATOR_OK) {
                if (GstElementFactory* kind =
                        gst_element_get_factory(GST_ELEMENT(g_value_get_object(&child)))) {
                    factory = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(kind));
                }
                g_value_unset(&child);
            }
            gst_iterator_free(children);
        }
        gst_element_set_state(probe, GST_STATE_NULL);
        gst_object_unref(probe);
    }
    GstElement* sink = nullptr;
    if (!factory.empty() && factory != "fakesink") {
        sink = gst_element_factory_make(factory.c_str(), nullptr);
    }
    if (sink == nullptr) {
        sink = gst_element_factory_make("fakesink", nullptr);
        if (sink == nullptr) {
            throw EMCIDeviceError(unknownErrorText());
        }
        g_object_set(sink, "sync", TRUE, nullptr);
    }
    return holdSink(sink);
}

// Plugins that every first open loads (typefinding, the sound chain) and those of MP3, the
// format playlists hold most: loaded ahead, the open that needs them does not wait for them.
constexpr const char* kCommonPlugins[] = {
    "typefindfunctions", "audioconvert", "audioresample", "volume",
    "id3demux",          "audioparsers", "mpg123"};

void loadCommonPlugins() {
    for (const char* name : kCommonPlugins) {
        if (GstPlugin* plugin = gst_plugin_load_by_name(name)) {
            gst_object_unref(plugin);
        }
    }
}

// The kind of the first X video sink that starts here, or empty without an X display.
std::string defaultVideoSinkKind() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return {};  // the GL sink would look for other window systems
    }
    for (const char* factory : kVideoSinks) {
        if (GstElement* sink = holdSink(gst_element_factory_make(factory, nullptr))) {
            const bool works = startsUp(sink);
            gst_object_unref(sink);
            if (works) {
                return factory;
            }
        }
    }
    return {};
}

bool isLibav(GstElementFactory* factory) {
    GstPlugin* plugin = gst_plugin_feature_get_plugin(GST_PLUGIN_FEATURE(factory));
    const bool libav = plugin != nullptr && g_strcmp0(gst_plugin_get_name(plugin), "libav") == 0;
    if (plugin != nullptr) {
        gst_object_unref(plugin);
    }
    return libav;
}

// Where decoders of the same rank compete (MP3: libav's and mpg123's), the one that is not libav's
// comes first: loading libav pulls in well over a hundred libraries, several times the cost of the
// rest of a first open. The list comes ordered in runs of one rank; only runs are reordered.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS
GValueArray* sortFactories(GstElement*, GstPad*, GstCaps*, GValueArray* factories, gpointer) {
    std::vector<GValue*> order;
    for (guint i = 0; i < factories->n_values; ++i) {
        order.push_back(g_value_array_get_nth(factories, i));
    }
    const auto factoryOf = [](const GValue* value) {
        return static_cast<GstElementFactory*>(g_value_get_object(value));
    };
    const auto rankOf = [&](const GValue* value) {
        return gst_plugin_feature_get_rank(GST_PLUGIN_FEATURE(factoryOf(value)));
    };
    bool moved = false;
    for (auto run = order.begin(); run != order.end();) {
        const auto end = std::find_if(
            run, order.end(), [&](const GValue* value) { return rankOf(value) != rankOf(*run); });
        const auto libavFirst =
            std::find_if(run, end, [&](const GValue* value) { return isLibav(factoryOf(value)); });
        if (std::find_if(libavFirst, end,
                         [&](const GValue* value) { return !isLibav(factoryOf(value)); }) != end) {
            std::stable_partition(run, end,
                                  [&](const GValue* value) { return !isLibav(factoryOf(value)); });
            moved = true;
        }
        run = end;
    }
    if (!moved) {
        return nullptr;  // keep the order as it is
    }
    GValueArray* sorted = g_value_array_new(factories->n_values);
    for (const GValue* value : order) {
        g_value_array_append(sorted, value);
    }
    return sorted;
}
G_GNUC_END_IGNORE_DEPRECATIONS

}  // namespace

struct TMediaPlayer::Private {
    TMediaPlayer* owner = nullptr;
    GstElement* playbin = nullptr;
    // With the default video output, every file opens first into this silent stand-in; a file with
    // a picture then opens again into a new sink of the kind chosen on the first such file (a new
    // one, so that it asks for the window again). Audio files so never start a video sink, which
    // for the GL sink means a GL context.
    bool chooseVideo = false;
    GstElement* stillVideo = nullptr;
    // The default audio output, still being found on a worker thread; the first Open takes it.
    std::future<GstElement*> audioOutput;
    std::string videoSinkKind;
    bool videoSinkChosen = false;
    QString fileName;
    bool autoRewind = true;
    std::uint16_t deviceId = 0;
    std::uint16_t lastDeviceId = 0;
    TMPModes mode = mpNotReady;
    std::int64_t length = 0;                 // ms
    std::int64_t lastPosition = 0;           // ms, answered while the pipeline cannot say
    std::int64_t origin = 0;                 // ms, the stream time at which the track starts
    std::optional<std::int64_t> seekTarget;  // ms, until the seek has settled
    bool atEnd = false;      // the stream ended: stopped with the position at the length
    bool broken = false;     // an error ended the stream after it had opened
    bool notifyDue = false;  // the device stopped by itself; Notify is still to be emitted
    QString firstError;
    std::string soundFont;
    // Set by the sync handler on a streaming thread when it has queued a reading of the bus.
    std::atomic<bool> wakeQueued{false};
    QPointer<TVideoWindow> videoWindow;
    // Written on the GUI thread before the stream starts, read by the sync handler on a streaming
    // thread when the video sink asks where to draw.
    std::atomic<guintptr> windowHandle{0};
    std::atomic<bool> overlayAsked{false};

    ~Private();
    void pump();
    void wake();
    GstStateChangeReturn preroll();
    void useVideoSink(GstElement* sink);
    void takeAudioOutput();
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
    // The steps of TMediaPlayer::Open: forget the last track, pause on the new one (with a
    // video sink when it has pictures), then take its start and length.
    void resetForOpen();
    GstStateChangeReturn prerollChoosingVideo();
    void takeFigures(const QString& path);

    static GstBusSyncReply syncHandler(GstBus* bus, GstMessage* message, gpointer data);
    static void elementSetup(GstElement* playbin, GstElement* element, gpointer data);
};

TMediaPlayer::Private::~Private() {
    if (audioOutput.valid()) {
        try {
            gst_object_unref(audioOutput.get());
        } catch (const EMCIDeviceError&) {
            // no sink was made: nothing to free
        }
    }
    if (playbin != nullptr) {
        gst_element_set_state(playbin, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(playbin);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(playbin);
    }
    if (stillVideo != nullptr) {
        gst_object_unref(stillVideo);
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

// Runs from the event loop after the stream posted something the device acts on.
void TMediaPlayer::Private::wake() {
    wakeQueued = false;
    pump();
    if (notifyDue) {
        notifyDue = false;
        emit owner->Notify();
    }
}

// Takes the pipeline to PAUSED and waits until it has settled on its first frame, then reads what
// the bus said about it.
GstStateChangeReturn TMediaPlayer::Private::preroll() {
    GstStateChangeReturn result = gst_element_set_state(playbin, GST_STATE_PAUSED);
    if (result == GST_STATE_CHANGE_ASYNC) {
        result = gst_element_get_state(playbin, nullptr, nullptr, kOpenTimeout);
    }
    pump();
    if (result == GST_STATE_CHANGE_FAILURE && firstError.isEmpty()) {
        awaitError();
    }
    return result;
}

void TMediaPlayer::Private::useVideoSink(GstElement* sink) {
    GstElement* current = nullptr;
    g_object_get(playbin, "video-sink", &current, nullptr);
    if (current != sink) {
        g_object_set(playbin, "video-sink", sink, nullptr);
    }
    if (current != nullptr) {
        gst_object_unref(current);
    }
}

void TMediaPlayer::Private::takeAudioOutput() {
    if (!audioOutput.valid()) {
        return;
    }
    GstElement* sink = audioOutput.get();  // raises the worker's error, once
    g_object_set(playbin, "audio-sink", sink, nullptr);
    gst_object_unref(sink);
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
                notifyDue = true;
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
                notifyDue = true;
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
    auto* self = static_cast<Private*>(data);
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
        case GST_MESSAGE_EOS:
        case GST_MESSAGE_DURATION_CHANGED:
            // The event loop reads the bus once for any number of these; nothing polls it.
            if (QCoreApplication::instance() != nullptr && !self->wakeQueued.exchange(true)) {
                QMetaObject::invokeMethod(
                    self->owner, [self] { self->wake(); }, Qt::QueuedConnection);
            }
            return GST_BUS_PASS;
        default:
            break;
    }
    if (!gst_is_video_overlay_prepare_window_handle_message(message)) {
        return GST_BUS_PASS;
    }
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
    const char* name =
        factory != nullptr ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)) : nullptr;
    if (!self->soundFont.empty() && g_strcmp0(name, "fluiddec") == 0) {
        g_object_set(element, "soundfont", self->soundFont.c_str(), nullptr);
    } else if (g_strcmp0(name, "uridecodebin") == 0) {
        // playbin may add the same decoding bin again for the next file.
        g_signal_handlers_disconnect_by_func(element, reinterpret_cast<gpointer>(&sortFactories),
                                             nullptr);
        g_signal_connect(element, "autoplug-sort", G_CALLBACK(&sortFactories), nullptr);
    }
}

TMediaPlayer::TMediaPlayer(QWidget* parent, const QString& audioSink, const QString& videoSink)
    : QObject(parent), d(std::make_unique<Private>()) {
    d->owner = this;
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        throw EMCIDeviceError(takeErrorText(error));
    }
    d->playbin = gst_element_factory_make("playbin", nullptr);
    if (d->playbin == nullptr) {
        throw EMCIDeviceError(unknownErrorText());
    }
    gst_object_ref_sink(d->playbin);
    if (audioSink == defaultAudioSink()) {
        // Asking the system's sound outputs and loading the plugins of a first open take longer
        // than the rest of that open; they run while the caller builds its windows (in the
        // program, behind the splash). Nothing else is shared with the worker.
        d->audioOutput = std::async(std::launch::async, [] {
            loadCommonPlugins();
            return makeDefaultAudioSink();
        });
    } else {
        g_object_set(d->playbin, "audio-sink", makeSink(audioSink), nullptr);
    }
    d->chooseVideo = videoSink.isEmpty() || videoSink == defaultVideoSink();
    if (d->chooseVideo) {
        d->stillVideo = holdSink(gst_element_factory_make("fakesink", nullptr));
        if (d->stillVideo == nullptr) {
            throw EMCIDeviceError(unknownErrorText());
        }
        // A picture nobody can see still keeps time, so a file with no sound plays its length.
        g_object_set(d->stillVideo, "sync", TRUE, nullptr);
    } else {
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

QString TMediaPlayer::VideoOutput() const {
    gint videoStreams = 0;
    if (d->deviceId != 0) {
        g_object_get(d->playbin, "n-video", &videoStreams, nullptr);
    }
    if (videoStreams <= 0) {
        return {};
    }
    GstElement* sink = nullptr;
    g_object_get(d->playbin, "video-sink", &sink, nullptr);
    QString kind;
    if (sink != nullptr) {
        GstElementFactory* factory = gst_element_get_factory(sink);
        kind = QString::fromUtf8(factory != nullptr
                                     ? gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory))
                                     : G_OBJECT_TYPE_NAME(sink));
        gst_object_unref(sink);
    }
    return kind;
}

void TMediaPlayer::Private::resetForOpen() {
    takeAudioOutput();
    discardMessages();
    firstError.clear();
    broken = false;
    atEnd = false;
    seekTarget.reset();
    lastPosition = 0;
    origin = 0;
    length = 0;
    overlayAsked = false;
    notifyDue = false;
    // Only an X window can be handed to the X sinks; elsewhere they open a window of their own.
    const bool xWindow =
        videoWindow != nullptr && QGuiApplication::platformName() == QLatin1String("xcb");
    windowHandle = xWindow ? videoWindow->winId() : 0;
    if (windowHandle != 0) {
        // playbin keeps the window and hands it to every sink it starts; a sink that was given it
        // this way does not ask for it again.
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(playbin), windowHandle);
    }
}

GstStateChangeReturn TMediaPlayer::Private::prerollChoosingVideo() {
    if (chooseVideo) {
        useVideoSink(stillVideo);
    }
    GstStateChangeReturn result = preroll();
    gint videoStreams = 0;
    g_object_get(playbin, "n-video", &videoStreams, nullptr);
    if (!chooseVideo || videoStreams == 0 || result == GST_STATE_CHANGE_FAILURE ||
        result == GST_STATE_CHANGE_ASYNC || !firstError.isEmpty()) {
        return result;
    }
    if (!videoSinkChosen) {
        videoSinkChosen = true;
        videoSinkKind = defaultVideoSinkKind();
    }
    // Without an X display the picture goes nowhere and the sound plays on.
    if (GstElement* sink = videoSinkKind.empty() ? nullptr
                                                 : holdSink(gst_element_factory_make(
                                                       videoSinkKind.c_str(), nullptr))) {
        gst_element_set_state(playbin, GST_STATE_READY);
        discardMessages();
        useVideoSink(sink);
        gst_object_unref(sink);
        result = preroll();
    }
    return result;
}

void TMediaPlayer::Private::takeFigures(const QString& path) {
    // Some demuxers (MPEG program streams) count time on the stream's own clock, which starts
    // where the file's first picture or sound does; the track's start is 0 ms all the same.
    gint64 start = 0;
    if (gst_element_query_position(playbin, GST_FORMAT_TIME, &start) && start > 0) {
        origin = toMs(start);
    }
    length = queryDuration();
    if (length <= 0) {
        // MPEG audio without a VBR header: the parser learns the length only while playing.
        length = TMpegAudioLength::Measure(path);
    }
    if (windowHandle != 0) {
        if (GstElement* overlay = findOverlay()) {
            overlayAsked = true;  // it draws into the window playbin handed it
            gst_object_unref(overlay);
        }
    }
}

void TMediaPlayer::Open() {
    Close();
    d->resetForOpen();
    if (d->fileName.isEmpty()) {
        throw EMCIDeviceError(unknownErrorText());  // nothing named: no device to choose
    }
    const QString path = QFileInfo(d->fileName).absoluteFilePath();
    GError* error = nullptr;
    QByteArray native;
    if (!NativeFromName(path, native)) {
        native = QFile::encodeName(path);
    }
    // A named pipe without a writer, or a device file, would hold the open and with it the
    // window; a missing file is left for the framework to name.
    if (struct stat status{};
        ::stat(native.constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        throw EMCIDeviceError(QStringLiteral("\"%1\" is not a regular file.").arg(path));
    }
    gchar* uri = gst_filename_to_uri(native.constData(), &error);
    if (uri == nullptr) {
        throw EMCIDeviceError(takeErrorText(error));
    }
    g_object_set(d->playbin, "uri", uri, nullptr);
    g_free(uri);

    const GstStateChangeReturn result = d->prerollChoosingVideo();
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
    d->takeFigures(path);
    d->showVideo();
}

void TMediaPlayer::Close() {
    if (d->deviceId == 0) {
        return;
    }
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
    d->notifyDue = false;
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

QString TMediaPlayer::ErrorText() {
    d->pump();
    return d->deviceId != 0 && d->broken ? d->firstError : QString();
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
