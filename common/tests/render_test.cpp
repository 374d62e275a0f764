#include "utilbox.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kRule = "+--------+-------------------------+--------+";

/* Renders into a buffer with guard bytes after the promised room. */
std::string render(const char *title, const std::vector<unsigned char> &data, int len, int *result)
{
    size_t n = static_cast<size_t>(len < 0 ? 0 : len > 10240 ? 10240 : len);
    size_t room = (title ? 94 : 0) + 47 * ((n + 7) / 8 + 2) + 1;
    std::vector<char> out(room + 64, '\x7f');
    *result = fprint_buffer(title, data.data(), len, out.data());
    for (size_t i = room; i < out.size(); i++)
        if (out[i] != '\x7f') {
            ADD_FAILURE() << "wrote past the documented size at " << i;
            break;
        }
    return std::string(out.data());
}

std::vector<std::string> lines(const std::string &text, const std::string &end)
{
    std::vector<std::string> out;
    size_t pos = 0, next;
    while ((next = text.find(end, pos)) != std::string::npos) {
        out.push_back(text.substr(pos, next - pos));
        pos = next + end.size();
    }
    EXPECT_EQ(pos, text.size()) << "every line is ended";
    return out;
}

TEST(FprintBuffer, CountsOfFramesAndPartialLines)
{
    std::vector<unsigned char> data(20000);
    for (size_t i = 0; i < data.size(); i++)
        data[i] = static_cast<unsigned char>(i);
    struct {
        const char *title;
        int len;
        int expect;
    } cases[] = {
        {nullptr, 0, 94}, {"t", 0, 188}, {nullptr, 9, 188}, {nullptr, 8, 141},
        {nullptr, -5, 94}, {"T", 10240, 94 + 47 * 1282}, {"T", 20000, 94 + 47 * 1282},
    };
    for (auto &c : cases) {
        int n = 0;
        std::string text = render(c.title, data, c.len, &n);
        EXPECT_EQ(n, c.expect) << c.len;
        EXPECT_EQ(text.size(), static_cast<size_t>(n));
        for (const std::string &l : lines(text, "\r\n"))
            EXPECT_EQ(l.size(), 45u) << l;
    }
    EXPECT_EQ(94 + 47 * 1282 + 1, 60349);
}

TEST(FprintBuffer, NineBytesGiveAPaddedSecondLine)
{
    std::vector<unsigned char> data = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'z'};
    int n = 0;
    std::vector<std::string> l = lines(render(nullptr, data, 9, &n), "\r\n");
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[0], kRule);
    EXPECT_EQ(l[1], "|00000000| 41 42 43 44 45 46 47 48 |ABCDEFGH|");
    EXPECT_EQ(l[2], "|00000008| 7a " + std::string(21, ' ') + "|z       |");
    EXPECT_EQ(l[3], kRule);
}

TEST(FprintBuffer, TitleRightAlignedAndCutToItsField)
{
    std::vector<unsigned char> data = {1};
    int n = 0;
    std::vector<std::string> l = lines(render("dump", data, 1, &n), "\r\n");
    EXPECT_EQ(l[0], "+-------------------------------------------+");
    EXPECT_EQ(l[1], "|" + std::string(39, ' ') + "dump|");
    std::string longt(500, 'x');
    longt[0] = 'S';
    l = lines(render(longt.c_str(), data, 1, &n), "\r\n");
    EXPECT_EQ(n, 94 + 47 * 3);
    EXPECT_EQ(l[1], "|S" + std::string(42, 'x') + "|");
    EXPECT_EQ(l[2], kRule);
}

TEST(AsciiColumn, PrintableRangeOnly)
{
    std::vector<unsigned char> data = {0x1f, 0x20, 0x41, 0x7e, 0x7f, 0x80, 0xff, 0x00};
    int n = 0;
    std::vector<std::string> l = lines(render(nullptr, data, 8, &n), "\r\n");
    EXPECT_EQ(l[1], "|00000000| 1f 20 41 7e 7f 80 ff 00 |. A~....|");
}

TEST(DisplayBuffer, CapsAt1280LinesEndingAt27f8)
{
    std::vector<unsigned char> data(20000, 'a');
    testing::internal::CaptureStderr();
    int rc = display_buffer("big", data.data(), 20000);
    std::string text = testing::internal::GetCapturedStderr();
    std::vector<std::string> l = lines(text, "\n");
    ASSERT_EQ(l.size(), 3u + 1280u + 2u);
    EXPECT_EQ(l[1], "|" + std::string(40, ' ') + "big|");
    EXPECT_EQ(l[3], "|00000000| 61 61 61 61 61 61 61 61 |aaaaaaaa|");
    EXPECT_EQ(l[3 + 1279].substr(0, 10), "|000027f8|");
    EXPECT_EQ(l[3 + 1280], kRule);
    EXPECT_EQ(l[3 + 1281], "") << "a blank line follows the frame";
    EXPECT_EQ(rc, 47);
}

TEST(DisplayBuffer, ShortLineIsPaddedLikeFprint)
{
    std::vector<unsigned char> data = {'q', 'r', 's'};
    testing::internal::CaptureStderr();
    display_buffer(nullptr, data.data(), 3);
    std::vector<std::string> l = lines(testing::internal::GetCapturedStderr(), "\n");
    ASSERT_GE(l.size(), 4u);
    EXPECT_EQ(l[3], "|00000000| 71 72 73 " + std::string(15, ' ') + "|qrs     |");
}

std::string slurp(const std::string &path)
{
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST(DumpBuffer, OneByteFile)
{
    std::string path = testing::TempDir() + std::to_string(getpid()) + "_dump_one.log";
    unsigned char b = 0xA5;
    EXPECT_EQ(dump_buffer("one", &b, 1, path.c_str()), 0);
    std::string expect = "+----------------------------------------------------------+\n"
                         "|" + std::string(55, ' ') + "one|\n"
                         "+--------+-------------------------------------+-----------+\n"
                         "|00000000| 10100101 " + std::string(27, ' ') + "|           |\n"
                         "+--------+-------------------------------------+-----------+\n";
    EXPECT_EQ(slurp(path), expect);
    unlink(path.c_str());
}

TEST(DumpBuffer, LinesOfFourAndFailureWritesNothing)
{
    std::string path = testing::TempDir() + std::to_string(getpid()) + "_dump_five.log";
    unsigned char d[5] = {0, 1, 2, 0x80, 0xff};
    ASSERT_EQ(dump_buffer("five", d, 5, path.c_str()), 0);
    std::vector<std::string> l = lines(slurp(path), "\n");
    ASSERT_EQ(l.size(), 6u);
    for (const std::string &s : l)
        EXPECT_EQ(s.size(), 60u) << s;
    EXPECT_EQ(l[3], "|00000000| 00000000 00000001 00000010 10000000 |           |");
    EXPECT_EQ(l[4].substr(0, 20), "|00000004| 11111111 ");
    unlink(path.c_str());
    EXPECT_EQ(dump_buffer("x", d, 5, "/nonexistent-dir/dump.log"), -1);
}

} // namespace
