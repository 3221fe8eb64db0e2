// What the converter tests share: the build's plug-in directory as the only place
// components are looked for, and conversion into a string through both calls.
#ifndef OSTREL_TESTS_NKF_FIXTURE_H
#define OSTREL_TESTS_NKF_FIXTURE_H

#include "ostrel/sysutil.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <string>

class NkfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* build = std::getenv("OSTREL_BINARY_DIR");
        ASSERT_TRUE(build);
        setenv("OSTREL_COMPONENT_DIR", (std::string(build) + "/bin").c_str(), 1);
    }
    void TearDown() override { nkf_convert(nullptr, nullptr, nullptr); }

    // The result of the sized call; the unsized call must give the same whenever
    // the result is within its bound.
    static std::string convert(const char* options, const std::string& in)
    {
        long n = nkf_convert_n(options, in.c_str(), nullptr, 0);
        if (n < 0)
            return "<failed>";
        std::string out(static_cast<std::size_t>(n) + 1, '#');
        EXPECT_EQ(nkf_convert_n(options, in.c_str(), out.data(), out.size()), n);
        out.resize(static_cast<std::size_t>(n));
        if (out.size() + 1 <= nkf_output_size(in.size())) {
            std::string unsized(nkf_output_size(in.size()), '#');
            EXPECT_EQ(nkf_convert(options, in.c_str(), unsized.data()), 1);
            EXPECT_EQ(std::string(unsized.c_str()), out) << options;
        }
        return out;
    }
};

#endif
