#include "controls/tdndlistbox.h"
#include "platform/tapplication.h"
#include "tags/efileerror.h"
#include "tests/support/messagecapture.h"
#include "tests/support/qfilebytes.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QUrl>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TDnDListBoxTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    TMessageCapture messages_;
};

// Drags the URLs over the box and drops them, as a file manager does; returns whether the box
// took the drag when it entered.
bool DropUrls(TDnDListBox& box, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box.viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box.viewport(), &drop);
    return enter.isAccepted();
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TEST_F(TDnDListBoxTest, StringEventsFireBeforeTheChange) {
    TDnDListBox box;
    std::vector<std::string> log;
    const auto record = [&](const char* name) {
        return [&log, name](TDnDListBox* sender) {
            log.push_back(std::string(name) + " " + std::to_string(sender->Count()) + " " +
                          sender->Lines().join(QLatin1Char(',')).toStdString());
        };
    };
    box.OnAddString = record("add");
    box.OnInsertString = record("insert");
    box.OnDeleteString = record("delete");

    box.Add(QStringLiteral("a"));
    box.Add(QStringLiteral("b"));
    box.Insert(0, QStringLiteral("c"));
    box.Delete(1);
    box.Exchange(0, 1);
    box.Clear();  // the list box's reset: no per-line events
    EXPECT_EQ(log, (std::vector<std::string>{"add 0 ", "add 1 a", "insert 2 a,b", "delete 3 c,a,b",
                                             "delete 2 c,b", "insert 2 c,b", "delete 2 b,b",
                                             "insert 2 b,b"}));
    EXPECT_EQ(box.Count(), 0);
}

