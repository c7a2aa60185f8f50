// Playback: CPU time of the player window playing a 60-second MP3 into fakesink sync=true,
// against gst-launch-1.0 playbin on the same file and sinks running beside it; and the time from
// Play to the first change of the position, against a playbin built the way gst-launch builds it.
//
// Usage: bench_playback <corpus folder> [rounds]

#include "app/tform1.h"
#include "bench/benchsupport.h"
#include "platform/tapplication.h"

#include <gst/gst.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

const char* kSink = "fakesink sync=true";

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double SelfCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

// The calling thread alone: the window's timers, texts and paints, without the pipeline's threads.
double ThreadCpu() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return CpuSeconds(usage);
}

// extraEnv ("NAME=value" entries) goes in front of this process's environment.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {}) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    std::vector<char*> env;
    for (const std::string& entry : extraEnv) {
        env.push_back(const_cast<char*>(entry.c_str()));
    }
    for (char** entry = environ; *entry != nullptr; ++entry) {
        env.push_back(*entry);
    }
    env.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), env.data()) != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    return pid;
}

// CPU seconds of the child, once it has ended.
double WaitCpu(pid_t pid) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("gst-launch-1.0 failed");
    }
    return CpuSeconds(usage);
}

std::vector<std::string> GstLaunch(const std::string& uri) {
    return {"gst-launch-1.0",
            "-q",
            "playbin",
            "uri=" + uri,
            std::string("audio-sink=") + kSink,
            std::string("video-sink=") + kSink};
}

