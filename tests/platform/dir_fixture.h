// A fresh temporary folder per test, removed afterwards.  Its path is kept
// with '/' separators on every system, the form the library produces.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        const char* base = getenv("OSTRELLE_TEST_TMP");
        fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
        std::error_code ec;
        fs::create_directories(root, ec);
        std::random_device seed;
        std::mt19937 pick(seed());
        for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
            fs::path p = root / ("ostrelle-" + std::to_string(pick() % 100000000u));
            if (fs::create_directory(p, ec)) dir_ = p.generic_string();
        }
        ASSERT_FALSE(dir_.empty()) << "no temporary folder below " << root;
    }
    void TearDown() override {
        namespace fs = std::filesystem;
        if (dir_.empty()) return;
        std::error_code ec;
        // Give back permissions a test may have taken away, then remove all.
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(
                 dir_, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    // Writes bytes to dir/rel, creating folders on the way; returns the path.
    std::string Write(const std::string& rel, const std::string& bytes) {
        std::filesystem::path p = std::filesystem::path(dir_) / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.generic_string();
    }
    std::string Mkdir(const std::string& rel) {
        std::filesystem::path p = std::filesystem::path(dir_) / rel;
        std::filesystem::create_directories(p);
        return p.generic_string();
    }
    std::string dir_;
};
