// A fresh temporary folder per test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const char* base = getenv("OSTRELLE_TEST_TMP");
        fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
        fs::create_directories(root);
        std::string tmpl = (root / "ostrelle-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        // Restore permissions a test may have taken away, then remove all.
        for (auto it = std::filesystem::recursive_directory_iterator(
                 dir_, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(dir_, ec);
    }
    // Writes bytes to dir/rel, creating folders on the way; returns the path.
    std::string Write(const std::string& rel, const std::string& bytes) {
        std::filesystem::path p = std::filesystem::path(dir_) / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::string Mkdir(const std::string& rel) {
        std::filesystem::path p = std::filesystem::path(dir_) / rel;
        std::filesystem::create_directories(p);
        return p.string();
    }
    std::string dir_;
};
