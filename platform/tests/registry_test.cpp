#include "win32.h"
#include "tests/support/temp_registry.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace {

class Registry : public TempRegistry {
protected:
    /* Every file below the registry folder, to catch leftovers and escapes. */
    int count_temporaries(const std::string &d)
    {
        int n = 0;
        DIR *dp = opendir(d.c_str());
        if (dp == nullptr)
            return 0;
        while (struct dirent *e = readdir(dp)) {
            std::string name = e->d_name;
            if (name == "." || name == "..")
                continue;
            if (name.rfind(".tmp", 0) == 0)
                n++;
            if (e->d_type == DT_DIR)
                n += count_temporaries(d + "/" + name);
        }
        closedir(dp);
        return n;
    }
};

TEST_F(Registry, OpenMissingThenCreateThenReopen)
{
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tv\\Monitor", 0, KEY_ALL_ACCESS, &k), ERROR_FILE_NOT_FOUND);
    DWORD disp = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tv\\Monitor", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &k, &disp),
              ERROR_SUCCESS);
    EXPECT_EQ(disp, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "software\\TV\\monitor", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &k, &disp),
              ERROR_SUCCESS);
    EXPECT_EQ(disp, static_cast<DWORD>(REG_OPENED_EXISTING_KEY)) << "names compare without case";
    RegCloseKey(k);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tv\\Monitor", 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, ValuesRoundTripWithSizesAndTypes)
{
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "A\\B", 0, nullptr, 0, 0, nullptr, &k, nullptr), ERROR_SUCCESS);
    const char text[] = "hello";
    DWORD number = 0x11223344;
    ASSERT_EQ(RegSetValueExA(k, "Text", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), sizeof text), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, "", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), 4), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, "Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    RegCloseKey(k);

    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "a\\b", 0, 0, &k), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(k, "TEXT", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof text);
    char small[3] = {'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(k, "text", nullptr, &type, reinterpret_cast<BYTE *>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(small[0], 'x') << "a short buffer is not written";
    char buf[16];
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(k, "text", nullptr, &type, reinterpret_cast<BYTE *>(buf), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(buf, "hello");
    DWORD got = 0;
    size = 4;
    EXPECT_EQ(RegQueryValueExA(k, nullptr, nullptr, &type, reinterpret_cast<BYTE *>(&got), &size), ERROR_SUCCESS);
    EXPECT_EQ(got, number);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(k, "Empty", nullptr, &type, reinterpret_cast<BYTE *>(buf), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 0u);
    size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(k, "missing", nullptr, &type, reinterpret_cast<BYTE *>(buf), &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(k, "text"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(k, "text", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    RegCloseKey(k);
    EXPECT_EQ(count_temporaries(dir_), 0);
}

TEST_F(Registry, HostileNamesStayInsideTheStore)
{
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "..\\..\\x/../y", 0, nullptr, 0, 0, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    BYTE one = 1;
    ASSERT_EQ(RegSetValueExA(k, "../../evil", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, ".tmp-1-1", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(access("/tmp/evil", F_OK), -1);
    std::string cmd = "test $(find '" + dir_ + "' -type f | wc -l) -eq 2";
    EXPECT_EQ(system(cmd.c_str()), 0) << "both values land inside the store";
    EXPECT_EQ(count_temporaries(dir_), 0);
    EXPECT_EQ(RegSetValueExA(reinterpret_cast<HKEY>(0x1234), "v", 0, REG_BINARY, &one, 1), ERROR_INVALID_HANDLE);
}

} // namespace
