#pragma once
// A fresh folder under the system's temporary folder for each test, removed with
// everything in it afterwards; big or odd test files are made there, never kept.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (std::filesystem::temp_directory_path() / "orvalis-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(name.data()), nullptr);
        folder_ = name;
    }
    void TearDown() override {
        std::filesystem::permissions(folder_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add);
        std::filesystem::remove_all(folder_);
    }

    const std::filesystem::path& folder() const { return folder_; }

    std::filesystem::path write(const std::string& name, const std::string& content) const {
        const auto file = folder_ / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

    static std::string content_of(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder_),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path folder_;
};