TEST_F(TDnDListBoxTest, LinesBehaveAsAListBoxsItems) {
    TDnDListBox box;
    box.Add(QStringLiteral("one"));
    box.Insert(-1, QStringLiteral("three"));
    box.Insert(1, QStringLiteral("two"));
    EXPECT_EQ(box.Lines(),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_THROW(box.Strings(3), std::out_of_range);
    EXPECT_THROW(box.Exchange(0, 7), std::out_of_range);
    EXPECT_THROW(box.Insert(9, QStringLiteral("x")), std::out_of_range);
    box.Delete(9);  // nothing there: nothing happens
    EXPECT_EQ(box.Count(), 3);

    EXPECT_EQ(box.ItemIndex(), -1);
    box.SetItemIndex(2);
    EXPECT_EQ(box.ItemIndex(), 2);
    box.Exchange(0, 2);  // the selection stays at its index
    EXPECT_EQ(box.ItemIndex(), 2);
    EXPECT_EQ(box.Strings(2), QStringLiteral("one"));
    box.Delete(2);  // the selected line goes, and with it the selection
    EXPECT_EQ(box.ItemIndex(), -1);
    box.SetItemIndex(-1);
    EXPECT_EQ(box.ItemIndex(), -1);
}

TEST_F(TDnDListBoxTest, EachDroppedFileGoesToTheHandlerAndIsAppendedWhenAccepted) {
    struct Case {
        bool autoAdd;
        bool handler;
        const char* refuse;  // the file the handler refuses, if any
        QStringList kept;
    };
    const QStringList files{QStringLiteral("/m/a.mp3"), QStringLiteral("/m/b.wav"),
                            QStringLiteral("/m/c.wma")};
    for (const Case& c :
         {Case{true, false, nullptr, files}, Case{true, true, nullptr, files},
          Case{true, true, "/m/b.wav", {files[0], files[2]}}, Case{false, true, nullptr, {}}}) {
        TDnDListBox box;
        box.SetAutoAdd(c.autoAdd);
        QStringList reported;
        if (c.handler) {
            box.OnFileDropped = [&](TDnDListBox* sender, QString FileName, bool& accept) {
                EXPECT_EQ(sender, &box);
                EXPECT_TRUE(accept);
                reported << FileName;
                if (c.refuse && FileName == QLatin1String(c.refuse)) {
                    accept = false;
                }
            };
        }
        for (const QString& file : files) {
            box.DoFileDropped(file);
        }
        EXPECT_EQ(box.Lines(), c.kept) << c.autoAdd << c.handler;
        EXPECT_EQ(reported, c.handler ? files : QStringList{});
    }
}

TEST_F(TDnDListBoxTest, QtDropsDeliverLocalFilesWholeInTheGivenOrder) {
    TDnDListBox box;
    box.show();
    const QString longPath = QStringLiteral("/music/") + QString(300, QLatin1Char('x')) +
                             QStringLiteral("/Lagu ünïcode #1.mp3");
    QStringList reported;
    box.OnFileDropped = [&](TDnDListBox*, QString FileName, bool&) { reported << FileName; };
    const bool entered = DropUrls(
        box, {QUrl::fromLocalFile(QStringLiteral("/b/second.wav")),
              QUrl(QStringLiteral("https://example.org/remote.mp3")), QUrl::fromLocalFile(longPath),
              QUrl::fromLocalFile(QStringLiteral("/a/folder")),
              QUrl::fromEncoded("file:///m/caf%E9.mp3")});
    EXPECT_TRUE(entered);
    EXPECT_TRUE(reported.isEmpty()) << "handled from the event loop once the drop has returned";
    QCoreApplication::processEvents();
    const QStringList expected{QStringLiteral("/b/second.wav"), longPath,
                               QStringLiteral("/a/folder"),
                               QString::fromStdU16String(u"/m/caf\xdce9.mp3")};
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(box.Lines(), expected);
    EXPECT_GT(box.Strings(1).size(), 254);

    // A drag of nothing but remote addresses is refused.
    EXPECT_FALSE(DropUrls(box, {QUrl(QStringLiteral("https://example.org/x.mp3"))}));
    EXPECT_EQ(box.Count(), 4);
}

TEST_F(TDnDListBoxTest, HiddenBoxTakesNoDrops) {
    TDnDListBox box;
    bool called = false;
    box.OnFileDropped = [&](TDnDListBox*, QString, bool&) { called = true; };
    EXPECT_FALSE(DropUrls(box, {QUrl::fromLocalFile(QStringLiteral("/a.mp3"))}));
    EXPECT_FALSE(called);
    EXPECT_EQ(box.Count(), 0);

    box.show();
    box.hide();
    EXPECT_FALSE(DropUrls(box, {QUrl::fromLocalFile(QStringLiteral("/a.mp3"))}));
    EXPECT_EQ(box.Count(), 0);
}

TEST_F(TDnDListBoxTest, AnErrorInTheHandlerEndsTheDropAndIsShown) {
    TDnDListBox box;
    box.show();
    box.OnFileDropped = [](TDnDListBox*, QString FileName, bool&) {
        if (FileName.endsWith(QLatin1String("bad.mp3"))) {
            throw std::runtime_error("Cannot play bad.mp3");
        }
    };
    DropUrls(box, {QUrl::fromLocalFile(QStringLiteral("/ok.mp3")),
                   QUrl::fromLocalFile(QStringLiteral("/bad.mp3")),
                   QUrl::fromLocalFile(QStringLiteral("/later.mp3"))});
    QCoreApplication::processEvents();
    EXPECT_EQ(box.Lines(), QStringList{QStringLiteral("/ok.mp3")});
    EXPECT_EQ(messages_.Texts(), QStringList{QStringLiteral("Cannot play bad.mp3.")});
}

TEST_F(TDnDListBoxTest, FilesRoundTripWithCrLfAfterEveryLine) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QStringList lines;
        QByteArray bytes;
    };
    for (const Case& c :
         {Case{{}, ""}, Case{{QString()}, "\r\n"},
          Case{{QStringLiteral("/home/ana/Lagu/Kopi Dangdut.mp3"),
                QStringLiteral("/home/ana/Ünïcödé ♪.wma")},
               "/home/ana/Lagu/Kopi Dangdut.mp3\r\n/home/ana/\xc3\x9cn\xc3\xaf"
               "c\xc3\xb6"
               "d\xc3\xa9 \xe2\x99\xaa.wma\r\n"},
          Case{{QStringLiteral("0"), QString(), QStringLiteral("1000")}, "0\r\n\r\n1000\r\n"},
          // A path that is not UTF-8 keeps its bytes (a lone surrogate for each).
          Case{{QString::fromStdU16String(u"/m/caf\xdce9.mp3")}, "/m/caf\xe9.mp3\r\n"}}) {
        const QString path = dir.filePath(QStringLiteral("PlayList.Txt"));
        TDnDListBox box;
        for (const QString& line : c.lines) {
            box.Add(line);
        }
        box.SaveToFile(path);
        EXPECT_EQ(ReadQFile(path), c.bytes);
        TDnDListBox back;
        back.Add(QStringLiteral("replaced"));
        back.LoadFromFile(path);
        EXPECT_EQ(back.Lines(), c.lines);
    }
}

TEST_F(TDnDListBoxTest, ALineBreakInsideALineKeepsTheLineCount) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("PlayList.Txt"));
    TDnDListBox box;
    box.Add(QStringLiteral("/tmp/two\nlines.mp3"));
    box.Add(QStringLiteral("/tmp/next.mp3"));
    box.SaveToFile(path);
    EXPECT_EQ(ReadQFile(path), QByteArray("/tmp/two?lines.mp3\r\n/tmp/next.mp3\r\n"));
}

TEST_F(TDnDListBoxTest, ReadingTakesCrLfCrAndLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KorviSetting.Korvi"));
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const QString a = QStringLiteral("a");
    const QString b = QStringLiteral("b");
    for (const Case& c :
         {Case{"a\r\nb\r\n", {a, b}}, Case{"a\nb\n", {a, b}}, Case{"a\rb\r", {a, b}},
          Case{"a\r\nb", {a, b}}, Case{"a\n\rb", {a, QString(), b}},
          Case{"a\r\r\nb", {a, QString(), b}}, Case{"\n", {QString()}}, Case{"", {}}}) {
        ASSERT_TRUE(WriteQFile(path, c.bytes));
        TDnDListBox box;
        box.LoadFromFile(path);
        EXPECT_EQ(box.Lines(), c.lines) << c.bytes.toStdString();
    }
}

