// Playlist scale: the player window restoring a playlist of 100,000 entries (FormShow) and saving
// it (FormClose), its peak memory, and the time to repaint and scroll the owner-drawn list.
// The baseline is plain Qt doing the same file work into an ordinary QListWidget.
//
// The player's own peak memory is taken in a process of its own (this program started again with
// --player-memory), so neither the plain-Qt lists nor the earlier rounds count in it.
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
#include <utility>
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

// A message box would stop the run; its text ends it instead.
void CollectMessages(QStringList& messages) {
    TApplication::instance().setPresenter([&messages](const TApplication::MessageRequest& request) {
        messages << request.text;
        return QMessageBox::Ok;
    });
}

// Shows the window (FormShow restores the playlist) and checks that the whole list came in; the
// result is the time show took.
double ShowRestored(TForm1& form, int count, const QStringList& messages) {
    const double start = bench::Now();
    form.show();  // runs FormShow
    const double shown = bench::Now() - start;
    if (!messages.isEmpty() || form.List2->Count() != count) {
        throw std::runtime_error("the playlist was not restored: " +
                                 messages.join(QLatin1Char(' ')).toStdString());
    }
    QApplication::processEvents();
    return shown;
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

// Bars scrolled to scattered places, a repaint at each.
double ScrollTime(QAbstractScrollArea& list) {
    QScrollBar* bar = list.verticalScrollBar();
    return RepaintTime(list.viewport(), 200,
                       [bar](int i) { bar->setValue((i * 7919) % (bar->maximum() + 1)); });
}

// The child's side: one window restoring, showing, scrolling and saving the playlist; writes the
// process's memory before the window and its peak above that, in MiB, to the result file.
int MeasurePlayerMemory(const QString& folder, int count, const QString& result) {
    QStringList messages;
    CollectMessages(messages);
    bench::ResetPeakRss();
    const double before = bench::StatusMiB("VmRSS");
    {
        TForm1 form(folder, QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink"));
        ShowRestored(form, count, messages);
        ScrollTime(*form.List2);
        form.FormClose();
    }
    const double above = bench::StatusMiB("VmHWM") - before;
    QFile out(result);
    if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray::number(before, 'f', 1) + ' ' +
                                                     QByteArray::number(above, 'f', 1)) < 0) {
        throw std::runtime_error("cannot write " + result.toStdString());
    }
    return 0;
}

// Runs the child's side in a process of its own; the result is {before the window, peak above}.
std::pair<double, double> PlayerPeakMiB(const QString& folder, int count) {
    const QString result = folder + QStringLiteral("/player-memory.txt");
    bench::TimeCommand({std::filesystem::read_symlink("/proc/self/exe").string(), "--player-memory",
                        folder.toStdString(), std::to_string(count), result.toStdString()});
    QFile in(result);
    const QList<QByteArray> figures =
        in.open(QIODevice::ReadOnly) ? in.readAll().split(' ') : QList<QByteArray>();
    if (figures.size() != 2) {
        throw std::runtime_error("no memory figures from the player's process");
    }
    return {figures[0].toDouble(), figures[1].toDouble()};
}

// Medians, in seconds, of the timed rounds of the window and of plain Qt.
struct TFigures {
    double show = 0;
    double close = 0;
    double plainShow = 0;
    double plainClose = 0;
    double paint = 0;
    double scroll = 0;
    double plainPaint = 0;
    double plainScroll = 0;
};

TFigures MeasureRounds(const QString& folder, int count, int rounds, const QStringList& messages) {
    std::vector<double> shows;
    std::vector<double> closes;
    std::vector<double> plainShows;
    std::vector<double> plainCloses;
    TFigures figures;
    // Round -1 is untimed: it loads the media framework's plugins once.
    for (int round = -1; round < rounds; ++round) {
        {
            TForm1 form(folder, QStringLiteral("fakesink sync=true"), QStringLiteral("fakesink"));
            const double shown = ShowRestored(form, count, messages);
            if (round == 0) {
                figures.paint = RepaintTime(form.List2->viewport(), 50, [](int) {});
                figures.scroll = ScrollTime(*form.List2);
            }
            const double start = bench::Now();
            form.FormClose();
            const double closed = bench::Now() - start;
            if (round >= 0) {
                shows.push_back(shown);
                closes.push_back(closed);
            }
        }
        QListWidget paths;
        QListWidget names;
        const double plainShown = PlainRestore(folder, paths, names);
        const double plainClosed = PlainSave(folder, paths, names);
        if (round >= 0) {
            plainShows.push_back(plainShown);
            plainCloses.push_back(plainClosed);
        }
        if (round == 0) {
            names.resize(295, 300);
            names.show();
            QApplication::processEvents();
            figures.plainPaint = RepaintTime(names.viewport(), 50, [](int) {});
            figures.plainScroll = ScrollTime(names);
        }
    }
    figures.show = bench::Median(shows);
    figures.close = bench::Median(closes);
    figures.plainShow = bench::Median(plainShows);
    figures.plainClose = bench::Median(plainCloses);
    return figures;
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
        if (corpus == "--player-memory" && argc == 5) {
            return MeasurePlayerMemory(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]),
                                       QString::fromLocal8Bit(argv[4]));
        }
        QStringList messages;
        CollectMessages(messages);
        QTemporaryDir dir;
        if (!dir.isValid()) {
            throw std::runtime_error("no temporary folder");
        }
        PrepareFolder(dir.path(), corpus, count);
        const double rssBefore = bench::PeakRssMiB();
        const auto [playerBefore, playerPeak] = PlayerPeakMiB(dir.path(), count);

        const TFigures f = MeasureRounds(dir.path(), count, rounds, messages);
        std::printf(
            "playlist %d entries: FormShow %.0f ms (aim < 300), plain Qt read into a list %.0f "
            "ms, ratio %s; FormClose %.0f ms (aim < 100), plain Qt write %.0f ms, ratio %s; "
            "median of %d\n",
            count, f.show * 1000, f.plainShow * 1000, bench::Ratio(f.show / f.plainShow).c_str(),
            f.close * 1000, f.plainClose * 1000, bench::Ratio(f.close / f.plainClose).c_str(),
            rounds);
        std::printf(
            "playlist paint: owner-drawn List2 repaint %.2f ms, scroll and repaint %.2f ms; plain "
            "QListWidget %.2f ms and %.2f ms; peak memory %.0f MiB (%.0f MiB before the window)\n",
            f.paint * 1000, f.scroll * 1000, f.plainPaint * 1000, f.plainScroll * 1000,
            bench::PeakRssMiB(), rssBefore);
        // The targets side by side: the player's own peak, restore and save against plain Qt.
        std::printf(
            "playlist %d entries, targets: player's own peak memory %.0f MiB above the program "
            "before the window (%.0f MiB; aim <= 30 MiB); FormShow %.0f ms against plain Qt %.0f "
            "ms, ratio %s (aim <= 1.2x); FormClose %.0f ms against plain Qt %.0f ms, ratio %s "
            "(aim <= 1.2x)\n",
            count, playerPeak, playerBefore, f.show * 1000, f.plainShow * 1000,
            bench::Ratio(f.show / f.plainShow).c_str(), f.close * 1000, f.plainClose * 1000,
            bench::Ratio(f.close / f.plainClose).c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_playlist: %s\n", e.what());
        return 1;
    }
}
