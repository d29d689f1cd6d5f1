#include "core/ansi_text.h"

#include <gtest/gtest.h>

using namespace nubivista::core;

TEST(AnsiText, Windows1252BothWaysCutAndPadded) {
    EXPECT_EQ(decodeWindows1252("\x80\x9f\xe9\x41"), QString::fromUtf8("\u20ac\u0178\u00e9A"));
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("\u20ac\u0178\u00e9A")), "\x80\x9f\xe9\x41");
    // Outside the code page: one '?' per character, also beyond 16 bits.
    EXPECT_EQ(encodeWindows1252(QString::fromUtf8("a\u4e2d\U0001F600b")), "a??b");
    EXPECT_EQ(encodeWindows1252(u"abc", 5), "abc  ");
    EXPECT_EQ(encodeWindows1252(u"abcdef", 4), "abcd");
    EXPECT_EQ(encodeWindows1252(u"", 0), "");
    // Every byte survives a round trip, the five undefined ones included.
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
    EXPECT_EQ(trimSpaces(u"  a\tb \n  "), QStringLiteral("a\tb \n"));
    EXPECT_EQ(trimSpaces(u"    "), QString());
}
