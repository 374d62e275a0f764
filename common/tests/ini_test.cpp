#include "utilbox.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <unistd.h>

#include <string>

namespace {

class Ini : public testing::Test {
protected:
    std::string write(const std::string &content)
    {
        std::string path = testing::TempDir() + "utilbox_ini_" + std::to_string(getpid()) + "_" +
                           std::to_string(n_++) + ".ini";
        FILE *f = fopen(path.c_str(), "wb");
        fwrite(content.data(), 1, content.size(), f);
        fclose(f);
        paths_.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (auto &p : paths_)
            unlink(p.c_str());
    }
    std::vector<std::string> paths_;
    int n_ = 0;
};

TEST_F(Ini, ValuesAndMisses)
{
    std::string path = write("; comment\n[OTHER]\nPORT=1\n[SOCKET]\nPORTX=9\nPORT=4000\nADDR=host:2654\n"
                             "EMPTY=\nBARE\nSPACED = a b \n[NEXT]\nLATER=1\n[PLAIN]\nPORT=4000\n");
    struct {
        const char *section, *key;
        char strip, delim;
        int result;
        const char *value;
    } cases[] = {
        {"SOCKET", "PORT", 0, 0, 2, "=9"},           /* prefix match on PORTX; one character skipped */
        {"OTHER", "PORT", 0, 0, 1, "1"},
        {"PLAIN", "PORT", 0, 0, 4, "4000"},
        {"SOCKET", "PORT=", 0, 0, 3, "000"},          /* the key and one more character go */
        {"SOCKET", "ADDR", 1, ':', 4, "2654"},
        {"SOCKET", "ADDR", 0, ':', 9, "host:2654"},  /* no strip flag */
        {"SOCKET", "ADDR", 1, '#', 9, "host:2654"},  /* delimiter absent */
        {"SOCKET", "EMPTY", 0, 0, 0, ""},
        {"SOCKET", "BARE", 0, 0, 0, ""},             /* nothing after the key */
        {"SOCKET", "SPACED", 0, 0, 6, "= a b "},     /* the blank is the skipped character; no trim */
        {"SOCKET", "LATER", 0, 0, 0, "untouched"},   /* the next section ends the search */
        {"SOCK", "PORT", 0, 0, 0, "untouched"},      /* the section name must be followed by ] */
        {"NONE", "PORT", 0, 0, 0, "untouched"},
    };
    for (auto &c : cases) {
        char out[600] = "untouched";
        EXPECT_EQ(get_ini_value(path.c_str(), c.section, c.key, c.strip, c.delim, out), c.result)
            << c.section << "/" << c.key;
        EXPECT_STREQ(out, c.value) << c.section << "/" << c.key;
    }
    char out[16];
    EXPECT_EQ(get_ini_value("/nonexistent/x.ini", "A", "B", 0, 0, out), -1);
}

TEST_F(Ini, CrLfAndLastLineWithoutLineEnd)
{
    std::string path = write("[S]\r\nPORT=4000\r\nLAST=end");
    char out[32];
    EXPECT_EQ(get_ini_value(path.c_str(), "S", "PORT", 0, 0, out), 4);
    EXPECT_STREQ(out, "4000");
    EXPECT_EQ(get_ini_value(path.c_str(), "S", "LAST", 0, 0, out), 3);
    EXPECT_STREQ(out, "end");
}

TEST_F(Ini, OverlongLinesNeverOverflowNorSplit)
{
    std::string longv(700, 'v');
    /* the tail of the long line looks like a section and a key: it must not count */
    std::string path = write("[S]\nLONG=" + longv + "[T]\nKEY=" + longv + "\nKEY=short\n[T]\nKEY=t\n");
    char out[600];
    int n = get_ini_value(path.c_str(), "S", "LONG", 0, 0, out);
    EXPECT_EQ(n, 511 - 5);
    EXPECT_EQ(std::string(out), std::string(506, 'v'));
    EXPECT_EQ(get_ini_value(path.c_str(), "T", "KEY", 0, 0, out), 1);
    EXPECT_STREQ(out, "t");
}

TEST_F(Ini, FileSize)
{
    std::string path = write(std::string(1234, 'x'));
    EXPECT_EQ(get_file_size(path.c_str()), 1234);
    EXPECT_EQ(get_file_size(write("").c_str()), 0);
    EXPECT_EQ(get_file_size("/nonexistent/file"), -1);
}

} // namespace
