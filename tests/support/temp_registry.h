/* A test fixture that points the registry at a fresh temporary folder and
 * removes it afterwards. */
#ifndef TESTS_TEMP_REGISTRY_H
#define TESTS_TEMP_REGISTRY_H

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

class TempRegistry : public testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/tvreg-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        setenv("TRAFVIEW_REGISTRY_DIR", dir_.c_str(), 1);
    }
    void TearDown() override
    {
        EXPECT_EQ(system(("rm -rf '" + dir_ + "'").c_str()), 0);
        unsetenv("TRAFVIEW_REGISTRY_DIR");
    }
    std::string dir_;
};

#endif
