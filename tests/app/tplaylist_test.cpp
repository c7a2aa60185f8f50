// The playlist on its own, without a window: moves, edits, and its state files byte for byte.
#include "app/tplaylist.h"
#include "app/tplaylistmodel.h"
#include "platform/econverterror.h"
#include "platform/elisterror.h"
#include "tags/efileerror.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

using TStep = TPlaylist::TStep;

QStringList Strings(const std::vector<const char*>& texts) {
    QStringList strings;
    for (const char* text : texts) {
        strings << QString::fromUtf8(text);
    }
    return strings;
}

TPlaylist& Fill(TPlaylist& playlist, int count) {
    for (int i = 0; i < count; ++i) {
        playlist.Append(QStringLiteral("/music/%1.mp3").arg(i));
    }
    return playlist;
}

class TPlaylistFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void Write(const char* name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray Read(const char* name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    TPlaylist::TFiles Files() const {
        return {Path("PlayList.Txt"), Path("KorviList.Txt"), Path("KorviSetting.Korvi")};
    }

    QTemporaryDir dir;
};

TEST(TPlaylistTest, MovesGoOnRoundOrStopOnTheLastEntry) {
    struct Case {
        const char* name;
        int count;
        int current;
        bool loopBack;
        bool next;  // else Previous
        TStep step;
        int after;
    };
    const Case cases[] = {
        {"next within", 3, 0, false, true, TStep::Play, 1},
        {"next off the end", 3, 2, false, true, TStep::Stop, 2},
        {"next off the end, loop", 3, 2, true, true, TStep::PlayAround, 0},
        {"previous within", 3, 2, false, false, TStep::Play, 1},
        {"previous off the start: the last", 3, 0, false, false, TStep::Stop, 2},
        {"previous off the start, loop", 3, 0, true, false, TStep::PlayAround, 2},
        {"next on an emptied list", 0, 4, true, true, TStep::Stop, 0},
        {"next from past the end", 2, 7, false, true, TStep::Stop, 1},
        {"previous from past the end", 3, 7, false, false, TStep::Stop, 2},
        {"next from the largest index", 2, 2147483647, false, true, TStep::Stop, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPlaylist playlist;
        Fill(playlist, c.count);
        playlist.SetCurrentIndex(c.current);
        playlist.SetLoopBack(c.loopBack);
        EXPECT_EQ(c.next ? playlist.Next() : playlist.Previous(), c.step);
        EXPECT_EQ(playlist.CurrentIndex(), c.after);
    }
    TPlaylist playlist;
    Fill(playlist, 3).SetCurrentIndex(1);
    EXPECT_FALSE(playlist.Choose(3));
    EXPECT_FALSE(playlist.Choose(-1));
    EXPECT_EQ(playlist.CurrentIndex(), 1);
    EXPECT_TRUE(playlist.Choose(2));
    EXPECT_EQ(playlist.CurrentIndex(), 2);
}

// Every edit as a list model announces it (the model tester checks each signal against the rows)
// and the current index where the edit leaves it.
TEST(TPlaylistTest, EditsKeepTheCurrentEntryAndAnnounceThemselves) {
    struct Case {
        const char* name;
        int current;
        void (*edit)(TPlaylist&);
        std::vector<const char*> names;
        int after;
    };
    const Case cases[] = {
        {"append",
         1,
         [](TPlaylist& p) { p.Append(QStringLiteral("/music/new.wav")); },
         {"0.mp3", "1.mp3", "2.mp3", "3.mp3", "new.wav"},
         1},
        {"delete above", 2, [](TPlaylist& p) { p.Delete(0); }, {"1.mp3", "2.mp3", "3.mp3"}, 2},
        {"delete the last, current",
         3,
         [](TPlaylist& p) { p.Delete(3); },
         {"0.mp3", "1.mp3", "2.mp3"},
         2},
        {"delete outside",
         1,
         [](TPlaylist& p) { p.Delete(4); },
         {"0.mp3", "1.mp3", "2.mp3", "3.mp3"},
         1},
        {"clear", 3, [](TPlaylist& p) { p.Clear(); }, {}, 0},
        {"exchange from the current",
         1,
         [](TPlaylist& p) { p.Exchange(1, 3); },
         {"0.mp3", "3.mp3", "2.mp3", "1.mp3"},
         3},
        {"exchange onto the current",
         1,
         [](TPlaylist& p) { p.Exchange(3, 1); },
         {"0.mp3", "3.mp3", "2.mp3", "1.mp3"},
         3},
        {"exchange elsewhere",
         1,
         [](TPlaylist& p) { p.Exchange(0, 2); },
         {"2.mp3", "1.mp3", "0.mp3", "3.mp3"},
         1},
        {"exchange outside",
         1,
         [](TPlaylist& p) { EXPECT_FALSE(p.Exchange(1, 4)); },
         {"0.mp3", "1.mp3", "2.mp3", "3.mp3"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPlaylist playlist;
        TPlaylistModel model(playlist);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        Fill(playlist, 4).SetCurrentIndex(c.current);
        std::vector<int> moves;
        QObject::connect(&playlist, &TPlaylist::CurrentIndexChanged,
                         [&moves](int, int current) { moves.push_back(current); });
        c.edit(playlist);
        QStringList shown;
        for (int row = 0; row < model.rowCount(); ++row) {
            shown << model.index(row).data().toString();
            EXPECT_EQ(model.index(row).data(TPlaylistModel::PathRole).toString(),
                      QStringLiteral("/music/") + shown.last())
                << row;
        }
        EXPECT_EQ(shown, Strings(c.names));
        EXPECT_EQ(playlist.CurrentIndex(), c.after);
        EXPECT_EQ(moves, c.after == c.current ? std::vector<int>{} : std::vector<int>{c.after});
    }
}

TEST_F(TPlaylistFiles, StateFilesComeBackByteForByte) {
    struct Case {
        const char* name;
        QByteArray paths;
        QByteArray names;
        QByteArray settings;
        QByteArray savedSettings;  // with the playlist shown
    };
    const Case cases[] = {
        {"empty", "", "", "0\r\n2\r\n2\r\n1000\r\n", "0\r\n2\r\n1\r\n1000\r\n"},
        {"shared folders and a name of its own", "/m/a.mp3\r\n/m/b.mp3\r\n/n/a.mp3\r\n/m/c.wav\r\n",
         "a.mp3\r\nMy song\r\na.mp3\r\nc.wav\r\n", "2\r\n1\r\n1\r\n555\r\n",
         "2\r\n1\r\n1\r\n555\r\n"},
        // An index outside the list restores as the nearest entry.
        {"no folder, the root, a trailing slash, an empty line", "song.mp3\r\n/x\r\n/m/\r\n\r\n",
         "song.mp3\r\nx\r\n\r\n\r\n", "-4\r\n2\r\n2\r\n0\r\n", "0\r\n2\r\n1\r\n0\r\n"},
        {"bytes that are not UTF-8", "/m/\xff\xfe.mp3\r\n", "\xff\xfe.mp3\r\n",
         "0\r\n2\r\n1\r\n1000\r\n", "0\r\n2\r\n1\r\n1000\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("PlayList.Txt", c.paths);
        Write("KorviList.Txt", c.names);
        Write("KorviSetting.Korvi", c.settings);
        TPlaylist playlist;
        playlist.Load(Files());
        // The settings go in only as the window restores them.
        EXPECT_EQ(playlist.CurrentIndex(), 0);
        EXPECT_EQ(playlist.LoopBack(), false);
        playlist.RestoreCurrentIndex();
        playlist.RestoreLoopBack();
        playlist.RestoreVolume();
        playlist.Save(Files(), true);
        EXPECT_EQ(Read("PlayList.Txt"), c.paths);
        EXPECT_EQ(Read("KorviList.Txt"), c.names);
        EXPECT_EQ(Read("KorviSetting.Korvi"), c.savedSettings);
    }
}

// The paths file counts the entries; whatever a damaged or missing file leaves out, no path read
// is lost and the two saved lists have the same length again.
TEST_F(TPlaylistFiles, DamagedStateFilesKeepEveryPathRead) {
    struct Case {
        const char* name;
        const char* missing;  // the file that isn't there
        QByteArray names;
        std::vector<const char*> shown;
        const char* error;
    };
    const QByteArray paths = "/m/a.mp3\r\n/m/b.mp3\r\n";
    const Case cases[] = {
        {"fewer names", nullptr, "A\r\n", {"A", "b.mp3"}, nullptr},
        {"more names", nullptr, "a.mp3\r\nb.mp3\r\nc.mp3\r\n", {"a.mp3", "b.mp3"}, nullptr},
        {"no names file", "KorviList.Txt", "", {"a.mp3", "b.mp3"}, "KorviList.Txt"},
        {"no settings file", "KorviSetting.Korvi", "x\r\ny\r\n", {"x", "y"}, "KorviSetting.Korvi"},
        {"no paths file: the old entries stay", "PlayList.Txt", "", {"old.wav"}, "PlayList.Txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("PlayList.Txt", paths);
        Write("KorviList.Txt", c.names);
        Write("KorviSetting.Korvi", "0\r\n2\r\n2\r\n1000\r\n");
        if (c.missing) {
            ASSERT_TRUE(QFile::remove(Path(c.missing)));
        }
        TPlaylist playlist;
        playlist.Append(QStringLiteral("/old/old.wav"));
        try {
            playlist.Load(Files());
            EXPECT_EQ(c.error, nullptr) << "no error";
        } catch (const EFOpenError& error) {
            ASSERT_NE(c.error, nullptr) << error.what();
            EXPECT_EQ(QString::fromUtf8(error.what()),
                      QStringLiteral("Cannot open file \"%1\". No such file or directory")
                          .arg(Path(c.error)));
        }
        QStringList shown;
        for (int i = 0; i < playlist.Count(); ++i) {
            shown << playlist.Name(i);
        }
        EXPECT_EQ(shown, Strings(c.shown));
        if (!c.missing || QByteArray(c.missing) != "PlayList.Txt") {
            EXPECT_EQ(playlist.Path(1), QStringLiteral("/m/b.mp3"));
        }
        playlist.Save(Files(), false);
        EXPECT_EQ(Read("PlayList.Txt").count('\n'), Read("KorviList.Txt").count('\n'));
    }
}

// Each settings line is taken in its own step, which raises the error of its line.
TEST_F(TPlaylistFiles, SettingsLinesRaiseTheErrorOfTheirLine) {
    struct Case {
        QByteArray settings;
        const char* index;  // the error of each step, or nullptr
        const char* loopBack;
        const char* shown;
        const char* volume;
    };
    const Case cases[] = {
        {"1\r\n1\r\n1\r\n555\r\n", nullptr, nullptr, nullptr, nullptr},
        {"0\r\n1\r\n", nullptr, nullptr, "List index out of bounds (2)",
         "List index out of bounds (3)"},
        {"", "List index out of bounds (0)", "List index out of bounds (1)",
         "List index out of bounds (2)", "List index out of bounds (3)"},
        {"x\r\n1\r\n2\r\n55 \r\n", "'x' is not a valid integer value", nullptr, nullptr,
         "'55 ' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings.toStdString());
        Write("PlayList.Txt", "/m/a.mp3\r\n/m/b.mp3\r\n");
        Write("KorviList.Txt", "a.mp3\r\nb.mp3\r\n");
        Write("KorviSetting.Korvi", c.settings);
        TPlaylist playlist;
        playlist.Load(Files());
        const auto error = [](auto step) -> std::string {
            try {
                step();
                return "none";
            } catch (const std::exception& e) {
                return e.what();
            }
        };
        const auto expected = [](const char* text) { return std::string(text ? text : "none"); };
        EXPECT_EQ(error([&] { playlist.RestoreCurrentIndex(); }), expected(c.index));
        EXPECT_EQ(error([&] { playlist.RestoreLoopBack(); }), expected(c.loopBack));
        EXPECT_EQ(error([&] { (void)playlist.RestoredPlaylistShown(); }), expected(c.shown));
        EXPECT_EQ(error([&] { playlist.RestoreVolume(); }), expected(c.volume));
    }
    // The volume is the slider's, 0 to 1000.
    TPlaylist playlist;
    playlist.SetVolume(-5000);
    EXPECT_EQ(playlist.Volume(), 0);
    playlist.SetVolume(1001);
    EXPECT_EQ(playlist.Volume(), 1000);
}

// Deleting most of a long list packs its text; what is left reads as before.
TEST(TPlaylistTest, ManyDeletionsKeepTheRest) {
    TPlaylist playlist;
    const QString longName(500, QLatin1Char('n'));
    for (int i = 0; i < 3000; ++i) {
        playlist.Append(QStringLiteral("/f%1/%2%3.mp3").arg(i % 7).arg(longName).arg(i));
    }
    for (int i = 2999; i >= 0; --i) {
        if (i % 100 != 0) {
            playlist.Delete(i);
        }
    }
    ASSERT_EQ(playlist.Count(), 30);
    for (int k = 0; k < 30; ++k) {
        const int i = k * 100;
        EXPECT_EQ(playlist.Path(k),
                  QStringLiteral("/f%1/%2%3.mp3").arg(i % 7).arg(longName).arg(i));
        EXPECT_EQ(playlist.Name(k), QStringLiteral("%1%2.mp3").arg(longName).arg(i));
    }
    EXPECT_THROW(playlist.Path(30), EListError);
}

// A name that is not UTF-8 names the same file through the playlist, both ways.
TEST(TPlaylistTest, NamesThatAreNotUtf8KeepTheirBytes) {
    TPlaylist playlist;
    const QString path = QString::fromStdU16String(u"/m/caf\xdce9.mp3");
    playlist.Append(path);
    EXPECT_EQ(playlist.Path(0), path);
    EXPECT_EQ(playlist.Name(0), QString::fromStdU16String(u"caf\xdce9.mp3"));
}

}  // namespace
