#include "platform/tapplication.h"
#include "tests/support/messagecapture.h"
#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QScreen>
#include <QScrollArea>

#include <stdexcept>

namespace {

TEST(TApplicationTest, ErrorTextAddsFullStopOnlyAfterCharactersSortingAboveIt) {
    struct Case {
        const char* message;
        const char* shown;
    };
    for (const Case& c :
         {Case{"Unknown error code", "Unknown error code."}, Case{"Is it 5", "Is it 5."},
          Case{"What?", "What?."}, Case{"Done.", "Done."}, Case{"Stop!", "Stop!"},
          Case{"Trailing ", "Trailing "}, Case{"Bounds (-1)", "Bounds (-1)"}, Case{"", ""}}) {
        EXPECT_EQ(TApplication::errorText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown))
            << c.message;
    }
}

TEST(TApplicationTest, GuardedHandlerShowsErrorBoxWithTitleAndGoesOn) {
    TestApplication();
    TMessageCapture messages;
    const std::vector<TApplication::MessageRequest>& shown = messages.Requests;
    int after = 0;
    auto handler = guarded([&](int value) {
        if (value < 0) {
            throw std::runtime_error("No MCI device open");
        }
        after = value;
    });
    handler(-1);
    handler(7);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Tovra III [Velmo History]"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(shown[0].text, QStringLiteral("No MCI device open."));
    EXPECT_EQ(after, 7);
}

TEST(TApplicationTest, ATallTextScrollsInABoxThatStaysWithinTheScreen) {
    TestApplication();
    struct Case {
        const char* name;
        int lines;
        bool scrolls;
    };
    for (const Case& c : {Case{"short", 3, false}, Case{"taller than the screen", 400, true}}) {
        SCOPED_TRACE(c.name);
        QStringList lines;
        for (int i = 1; i <= c.lines; ++i) {
            lines << QStringLiteral(" /media/disk%1: HardDisk(Size: 1000 Mb; Free: 10Mb)").arg(i);
        }
        const QString text = lines.join(QLatin1Char('\n'));
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Title"), text, QMessageBox::Ok);
        TApplication::FitToScreen(box);
        box.show();
        EXPECT_EQ(box.findChild<QScrollArea*>() != nullptr, c.scrolls);
        EXPECT_LE(box.frameGeometry().height(), box.screen()->availableGeometry().height());
        const auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), text);
        EXPECT_GE(label->width(), label->sizeHint().width()) << "no line is cut";
    }
}

}  // namespace
