// Playlist scale: the player window restoring a playlist of 100,000 entries (FormShow) and saving
// it (FormClose), its peak memory, and the time to repaint and scroll the owner-drawn list.
// The baseline is plain Qt doing the same file work into an ordinary QListWidget.
//
// Usage: bench_playlist <corpus folder> [entries] [rounds]   (QT_QPA_PLATFORM=offscreen)

#include "app/tform1.h"
#include "bench/benchsupport.h"
#include "platform/tapplication.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void WriteFile(const QString& name, const QByteArray& data) {
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        throw std::runtime_error("cannot write " + name.toStdString());
    }
}

// A program folder with the glyphs and a playlist of count entries; entry 0, the current one,
// is a real track, the others name the corpus files over and over.
void PrepareFolder(const QString& folder, const std::string& corpus, int count) {
    const QString glyphs = QStringLiteral(TOVRA_SOURCE_DIR "/assets/Tombol/");
    QDir(folder).mkdir(QStringLiteral("Tombol"));
    for (const QString& name : QDir(glyphs).entryList(QDir::Files)) {
        QFile::copy(glyphs + name, folder + QStringLiteral("/Tombol/") + name);
    }
    std::vector<std::string> files = bench::ListFiles(corpus + "/mp3", ".mp3");
    files.insert(files.begin(), corpus + "/long60.mp3");
    QByteArray paths;
    QByteArray names;
    for (int i = 0; i < count; ++i) {
        const QString path =
            QString::fromStdString(files[static_cast<std::size_t>(i) % files.size()]);
        paths += path.toUtf8() + "\r\n";
        names += TForm1::DisplayName(path).toUtf8() + "\r\n";
    }
    WriteFile(folder + QStringLiteral("/PlayList.Txt"), paths);
    WriteFile(folder + QStringLiteral("/KorviList.Txt"), names);
    // Entry 0 current, no loop-back, the playlist shown, volume 800.
    WriteFile(folder + QStringLiteral("/KorviSetting.Korvi"), "0\r\n2\r\n1\r\n800\r\n");
}

// The same file work done plainly: read both lists into list widgets, and write them back.
double PlainRestore(const QString& folder, QListWidget& paths, QListWidget& names) {
    const double start = bench::Now();
    for (auto [list, file] : {std::pair{&paths, QStringLiteral("/PlayList.Txt")},
                              std::pair{&names, QStringLiteral("/KorviList.Txt")}}) {
        QFile in(folder + file);
        if (!in.open(QIODevice::ReadOnly)) {
            throw std::runtime_error("cannot read the playlist");
        }
        list->clear();
        list->addItems(
            QString::fromUtf8(in.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
    }
    return bench::Now() - start;
}

double PlainSave(const QString& folder, const QListWidget& paths, const QListWidget& names) {
    const double start = bench::Now();
    for (auto [list, file] : {std::pair{&paths, QStringLiteral("/PlayList.Plain")},
                              std::pair{&names, QStringLiteral("/KorviList.Plain")}}) {
        QByteArray data;
        for (int i = 0; i < list->count(); ++i) {
            data += list->item(i)->text().toUtf8() + "\r\n";
        }
        WriteFile(folder + file, data);
    }
    return bench::Now() - start;
}

// Median time of one synchronous repaint of the widget, after the step (a scroll or nothing).
template <typename Step>
double RepaintTime(QWidget* widget, int times, Step&& step) {
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) {
        step(i);
        const double start = bench::Now();
        widget->repaint();
        samples.push_back(bench::Now() - start);
    }
    return bench::Median(samples);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <corpus folder> [entries] [rounds]\n", argv[0]);
        return 2;
    }
    const std::string corpus = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    QApplication application(argc, argv);
    try {
        // A message box would stop the run; its text ends it instead.
        QStringList messages;
        TApplication::instance().setPresenter(
            [&messages](const TApplication::MessageRequest& request) {
                messages << request.text;
                return QMessageBox::Ok;
            });
        QTemporaryDir dir;
        if (!dir.isValid()) {
            throw std::runtime_error("no temporary folder");
        }
        PrepareFolder(dir.path(), corpus, count);
        const double rssBefore = bench::PeakRssMiB();

        std::vector<double> shows;
        std::vector<double> closes;
        std::vector<double> plainShows;
        std::vector<double> plainCloses;
        double paint = 0;
        double scroll = 0;
        double plainPaint = 0;
        double plainScroll = 0;
        // Round -1 is untimed: it loads the media framework's plugins once.
        for (int round = -1; round < rounds; ++round) {
            {
                TForm1 form(dir.path(), QStringLiteral("fakesink sync=true"),
                            QStringLiteral("fakesink"));
                double start = bench::Now();
                form.show();  // runs FormShow
                const double shown = bench::Now() - start;
                if (!messages.isEmpty() || form.List2->Count() != count) {
                    throw std::runtime_error("the playlist was not restored: " +
                                             messages.join(QLatin1Char(' ')).toStdString());
                }
                QApplication::processEvents();
                if (round == 0) {
                    QWidget* view = form.List2->viewport();
                    QScrollBar* bar = form.List2->verticalScrollBar();
                    paint = RepaintTime(view, 50, [](int) {});
                    scroll = RepaintTime(view, 200, [bar](int i) {
                        bar->setValue((i * 7919) % (bar->maximum() + 1));
                    });
                }
                start = bench::Now();
                form.FormClose();
                const double closed = bench::Now() - start;
                if (round >= 0) {
                    shows.push_back(shown);
                    closes.push_back(closed);
                }
            }
            QListWidget paths;
            QListWidget names;
            const double plainShown = PlainRestore(dir.path(), paths, names);
            const double plainClosed = PlainSave(dir.path(), paths, names);
            if (round >= 0) {
                plainShows.push_back(plainShown);
                plainCloses.push_back(plainClosed);
            }
            if (round == 0) {
                names.resize(295, 300);
                names.show();
                QApplication::processEvents();
                QScrollBar* bar = names.verticalScrollBar();
                plainPaint = RepaintTime(names.viewport(), 50, [](int) {});
                plainScroll = RepaintTime(names.viewport(), 200, [bar](int i) {
                    bar->setValue((i * 7919) % (bar->maximum() + 1));
                });
            }
        }
        const double show = bench::Median(shows);
        const double close = bench::Median(closes);
        const double plainShow = bench::Median(plainShows);
        const double plainClose = bench::Median(plainCloses);
        std::printf(
            "playlist %d entries: FormShow %.0f ms (aim < 300), plain Qt read into a list %.0f "
            "ms, ratio %s; FormClose %.0f ms (aim < 100), plain Qt write %.0f ms, ratio %s; "
            "median of %d\n",
            count, show * 1000, plainShow * 1000, bench::Ratio(show / plainShow).c_str(),
            close * 1000, plainClose * 1000, bench::Ratio(close / plainClose).c_str(), rounds);
        std::printf(
            "playlist paint: owner-drawn List2 repaint %.2f ms, scroll and repaint %.2f ms; plain "
            "QListWidget %.2f ms and %.2f ms; peak memory %.0f MiB (%.0f MiB before the window)\n",
            paint * 1000, scroll * 1000, plainPaint * 1000, plainScroll * 1000, bench::PeakRssMiB(),
            rssBefore);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_playlist: %s\n", e.what());
        return 1;
    }
}
