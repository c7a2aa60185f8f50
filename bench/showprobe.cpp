// Loaded into a Qt program with LD_PRELOAD by bench_startup: when the first paint of the window
// whose class is TOVRA_PROBE_CLASS has been handled, writes the monotonic time in seconds and the
// peak resident memory in KiB to the file TOVRA_PROBE_OUT, and ends the program.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>

namespace {

long PeakKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

void Report() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const double seconds = static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
    if (const char* out = std::getenv("TOVRA_PROBE_OUT")) {
        if (FILE* file = std::fopen(out, "w")) {
            std::fprintf(file, "%.6f %ld\n", seconds, PeakKiB());
            std::fclose(file);
        }
    }
    // Nothing after the first paint is measured; the state files stay as they were.
    _exit(0);
}

class TShowProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!fired_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
            QWidget* window = static_cast<QWidget*>(watched)->window();
            const char* wanted = std::getenv("TOVRA_PROBE_CLASS");
            // A window painted into an image before it is shown is not on the screen yet.
            if (wanted != nullptr && window->isVisible() &&
                std::strcmp(window->metaObject()->className(), wanted) == 0) {
                fired_ = true;
                // After this paint and the others queued with it.
                QTimer::singleShot(0, [] { Report(); });
            }
        }
        return false;
    }

private:
    bool fired_ = false;
};

void InstallProbe() {
    QCoreApplication::instance()->installEventFilter(new TShowProbe(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