// Play to the first change of the position of a playbin, polled as often as the player's device
// is polled below: either prerolled (paused) before Play, or started from nothing, the way the
// player's Play opens its file again before playing it.
double BaselineFirstPosition(const std::string& uri, bool prerolled) {
    const std::string description =
        "playbin uri=" + uri + " audio-sink=\"" + kSink + "\" video-sink=\"" + kSink + "\"";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (pipeline == nullptr) {
        throw std::runtime_error(error != nullptr ? error->message : "no playbin");
    }
    gint64 first = 0;
    double start = bench::Now();
    if (prerolled) {
        gst_element_set_state(pipeline, GST_STATE_PAUSED);
        gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
        gst_element_query_position(pipeline, GST_FORMAT_TIME, &first);
        start = bench::Now();
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    gint64 now = first;
    while (now <= first && bench::Now() - start < 10) {
        g_usleep(500);
        gst_element_query_position(pipeline, GST_FORMAT_TIME, &now);
    }
    const double elapsed = bench::Now() - start;
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return elapsed;
}

struct TPlayerRun {
    double firstPosition = 0;  // seconds from Play
    double cpu = 0;            // seconds of CPU from Play to the end of the track
    double windowCpu = 0;      // the part of it spent on the window's own thread
};

// started runs once the first position change has been seen, so that what it starts does not
// take the processor from the player while that is timed.
TPlayerRun PlayerRun(TForm1& form, const std::function<void()>& started) {
    TPlayerRun run;
    const std::int64_t first = form.MediaPlayer->Position();
    const double cpuStart = SelfCpu();
    const double windowStart = ThreadCpu();
    const double start = bench::Now();
    form.BtnPlayClick();
    while (form.MediaPlayer->Position() == first && bench::Now() - start < 10) {
        QThread::usleep(500);
    }
    run.firstPosition = bench::Now() - start;
    started();
    // The player's own timers wake the loop; nothing here polls.
    QDeadlineTimer bound(120000);
    while (form.MediaPlayer->Mode() != TMediaPlayer::mpStopped && !bound.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    if (bound.hasExpired()) {
        throw std::runtime_error("the track did not end");
    }
    run.cpu = SelfCpu() - cpuStart;
    run.windowCpu = ThreadCpu() - windowStart;
    return run;
}

// The window thread's CPU a second over span seconds of playing with the window minimised, or a
// negative figure when nothing minimised it (no window manager on the display).
double MinimisedWindowCpu(TForm1& form, int span) {
    form.BtnPlayClick();
    form.showMinimized();
    QDeadlineTimer unmapped(3000);
    while (form.windowHandle()->isExposed() && !unmapped.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    double perSecond = -1;
    if (!form.windowHandle()->isExposed()) {
        const double windowStart = ThreadCpu();
        QEventLoop playing;
        QTimer::singleShot(span * 1000, &playing, &QEventLoop::quit);
        playing.exec();
        perSecond = (ThreadCpu() - windowStart) / span;
    }
    form.btnstopClick();
    return perSecond;
}

// One more play in a fresh window, minimised, against the visible figure (CPU a second).
void PrintMinimised(const QString& folder, double visiblePerSecond) {
    TForm1 form(folder, QString::fromUtf8(kSink), QString::fromUtf8(kSink));
    form.show();
    QCoreApplication::processEvents();
    constexpr int kMinimisedSpan = 20;
    const double minimised = MinimisedWindowCpu(form, kMinimisedSpan);
    if (minimised < 0) {
        std::printf(
            "playback CPU of the window's own thread while minimised: not measured, nothing "
            "minimised the window (no window manager)\n");
    } else {
        std::printf(
            "playback CPU of the window's own thread while minimised: %.2f ms a second over %d "
            "s (visible: %.1f ms a second; aim near zero)\n",
            minimised * 1000, kMinimisedSpan, visiblePerSecond * 1000);
    }
}

struct TSamples {
    std::vector<double> ourCpu;
    std::vector<double> windowCpu;
    std::vector<double> theirCpu;
    std::vector<double> sameDecoderCpu;
    std::vector<double> ourFirst;
    std::vector<double> theirFirst;
    std::vector<double> theirFirstCold;
};

void Print(const TSamples& samples, double launchCost, int rounds) {
    const double our = bench::Median(samples.ourCpu);
    const double their = bench::Median(samples.theirCpu);
    std::printf(
        "playback CPU, 60 s MP3 into fakesink sync=true: player %.2f s, gst-launch-1.0 "
        "playbin %.2f s (%.2f s of its start-up taken off), ratio %s (aim <= 1.1x); median "
        "of %d\n",
        our, their, launchCost, bench::Ratio(our / their).c_str(), rounds);
    const double alikeCpu = bench::Median(samples.sameDecoderCpu);
    std::printf(
        "playback CPU against gst-launch-1.0 playbin decoding with mpg123 as the player does: "
        "%.2f s, ratio %s\n",
        alikeCpu, bench::Ratio(our / alikeCpu).c_str());
    const double window = bench::Median(samples.windowCpu);
    std::printf(
        "playback CPU of the window's own thread (timers, texts, paints): %.3f s, %.1f ms a "
        "second; the rest of the player's is the pipeline's; median of %d\n",
        window, window / 60 * 1000, rounds);
    const double ourStart = bench::Median(samples.ourFirst);
    const double theirStart = bench::Median(samples.theirFirst);
    const double theirCold = bench::Median(samples.theirFirstCold);
    std::printf(
        "playback Play to first position change: player %.1f ms; playbin prerolled %.1f ms, "
        "ratio %s; playbin from nothing %.1f ms, ratio %s (aim <= 1.5x); median of %d\n",
        ourStart * 1000, theirStart * 1000, bench::Ratio(ourStart / theirStart).c_str(),
        theirCold * 1000, bench::Ratio(ourStart / theirCold).c_str(), rounds);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder> [rounds]\n", argv[0]);
        return 2;
    }
    const std::string track = std::string(argv[1]) + "/long60.mp3";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    QApplication application(argc, argv);
    try {
        gst_init(nullptr, nullptr);
        QStringList messages;
        TApplication::instance().setPresenter(
            [&messages](const TApplication::MessageRequest& request) {
                messages << request.text;
                return QMessageBox::Ok;
            });
        gchar* uriText = gst_filename_to_uri(track.c_str(), nullptr);
        const std::string uri = uriText;
        g_free(uriText);

        QTemporaryDir dir;
        const QString glyphs = QStringLiteral(TOVRA_SOURCE_DIR "/assets/Tombol/");
        QDir(dir.path()).mkdir(QStringLiteral("Tombol"));
        for (const QString& name : QDir(glyphs).entryList(QDir::Files)) {
            QFile::copy(glyphs + name, dir.filePath(QStringLiteral("Tombol/") + name));
        }
        const auto write = [&dir](const char* name, const QByteArray& data) {
            QFile file(dir.filePath(QString::fromUtf8(name)));
            if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
                throw std::runtime_error("cannot write the state files");
            }
        };
        write("PlayList.Txt", QByteArray::fromStdString(track) + "\r\n");
        write("KorviList.Txt", "long60.mp3\r\n");
        write("KorviSetting.Korvi", "0\r\n2\r\n1\r\n800\r\n");

        // What gst-launch spends before it plays: start-up and plugin loading, taken off its
        // figure so both count the playing alone.
        const double launchCost =
            WaitCpu(Spawn({"gst-launch-1.0", "-q", "fakesrc", "num-buffers=1", "!", "fakesink"}));

        TSamples samples;
        for (int round = 0; round < rounds; ++round) {
            TForm1 form(dir.path(), QString::fromUtf8(kSink), QString::fromUtf8(kSink));
            form.show();  // FormShow opens the track without playing it
            QCoreApplication::processEvents();
            samples.theirFirst.push_back(BaselineFirstPosition(uri, true));
            samples.theirFirstCold.push_back(BaselineFirstPosition(uri, false));
            // All play at once; each process's CPU time is its own. The player prefers mpg123
            // to libav for MP3 (same rank); the second one decodes alike.
            pid_t launch = 0;
            pid_t alike = 0;
            const TPlayerRun run = PlayerRun(form, [&] {
                launch = Spawn(GstLaunch(uri));
                alike = Spawn(GstLaunch(uri), {"GST_PLUGIN_FEATURE_RANK=mpg123audiodec:MAX"});
            });
            samples.theirCpu.push_back(WaitCpu(launch) - launchCost);
            samples.sameDecoderCpu.push_back(WaitCpu(alike) - launchCost);
            samples.ourCpu.push_back(run.cpu);
            samples.windowCpu.push_back(run.windowCpu);
            samples.ourFirst.push_back(run.firstPosition);
            if (!messages.isEmpty()) {
                throw std::runtime_error(messages.join(QLatin1Char(' ')).toStdString());
            }
        }
        Print(samples, launchCost, rounds);
        PrintMinimised(dir.path(), bench::Median(samples.windowCpu) / 60);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_playback: %s\n", e.what());
        return 1;
    }
}
