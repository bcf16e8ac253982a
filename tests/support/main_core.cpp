#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Each test process gets a settings file of its own, so tests running in
// parallel never share one and none touches the user's.
int main(int argc, char** argv)
{
    std::string ini;
    if (!std::getenv("NEMOR_INI")) {
        ini = std::string(argv[0]) + "-" + std::to_string(getpid()) + ".ini";
        setenv("NEMOR_INI", ini.c_str(), 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int r = RUN_ALL_TESTS();
    if (!ini.empty())
        std::remove(ini.c_str());
    return r;
}
