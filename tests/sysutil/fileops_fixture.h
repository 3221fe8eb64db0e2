// A scratch directory per test, with the trace lines of the file operations
// captured.
#pragma once
#include "ostrel/sysutil.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/trace_capture.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fileops_test {

using namespace trace_capture;

class FileOps : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(root_.empty());
        // Letter roots consult the drive map, kept in the registry store: a
        // scratch one beside the tree, never the user's.
        registry_ = root_ + ".registry.db";
        setenv("OSTREL_REGISTRY", registry_.c_str(), 1);
        traced().clear();
        set_utility_hooks(nullptr, capture_trace, nullptr, nullptr, trace_on);
    }
    void TearDown() override
    {
        set_utility_hooks(nullptr, nullptr, nullptr, nullptr, nullptr);
        std::error_code ec;
        unsetenv("OSTREL_REGISTRY");
        for (const char* end : {"", "-wal", "-shm", "-journal"})
            std::filesystem::remove(registry_ + end, ec);
    }

    std::string at(const std::string& rel) const { return root_ + "/" + rel; }
    void write(const std::string& rel, const std::string& bytes = "x") const
    {
        std::filesystem::create_directories(std::filesystem::path(at(rel)).parent_path());
        std::ofstream(at(rel), std::ios::binary) << bytes;
    }
    void mkdirs(const std::string& rel) const { std::filesystem::create_directories(at(rel)); }
    bool exists(const std::string& rel) const
    {
        struct stat st;
        return lstat(at(rel).c_str(), &st) == 0;
    }

    ScratchDir scratch_{"ostrel-fileops"};
    std::string root_ = scratch_.path;
    std::string registry_;
};

} // namespace fileops_test
