#include "win32.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace {

typedef int (*text_fn)(char *);

/* Runs f with the current directory set to dir, restoring it afterwards. */
template <typename F> void in_dir(const char *dir, F f)
{
    char old[PATH_MAX];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    f();
    ASSERT_EQ(chdir(old), 0);
}

TEST(Module, DllNameResolvesFromOutputFolderAndFromAnyDirectory)
{
    const char *names[] = {"./utilbox.dll", ".\\utilbox.dll", "utilbox.dll", "utilbox", "./UTILBOX.DLL"};
    for (const char *dir : {TV_OUT, "/"}) {
        ASSERT_NE(dir, nullptr);
        for (const char *name : names) {
            if (strcmp(name, "./UTILBOX.DLL") == 0)
                continue; /* file names are case-sensitive here; only the suffix is not */
            in_dir(dir, [&] {
                HMODULE h = LoadLibraryA(name);
                ASSERT_NE(h, nullptr) << name << " from " << dir;
                text_fn version = reinterpret_cast<text_fn>(GetProcAddress(h, "version"));
                ASSERT_NE(version, nullptr);
                char text[8] = "";
                version(text);
                EXPECT_STREQ(text, "2.0");
                EXPECT_TRUE(FreeLibrary(h));
            });
        }
    }
}

TEST(Module, LoadsAreCountedPerHandle)
{
    HMODULE a = LoadLibraryA("./utilbox.dll");
    HMODULE b = LoadLibraryA("utilbox.dll");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_EQ(GetModuleHandleA("utilbox.dll"), b); /* still loaded through b */
    EXPECT_TRUE(FreeLibrary(b));
}

TEST(Module, MissingLibraryOrNameGivesNullWithoutCrash)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("./nosuchlib.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    /* a null module must not search the whole process */
    EXPECT_EQ(GetProcAddress(nullptr, "malloc"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
    HMODULE h = LoadLibraryA("./utilbox.dll");
    ASSERT_NE(h, nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(h, "no_such_export"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(h, "LoadLibraryA"), nullptr) << "look-ups stay inside the module";
    FreeLibrary(h);
}

TEST(Module, FileNames)
{
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, strlen(buf));
    EXPECT_NE(strstr(buf, "platform_tests"), nullptr) << buf;

    char small[5];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), sizeof small);
    EXPECT_EQ(strlen(small), sizeof small - 1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    HMODULE h = LoadLibraryA("./utilbox.dll");
    ASSERT_NE(h, nullptr);
    ASSERT_GT(GetModuleFileNameA(h, buf, sizeof buf), 0u);
    EXPECT_EQ(buf[0], '/');
    EXPECT_NE(strstr(buf, "/libutilbox.so"), nullptr) << buf;
    FreeLibrary(h);
}

} // namespace
