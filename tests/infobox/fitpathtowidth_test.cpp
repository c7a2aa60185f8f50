// The path shortener: each step of the chain, and where it stops for a given width.
#include "infobox/fitpathtowidth.h"

#include "tests/support/qtestapplication.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

namespace {

TEST(FitPathToWidth, CutFirstDirectory) {
    const std::pair<const char*, const char*> cases[] = {
        {"/", ""},
        {"/home/me/Music/", "/.../me/Music/"},
        {"/.../me/Music/", "/.../Music/"},
        {"/.../Music/", "/.../"},
        {".../", ""},
        {"Music/Best/", ".../Best/"},
        {".../Best/", ".../"},
        // A directory named with a leading dot is cut like any other.
        {"/.config/Music/", "/.../Music/"},
        {".hidden/x/", ".../x/"},
        {"//", "/.../"},
    };
    for (const auto& [directory, expected] : cases) {
        EXPECT_EQ(CutFirstDirectory(QString::fromUtf8(directory)), QString::fromUtf8(expected))
            << directory;
    }
}

TEST(FitPathToWidth, StopsAtTheFirstStepThatFits) {
    TestApplication();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    const QString path = QStringLiteral("/home/me/Music/Albums/Best/song.wma");
    // The whole chain, longest first; the last one is returned even when it does not fit.
    const QString chain[] = {
        path,
        QStringLiteral("/.../me/Music/Albums/Best/song.wma"),
        QStringLiteral("/.../Music/Albums/Best/song.wma"),
        QStringLiteral("/.../Albums/Best/song.wma"),
        QStringLiteral("/.../Best/song.wma"),
        QStringLiteral("/.../song.wma"),
        QStringLiteral(".../song.wma"),
        QStringLiteral("song.wma"),
    };
    for (const QString& step : chain) {
        EXPECT_EQ(FitPathToWidth(path, metrics, metrics.horizontalAdvance(step)), step);
    }
    EXPECT_EQ(FitPathToWidth(path, metrics, 10000), path);
    EXPECT_EQ(FitPathToWidth(path, metrics, 0), QStringLiteral("song.wma"));

    const std::pair<const char*, const char*> shortPaths[] = {
        {"/song.wma", "song.wma"},
        {"song.wma", "song.wma"},
        {"Music/song.wma", "song.wma"},
        {"", ""},
        {"/home/me/", ""},
    };
    for (const auto& [input, expected] : shortPaths) {
        EXPECT_EQ(FitPathToWidth(QString::fromUtf8(input), metrics, 0), QString::fromUtf8(expected))
            << input;
    }
}

}  // namespace
