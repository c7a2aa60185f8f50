// File names from Qt keep their bytes: a name that is not UTF-8 never turns into its
// replacement-character twin.
#include "platform/filenames.h"

#include "tests/tags/tagfixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

TEST(FileNames, EveryWayInKeepsTheBytes) {
    const QString latin1 = QString::fromStdU16String(u"/m/caf\xdce9.mp3");
    EXPECT_EQ(NameFromNative("/m/caf\xe9.mp3"), latin1);
    EXPECT_EQ(NameFromUrl(QUrl::fromEncoded("file:///m/caf%E9.mp3")), latin1);
    EXPECT_EQ(NameFromUrl(QUrl::fromEncoded("file:///m/caf%C3%A9%20x.mp3")),
              QStringLiteral("/m/caf\u00e9 x.mp3"));
    EXPECT_EQ(NameFromUrl(QUrl(QStringLiteral("https://example.org/a.mp3"))), QString());
    QByteArray bytes;
    EXPECT_TRUE(NativeFromName(latin1, bytes));
    EXPECT_EQ(bytes, QByteArray("/m/caf\xe9.mp3"));
    EXPECT_FALSE(NativeFromName(QString::fromStdU16String(u"/m/\xd800.mp3"), bytes));
}

// The open dialog shows "caf\xe9.mp3" as "caf\ufffd.mp3": the name it hands over is looked up.
TEST(FileNames, ADialogChoiceNamesTheOneFileItCanStandFor) {
    struct Case {
        std::string name;
        std::vector<std::string> files;  // in the folder
        std::string chosen;              // what the dialog names ("" when refused)
    };
    const Case cases[] = {
        {"only the Latin-1 name", {"caf\xe9.mp3"}, "caf\xe9.mp3"},
        {"only its twin", {"caf\xef\xbf\xbd.mp3"}, "caf\xef\xbf\xbd.mp3"},
        {"both", {"caf\xe9.mp3", "caf\xef\xbf\xbd.mp3"}, ""},
        {"a folder that is not UTF-8", {"d\xe9/caf\xe9.mp3"}, "d\xe9/caf\xe9.mp3"},
    };
    for (const Case& c : cases) {
        // Qt's own temporary folder could not remove these names.
        fixtures::TempDir dir;
        const std::string root = dir.path().string() + "/";
        for (const std::string& file : c.files) {
            std::filesystem::create_directories(std::filesystem::path(root + file).parent_path());
            std::ofstream(root + file) << "x";
        }
        const QString shown = QString::fromStdString(dir.path().string()) + QLatin1Char('/') +
                              QString::fromUtf8(c.files.front());
        const QString expected = c.chosen.empty()
                                     ? QString()
                                     : NameFromNative(QByteArray::fromStdString(root + c.chosen));
        EXPECT_EQ(NameFromDialog(shown), expected) << c.name;
    }
    EXPECT_EQ(NameFromDialog(QStringLiteral("/plain/name.mp3")), QStringLiteral("/plain/name.mp3"));
}
