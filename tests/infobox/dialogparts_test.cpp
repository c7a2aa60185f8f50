// What is typed into a memo reaches the tag character for character.
#include "infobox/dialogparts.h"

#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include <vector>

TEST(MemoText, KeepsEveryCharacterTypedAndJoinsTheLines) {
    TestApplication();
    // Text inserted as typed; an empty step is the Return key, with Shift when shift is set.
    struct Step {
        QString text;
        bool shift = false;
    };
    struct Case {
        const char* name;
        std::vector<Step> typed;
        QString stored;
    };
    const Case cases[] = {
        {"no-break space",
         {{QStringLiteral("Caf\u00e9\u00a0Solo")}},
         QStringLiteral("Caf\u00e9\u00a0Solo")},
        {"tab and characters beyond the basic plane",
         {{QStringLiteral("\tSatu \u2603 \U0001F600")}},
         QStringLiteral("\tSatu \u2603 \U0001F600")},
        {"Return ends a line",
         {{QStringLiteral("Satu\u00a0")}, {}, {QStringLiteral("Dua")}},
         QStringLiteral("Satu\u00a0\r\nDua")},
        {"Shift+Return is a line separator, kept as typed",
         {{QStringLiteral("Satu")}, {QString(), true}, {QStringLiteral("Dua")}},
         QStringLiteral("Satu\u2028Dua")},
    };
    for (const Case& c : cases) {
        QPlainTextEdit memo;
        for (const Step& step : c.typed) {
            if (!step.text.isEmpty()) {
                memo.insertPlainText(step.text);
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return,
                            step.shift ? Qt::ShiftModifier : Qt::NoModifier, QStringLiteral("\r"));
            QCoreApplication::sendEvent(&memo, &press);
        }
        EXPECT_EQ(MemoText(&memo, QStringLiteral("\r\n")), c.stored) << c.name;
    }
}
