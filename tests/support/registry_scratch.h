// A scratch registry for one test: OSTREL_REGISTRY points at a database in a
// fresh temporary directory, removed with everything in it at the end.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class RegistryScratch : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/ostrel-registry-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        db_ = dir_ + "/registry.db";
        setenv("OSTREL_REGISTRY", db_.c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("OSTREL_REGISTRY");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    static std::string file_bytes(const std::string& path)
    {
        std::ostringstream s;
        s << std::ifstream(path, std::ios::binary).rdbuf();
        return s.str();
    }
    std::string dir_;
    std::string db_;
};
