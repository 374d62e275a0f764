#include "utilbox.h"
#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <string>

namespace {

TEST(System, OsVersionNamesTheRealSystem)
{
    char text[256] = "";
    EXPECT_EQ(get_os_version(text), VER_PLATFORM_WIN32_NT);
    struct utsname u;
    ASSERT_EQ(uname(&u), 0);
    EXPECT_EQ(std::string(text), std::string(u.sysname) + " " + u.release);
}

TEST(System, PrefixIsTheProgramsDirectory)
{
    char dir[MAX_PATH] = "";
    EXPECT_EQ(get_prefix(dir), 0);
    char exe[MAX_PATH];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    exe[n] = '\0';
    *strrchr(exe, '/') = '\0';
    EXPECT_STREQ(dir, exe);
}

TEST(HostIp, PassThroughResolveAndUnknown)
{
    char out[64] = "x";
    EXPECT_EQ(get_hostip("127.0.0.1", out), 0);
    EXPECT_STREQ(out, "127.0.0.1");
    EXPECT_EQ(get_hostip("", out), 0);
    EXPECT_STREQ(out, "");
    strcpy(out, "x");
    EXPECT_EQ(get_hostip("localhost", out), 0);
    EXPECT_STREQ(out, "127.0.0.1");
    strcpy(out, "unchanged");
    EXPECT_EQ(get_hostip("no-such-host.invalid", out), -1);
    EXPECT_STREQ(out, "unchanged");
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR) << "every start-up was matched by a clean-up";
}

using Reg = TempRegistry;

TEST_F(Reg, ReadOfMissingSubkeyCreatesItAndReportsNotFound)
{
    char buf[16] = "same";
    unsigned type = 0, size = sizeof buf;
    EXPECT_EQ(reg_read(HKEY_CURRENT_USER, "Software\\New\\Key", "v", buf, &type, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(buf, "same");
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\New\\Key", 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    RegCloseKey(k);
}

TEST_F(Reg, WriteReadRoundTripAndOpenClose)
{
    const char text[] = "COM3";
    EXPECT_EQ(reg_write(HKEY_CURRENT_USER, "Software\\Tv", "Port", text, REG_SZ, sizeof text), ERROR_SUCCESS);
    char buf[16];
    unsigned type = 0, size = sizeof buf;
    EXPECT_EQ(reg_read(HKEY_CURRENT_USER, "Software\\Tv", "port", buf, &type, &size), ERROR_SUCCESS);
    EXPECT_STREQ(buf, "COM3");
    EXPECT_EQ(type, static_cast<unsigned>(REG_SZ));
    EXPECT_EQ(size, sizeof text);
    size = 2;
    EXPECT_EQ(reg_read(HKEY_CURRENT_USER, "Software\\Tv", "port", buf, &type, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);

    HKEY k = reg_open(HKEY_CURRENT_USER, "Software\\Tv\\Sub");
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(reg_close(k), 0);
    EXPECT_NE(reg_close(k), 0);
    EXPECT_EQ(reg_open(reinterpret_cast<HKEY>(0x4444), "x"), nullptr);
    EXPECT_EQ(reg_write(reinterpret_cast<HKEY>(0x4444), "x", "v", text, REG_SZ, 1), 0)
        << "a key that can be neither opened nor created gives 0";
}

} // namespace

/* Without the window layer in the process there is no window to place. */
TEST(PlacementWithoutWindows, FailsWithInvalidWindowHandle)
{
    HWND some = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000));
    EXPECT_EQ(on_center(nullptr, some), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(on_wnd_center(some, some), 0);
    EXPECT_EQ(on_full_screen(some), 0);
}
