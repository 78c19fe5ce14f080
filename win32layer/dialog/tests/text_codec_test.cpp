#include "text_codec.h"

#include <gtest/gtest.h>

using namespace win32layer;

TEST(TextCodec, AnsiToUtf8)
{
    struct Case {
        const char *what;
        const char *ansi;
        const char *utf8;
    } cases[] = {
        {"ASCII", "abc [x=3]", "abc [x=3]"},
        {"status text", "\x92\xCA\x90M\x8FI\x97\xB9 [\x8A\xD6\x90\x94\x82\xCC\x96\xDF\x82\xE8\x92l=1]",
         "通信終了 [関数の戻り値=1]"},
        {"half-width katakana", "\xB1\xB2", "ｱｲ"},
        {"lead byte at the end", "ab\x82", "ab\xEF\xBF\xBD"},
        {"undefined single byte", "a\xA0z", "a\xEF\xBF\xBDz"},
        {"bad trail byte", "\x82\x20z", "\xEF\xBF\xBD z"},
        {"empty", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AnsiToUtf8(c.ansi), c.utf8) << c.what;
    EXPECT_EQ(AnsiToUtf8(nullptr), "");
}

TEST(TextCodec, Utf8ToAnsi)
{
    struct Case {
        const char *what;
        const char *utf8;
        const char *ansi;
    } cases[] = {
        {"status text", "通信開始 [=0]", "\x92\xCA\x90M\x8AJ\x8En [=0]"},
        {"no such character in 932", "a\xF0\x9F\x98\x80z", "a?z"},
        {"invalid UTF-8", "a\xC3z", "a?z"},
        {"cut UTF-8 at the end", "a\xE3\x81", "a?"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi) << c.what;
}

TEST(TextCodec, CopyNeverSplitsADoubleByteCharacter)
{
    const std::string ansi = "A\x82\xA0" "B"; /* "AあB" */
    struct Case {
        size_t size;
        const char *expected;
    } cases[] = {{1, ""}, {2, "A"}, {3, "A"}, {4, "A\x82\xA0"}, {5, "A\x82\xA0" "B"}, {50, "A\x82\xA0" "B"}};
    for (const Case &c : cases) {
        char out[64];
        memset(out, 'X', sizeof out);
        size_t copied = CopyAnsiText(ansi, out, c.size);
        EXPECT_STREQ(out, c.expected) << "size " << c.size;
        EXPECT_EQ(copied, strlen(c.expected));
    }
    char untouched = 'X';
    EXPECT_EQ(CopyAnsiText(ansi, &untouched, 0), 0u);
    EXPECT_EQ(untouched, 'X');
    EXPECT_EQ(CopyAnsiText(ansi, nullptr, 10), 0u);
}

TEST(TextCodec, MnemonicsInGtkForm)
{
    struct Case {
        const char *windows, *gtk;
    } cases[] = {{"E&xit", "E_xit"}, {"a&&b", "a&b"}, {"snake_case", "snake__case"}, {"end&", "end&"}, {"", ""}};
    for (const Case &c : cases)
        EXPECT_EQ(MnemonicToGtk(c.windows), c.gtk) << c.windows;
}
