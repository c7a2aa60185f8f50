#include "platform/strtoint.h"

#include <gtest/gtest.h>

#include "platform/econverterror.h"

namespace {

TEST(StrToIntTest, AcceptsWhatTheSettingsFileHolds) {
    struct Case {
        const char* text;
        int value;
    };
    for (const Case& c : {Case{"0", 0}, Case{"1000", 1000}, Case{"  12", 12}, Case{"-3", -3},
                          Case{"+7", 7}, Case{"$1F", 31}, Case{"0x10", 16},
                          Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1}}) {
        EXPECT_EQ(StrToInt(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(StrToIntTest, RejectsEverythingElseWithTheConvertText) {
    for (const char* text :
         {"", " ", "x", "12 ", "1.5", "--1", "2147483648", "0x", "$", "1e3", "\xD9\xA1"}) {
        try {
            StrToInt(QString::fromUtf8(text));
            ADD_FAILURE() << "accepted " << text;
        } catch (const EConvertError& error) {
            EXPECT_EQ(
                QString::fromUtf8(error.what()),
                QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(text)));
        }
    }
}

}  // namespace
