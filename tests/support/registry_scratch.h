// A scratch registry for one test: OSTREL_REGISTRY points at a database in a
// fresh temporary directory, removed with everything in it at the end.
#pragma once
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

class RegistryScratch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(scratch_.path.empty());
        setenv("OSTREL_REGISTRY", db_.c_str(), 1);
    }
    void TearDown() override { unsetenv("OSTREL_REGISTRY"); }
    static std::string file_bytes(const std::string& path) { return file_text(path); }
    ScratchDir scratch_{"ostrel-registry"};
    std::string dir_ = scratch_.path;
    std::string db_ = dir_ + "/registry.db";
};
