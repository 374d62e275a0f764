#include "utilbox.h"

#include <gtest/gtest.h>

#include <ctype.h>

#include <string>
#include <thread>

namespace {

/* text against a shape where 'd' stands for a digit and any other character for itself */
bool shaped(const std::string &text, const std::string &shape)
{
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < text.size(); i++)
        if (shape[i] == 'd' ? !isdigit(static_cast<unsigned char>(text[i])) : text[i] != shape[i])
            return false;
    return true;
}

TEST(SystemTime, SecondsSinceEpochWithOrWithoutVariable)
{
    int64_t var = -1;
    int64_t a = system_time(nullptr);
    int64_t b = system_time(&var);
    EXPECT_EQ(var, b);
    EXPECT_LE(std::llabs(a - static_cast<int64_t>(time(nullptr))), 1);
}

TEST(Timer, ElapsedWholeSecondsTruncated)
{
    const int64_t f = 1000000000; /* counter ticks a second */
    struct {
        int64_t start, stop;
        double expect;
    } cases[] = {
        {0, f / 2, 0.0}, {100, 100 + f * 29 / 10, 2.0}, {f * 3, 0, -3.0}, {0, -f * 29 / 10, -2.0}, {5, 5, 0.0},
    };
    for (auto &c : cases)
        EXPECT_EQ(timer_elapsed(c.start, c.stop), c.expect) << c.start << " " << c.stop;
    int64_t a = timer_start(), b = timer_stop();
    EXPECT_GE(b, a);
    EXPECT_GT(timer_start(), a);
}

TEST(CurrTime, FormatAndNumbers)
{
    int y = 0, mo = 0, d = 0, h = -1, mi = -1, s = -1;
    std::string text = get_curr_time(".", ".", ".", &y, &mo, &d, &h, &mi, &s);
    EXPECT_TRUE(shaped(text, "dddd.dd.dd.dd.dd.dd")) << text;
    EXPECT_GE(y, 2024);
    EXPECT_TRUE(mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h <= 23 && mi >= 0 && s >= 0);
    char expect_start[8];
    snprintf(expect_start, sizeof expect_start, "%04d.", y);
    EXPECT_EQ(text.substr(0, 5), expect_start);

    text = get_curr_time("-", " ", ":", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(shaped(text, "dddd-dd-dd dd:dd:dd")) << text;

    std::string long_sep(300, '#');
    text = get_curr_time(long_sep.c_str(), "", "", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(text.size(), 255u) << "the text is cut to its 255 characters";
}

TEST(CurrTime, EachThreadKeepsItsOwnText)
{
    const char *mine = get_curr_time("/", "_", ":", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    std::string before = mine;
    std::thread([] { get_curr_time(".", ".", ".", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }).join();
    EXPECT_EQ(std::string(mine), before);
}

TEST(Version, TextAndLog)
{
    char text[8] = "xxxxxxx";
    EXPECT_EQ(version(text), 0);
    EXPECT_STREQ(text, "2.0");
    testing::internal::CaptureStdout();
    EXPECT_EQ(log_printf("%s=%d\n", "n", 42), 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "n=42\n");
}

} // namespace