TEST_F(TDnDListBoxTest, FileErrorsNameTheFileAndLoseNothing) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("PlayList.Txt"));
    TDnDListBox box;
    box.Add(QStringLiteral("kept"));
    try {
        box.LoadFromFile(missing);
        ADD_FAILURE() << "no error for a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(
            QString::fromUtf8(error.what()),
            QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
    }
    EXPECT_EQ(box.Lines(), QStringList{QStringLiteral("kept")});

    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/KorviList.Txt"));
    try {
        box.SaveToFile(nowhere);
        ADD_FAILURE() << "no error for a missing folder";
    } catch (const EFCreateError& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what())
                        .startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(nowhere)))
            << error.what();
    }
    EXPECT_FALSE(QFile::exists(nowhere));

    EXPECT_THROW(box.LoadFromFile(dir.path()), EFOpenError);  // a folder is no text file
    EXPECT_THROW(box.SaveToFile(dir.path()), EFCreateError);
    EXPECT_EQ(box.Lines(), QStringList{QStringLiteral("kept")});

    // A read-only file is refused and keeps its contents.
    const QString locked = dir.filePath(QStringLiteral("KorviSetting.Korvi"));
    ASSERT_TRUE(WriteQFile(locked, "0\r\n"));
    QFile::setPermissions(locked, QFileDevice::ReadOwner);
    if (QFileInfo(locked).isWritable()) {
        GTEST_SKIP() << "running with rights that ignore file permissions";
    }
    EXPECT_THROW(box.SaveToFile(locked), EFCreateError);
    EXPECT_EQ(ReadQFile(locked), QByteArray("0\r\n"));
}

TEST_F(TDnDListBoxTest, MouseDownComesAfterTheSelectionMovedAndOnlyTheLeftButtonMovesIt) {
    TDnDListBox box;
    box.SetStyle(lbOwnerDrawFixed);
    box.SetItemHeight(16);
    for (int i = 0; i < 5; ++i) {
        box.Add(QStringLiteral("entry %1").arg(i));
    }
    box.resize(200, 120);
    box.show();
    std::vector<int> downs;
    std::vector<int> ups;
    box.OnMouseDown = [&](TDnDListBox* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        downs.push_back(sender->ItemIndex());
    };
    box.OnMouseUp = [&](TDnDListBox* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        ups.push_back(sender->ItemIndex());
    };
    QWidget* view = box.viewport();
    const QPoint second(10, 16 + 8);
    const QPoint fourth(10, 3 * 16 + 8);
    EXPECT_EQ(box.ItemAtPos(fourth, true), 3);
    EXPECT_EQ(box.ItemAtPos(QPoint(10, 110), true), -1);
    EXPECT_EQ(box.ItemAtPos(QPoint(10, 110), false), 5);

    SendMouse(view, QEvent::MouseButtonPress, second, Qt::LeftButton, Qt::LeftButton);
    SendMouse(view, QEvent::MouseMove, fourth, Qt::NoButton, Qt::LeftButton);
    SendMouse(view, QEvent::MouseButtonRelease, fourth, Qt::LeftButton, Qt::NoButton);
    SendMouse(view, QEvent::MouseButtonPress, second, Qt::RightButton, Qt::RightButton);
    SendMouse(view, QEvent::MouseButtonRelease, second, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(downs, (std::vector<int>{1, 3}));  // the right button left the selection alone
    EXPECT_EQ(ups, (std::vector<int>{3, 3}));

    int key = -1;
    box.OnKeyDown = [&](TDnDListBox*, int& pressed, Qt::KeyboardModifiers) {
        key = pressed;
        pressed = 0;  // handled: the box does not move its selection
    };
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &down);
    EXPECT_EQ(key, Qt::Key_Down);
    EXPECT_EQ(box.ItemIndex(), 3);
}

TEST_F(TDnDListBoxTest, OwnerDrawnLinesArePaintedByTheHandlerAtTheFixedHeight) {
    TDnDListBox box;
    box.SetStyle(lbOwnerDrawFixed);
    box.SetItemHeight(16);
    box.Add(QStringLiteral("first"));
    box.Add(QStringLiteral("second"));
    box.SetItemIndex(1);
    box.resize(120, 60);
    box.show();
    std::vector<std::pair<int, QRect>> drawn;
    std::vector<TOwnerDrawState> states;
    box.OnDrawItem = [&](TDnDListBox* control, QPainter& canvas, int index, const QRect& rect,
                         TOwnerDrawState state) {
        EXPECT_EQ(control, &box);
        drawn.emplace_back(index, rect);
        states.push_back(state);
        canvas.fillRect(rect, Qt::black);
    };
    const QImage shot = box.viewport()->grab().toImage();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].first, 0);
    EXPECT_EQ(drawn[0].second.height(), 16);
    EXPECT_EQ(drawn[1].second.top(), 16);
    EXPECT_FALSE(states[0].testFlag(odSelected));
    EXPECT_TRUE(states[1].testFlag(odSelected));
    EXPECT_EQ(shot.pixel(5, 20), qRgb(0, 0, 0));
}

}  // namespace
