/* The example program, started by path from another folder: its grab shows
 * the controls with their text and a green lamp. */
#include "ui_support.h"

#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

using Hostdemo = UiTest;

TEST_F(Hostdemo, StartsFromAnyFolderAndGrabsItsWindow)
{
    std::string png = "/tmp/hostdemo-" + std::to_string(getpid()) + ".png";
    std::string cmd = std::string("cd / && ") + HOSTDEMO + " --grab " + png;
    ASSERT_EQ(system(cmd.c_str()), 0);
    QImage img(QString::fromStdString(png));
    unlink(png.c_str());
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(420, 250));
    EXPECT_EQ(img.pixel(390 + 8, 12 + 8) & 0xFFFFFF, 0x00FF00u); /* the lamp's face */
    /* the edit box holds dark text pixels: glyphs rendered, not empty boxes */
    int dark = 0;
    for (int y = 12; y < 30; y++)
        for (int x = 105; x < 215; x++)
            dark += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(dark, 30);
}

TEST_F(Hostdemo, RefusesUnknownArguments)
{
    std::string cmd = std::string(HOSTDEMO) + " --bogus 2>/dev/null";
    EXPECT_EQ(WEXITSTATUS(system(cmd.c_str())), 2);
}

} // namespace
