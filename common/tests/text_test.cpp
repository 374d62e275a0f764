#include "utilbox.h"

#include <gtest/gtest.h>

#include <locale.h>
#include <string.h>

#include <string>

namespace {

TEST(Index, FirstAndLast)
{
    struct {
        const char *text;
        char c;
        int last, first;
    } cases[] = {
        {"banana", 'a', 5, 1}, {"banana", 'b', 0, 0}, {"banana", 'x', -1, 0}, {"", 'a', -1, 0}, {"abc", '\0', -1, 0},
    };
    for (auto &c : cases) {
        EXPECT_EQ(get_lastindex(c.text, c.c), c.last) << c.text << " " << c.c;
        EXPECT_EQ(get_firstindex(c.text, c.c), c.first) << c.text << " " << c.c;
    }
}

TEST(InPlace, ReplaceTruncateAndCase)
{
    char t[] = "a.b.c";
    EXPECT_EQ(replace_str(t, '.', '/'), 2);
    EXPECT_STREQ(t, "a/b/c");
    char empty[] = "";
    EXPECT_EQ(replace_str(empty, 'a', 'b'), 0);
    char mixed[] = "Hello, W\xe4rld 9z";
    EXPECT_EQ(str_to_uppercase(mixed), 0);
    EXPECT_STREQ(mixed, "HELLO, W\xe4RLD 9Z");
    EXPECT_EQ(str_to_lowercase(mixed), 0);
    EXPECT_STREQ(mixed, "hello, w\xe4rld 9z");
    EXPECT_EQ(truncate_str(mixed, 5), 0);
    EXPECT_STREQ(mixed, "hello");
}

TEST(Trimstr, Cases)
{
    struct {
        const char *src;
        char a, b;
        int count;
        const char *out; /* nullptr: output left unchanged */
    } cases[] = {
        {"[abc]", '[', ']', 3, "abc"},
        {"key\nrest", '\0', ']', 3, "key"},
        {"x[ab[cd]z", '[', ']', 5, "abcd"}, /* a later start character is skipped and counted */
        {"[open", '[', ']', 4, "open"},      /* ends at the terminator */
        {"none", '[', ']', -1, nullptr},
        {"", '\0', ']', -1, nullptr},
        {"all", '\0', '\0', 3, "all"},
    };
    for (auto &c : cases) {
        char out[32] = "unchanged";
        EXPECT_EQ(get_trimstr(c.src, c.a, c.b, out), c.count) << c.src;
        EXPECT_STREQ(out, c.out ? c.out : "unchanged") << c.src;
    }
}

TEST(Hex, DigitsAndPairs)
{
    EXPECT_EQ(hex_to_digit("7f"), 127);
    EXPECT_EQ(hex_to_digit("FF"), 255);
    EXPECT_EQ(hex_to_digit("00"), 0);
    EXPECT_EQ(hex_to_digit("a0"), 160);
    EXPECT_EQ(hex_to_digit("G0"), ('G' - '0') * 16);
    EXPECT_EQ(hex_to_digit(" 1"), static_cast<unsigned char>(' ' - '0') * 16 + 1);
    const char *in = "09AFafgZ";
    int expect[] = {0, 9, 10, 15, 10, 15, 0, 0};
    for (int i = 0; in[i]; i++)
        EXPECT_EQ(ascii_to_hex(in[i]), expect[i]) << in[i];
}

TEST(FileNames, BackslashPaths)
{
    struct {
        const char *path, *name, *ext, *only;
    } cases[] = {
        {"C:\\dir\\name.ext", "name.ext", "ext", "name"},
        {"C:\\dir\\arch.tar.gz", "arch.tar.gz", "gz", "arch"},
        {"plain", "plain", "", "plain"},
        {"C:\\dir\\", "", "", ""},
        {"", "", "", ""},
    };
    for (auto &c : cases) {
        char out[64];
        EXPECT_EQ(get_filename(c.path, out), static_cast<int>(strlen(c.name))) << c.path;
        EXPECT_STREQ(out, c.name);
        EXPECT_EQ(get_fileext(c.path, out), static_cast<int>(strlen(c.ext))) << c.path;
        EXPECT_STREQ(out, c.ext);
        EXPECT_EQ(get_filename_only(c.path, out), out);
        EXPECT_STREQ(out, c.only) << c.path;
    }
}

TEST(Wide, DefaultLocaleMapsBytesToUnitsAndBack)
{
    ASSERT_STREQ(setlocale(LC_CTYPE, nullptr), "C");
    wchar_t w[8];
    EXPECT_EQ(ascii_to_unicode(w, "a\xe9z", 8), 3);
    EXPECT_EQ(w[0], L'a');
    EXPECT_EQ(w[1], static_cast<wchar_t>(0xe9));
    EXPECT_EQ(w[3], L'\0');
    char back[8];
    EXPECT_EQ(unicode_to_ascii(back, w, 8), 3);
    EXPECT_STREQ(back, "a\xe9z");
    wchar_t wide[] = {L'a', 0x263a, 0};
    EXPECT_EQ(unicode_to_ascii(back, wide, 8), -1);
    EXPECT_EQ(ascii_to_unicode(w, "abcdef", 3), 3) << "at most max units";
    EXPECT_EQ(ascii_to_unicode(nullptr, "abcdef", 0), 6) << "no buffer: the length";
}

} // namespace
