#include "utilbox.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

/* Every listed export resolves by name through the loader, as the other
 * libraries and the host bind them. */
TEST(Binding, EveryExportResolvesByName)
{
    std::ifstream list(std::string(UTILBOX_EXPORTS_FILE));
    ASSERT_TRUE(list.good());
    HMODULE h = LoadLibraryA("./utilbox.dll");
    ASSERT_NE(h, nullptr);
    std::string name;
    int n = 0;
    while (std::getline(list, name)) {
        EXPECT_NE(GetProcAddress(h, name.c_str()), nullptr) << name;
        n++;
    }
    EXPECT_EQ(n, 61);
    EXPECT_EQ(GetProcAddress(h, "get_version"), nullptr);
    EXPECT_EQ(GetProcAddress(h, "request_result"), nullptr);
    FreeLibrary(h);
}

} // namespace
