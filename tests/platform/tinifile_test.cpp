#include "platform/tinifile.h"
#include "tests/support/qtprinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

class TIniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tovra3.INI"));
};

TEST_F(TIniFileTest, MissingFileGivesDefaults) {
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Top"), 100), 100);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Form"), QStringLiteral("Caption"),
                             QStringLiteral("Tovra III [Velmo History]")),
              QStringLiteral("Tovra III [Velmo History]"));
}

TEST_F(TIniFileTest, WritesKeysInOrderWithCrLf) {
    TIniFile ini(path);
    ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Top"), 120);
    ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Left"), -5);
    ini.WriteString(QStringLiteral("Form"), QStringLiteral("Caption"), QStringLiteral("Tovra ä"));
    EXPECT_EQ(readAll(path),
              QByteArray("[Form]\r\nTop=120\r\nLeft=-5\r\nCaption=Tovra \xC3\xA4\r\n"));
    ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Top"), 7);
    EXPECT_EQ(readAll(path),
              QByteArray("[Form]\r\nTop=7\r\nLeft=-5\r\nCaption=Tovra \xC3\xA4\r\n"));
}

TEST_F(TIniFileTest, ReadsAsProfileCallsDo) {
    writeAll(path,
             "; comment\n[Other]\nTop=1\r\n[ form ]\rtop = 42 \nLeft=0x1F\nBad=12x\n"
             "Caption= \"  quoted \" \nEmpty=\n[Next]\nCaption=no\n");
    TIniFile ini(path);
    struct Case {
        const char* key;
        int expected;
    };
    for (const Case& c : {Case{"Top", 42}, Case{"Left", 31}, Case{"Bad", -1}, Case{"Empty", -1},
                          Case{"Missing", -1}}) {
        EXPECT_EQ(ini.ReadInteger(QStringLiteral("Form"), QString::fromLatin1(c.key), -1),
                  c.expected)
            << c.key;
    }
    EXPECT_EQ(ini.ReadString(QStringLiteral("FORM"), QStringLiteral("caption"), QString()),
              QStringLiteral("  quoted "));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Form"), QStringLiteral("Empty"), QStringLiteral("d")),
              QString());
}

TEST_F(TIniFileTest, UpdatesInPlaceAndKeepsOtherContent) {
    writeAll(path, "; keep me\r\n[Form]\r\nTop=1\r\n\r\n[Other]\r\nX=y\r\n");
    TIniFile ini(path);
    ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("top"), 2);
    ini.WriteString(QStringLiteral("Form"), QStringLiteral("Caption"), QStringLiteral("C"));
    ini.WriteString(QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("v"));
    EXPECT_EQ(readAll(path), QByteArray("; keep me\r\n[Form]\r\ntop=2\r\nCaption=C\r\n\r\n[Other]"
                                        "\r\nX=y\r\n[New]\r\nK=v\r\n"));
}

TEST_F(TIniFileTest, UnwritableFolderRaises) {
    // A folder that can't exist (its parent is a file) fails for every user, root included.
    const QString blocker = dir.filePath(QStringLiteral("file"));
    writeAll(blocker, "x");
    const QString file = blocker + QStringLiteral("/tovra3.INI");
    TIniFile ini(file);
    try {
        ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Top"), 2);
        FAIL() << "no error raised";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()), QStringLiteral("Unable to write to ") + file);
    }
    EXPECT_EQ(readAll(blocker), QByteArray("x"));
}

}  // namespace
