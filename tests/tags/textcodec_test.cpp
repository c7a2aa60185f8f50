#include "tags/textcodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, Utf8AndUtf16RoundTrip) {
    const std::string texts[] = {"", "abc", "caf\u00e9", "\u4e2d\u6587", "\U0001F3B5 note"};
    for (const std::string& text : texts) {
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
    }
    EXPECT_EQ(Utf8ToUtf16("\U0001F3B5").size(), 2u);
}

TEST(TextCodec, MalformedInputIsReplacedNotDropped) {
    EXPECT_EQ(Utf8ToUtf16("a\xff"
                          "b"),
              u"a\ufffdb");
    EXPECT_EQ(Utf8ToUtf16("\xe4\xb8"), u"\ufffd\ufffd");  // cut sequence
    EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\ufffd\ufffd");  // overlong
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t{0xD800})), "\ufffd");
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // surrogate
    EXPECT_TRUE(IsValidUtf8("caf\u00e9"));
}

TEST(TextCodec, EightBitTextFallsBackToLatin1) {
    EXPECT_EQ(Utf8OrLatin1ToUtf16("caf\xe9"), u"caf\u00e9");
    EXPECT_EQ(Utf8OrLatin1ToUtf16("caf\xc3\xa9"), u"caf\u00e9");
}

TEST(TextCodec, Windows1252BothWays) {
    struct Case {
        std::string utf8;
        std::string cp1252;
    };
    const Case cases[] = {
        {"caf\u00e9", "caf\xe9"},
        {"\u20ac 5 \u2013 \u201cq\u201d", "\x80 5 \x96 \x93q\x94"},
        {"\u0160\u017e\u0178", "\x8a\x9e\x9f"},
        {"\u4e2d!", "?!"},    // a character the code page lacks
        {"\U0001F3B5", "?"},  // one "?" per character, not per UTF-16 unit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
        EXPECT_EQ(Utf16ToCp1252(Utf8ToUtf16(c.utf8)), c.cp1252) << c.utf8;
    }
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
    }
}

TEST(TextCodec, LengthsAndCutsCountCharacters) {
    EXPECT_EQ(Utf8Length("caf\u00e9\u4e2d"), 5u);
    EXPECT_EQ(Utf8Left("\u00e9\u00e9\u00e9\u00e9\u00e9", 4), "\u00e9\u00e9\u00e9\u00e9");
    EXPECT_EQ(Utf8Left("ab", 4), "ab");
}

TEST(TextCodec, FileNamesRoundTripByteForByte) {
    struct Case {
        std::string native;
        std::u16string wide;
    };
    const Case cases[] = {
        {"caf\xc3\xa9.mp3", u"caf\u00e9.mp3"},
        {"caf\xe9.mp3", u"caf\xdce9.mp3"},          // Latin-1, not UTF-8
        {"caf\xef\xbf\xbd.mp3", u"caf\ufffd.mp3"},  // its replacement-character twin
        {"\xed\xa0\x80|\xc0\xaf", u"\xdced\xdca0\xdc80|\xdcc0\xdcaf"},  // surrogate, overlong
        {"\xe4\xb8", u"\xdce4\xdcb8"},                                  // cut sequence
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NativeToUtf16(c.native), c.wide) << c.native;
        std::string back;
        EXPECT_TRUE(Utf16ToNative(c.wide, back)) << c.native;
        EXPECT_EQ(back, c.native);
    }
    // Names that stand for no bytes of their own are refused, never replaced.
    const std::u16string refused[] = {
        std::u16string(1, char16_t{0xD800}),  // unpaired high surrogate
        u"a\xdc41",                           // an escape of a byte that is always ASCII
        u"\xdcc3\xdca9",                      // escapes that spell a well-formed character
    };
    for (const std::u16string& name : refused) {
        std::string out;
        EXPECT_FALSE(Utf16ToNative(name, out)) << Utf16ToUtf8(name);
    }
}
