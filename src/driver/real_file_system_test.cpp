#include "driver/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

namespace sb {
namespace {

namespace fs = std::filesystem;

// Paths reach the file system as UTF-8 text, whatever the host's code page.
std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

fs::path FromUtf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

// A fresh folder under the system's temporary directory, removed afterwards.
class RealFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sb-fs-test-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(dir_, ec))
      fs::permissions(e.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  std::string In(const std::string& name) const { return Utf8(dir_ / FromUtf8(name)); }
  std::set<std::string> Listing() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(Utf8(e.path().filename()));
    return names;
  }
  std::string Slurp(const std::string& name) const {
    std::ifstream in(dir_ / FromUtf8(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
  std::unique_ptr<FileSystem> files_ = MakeRealFileSystem();
};

TEST_F(RealFolder, ReplacesWholeAndLeavesNoTemporaryFile) {
  const std::string path = In("linea.dat");
  std::string err;
  ASSERT_TRUE(files_->ReplaceFile(path, std::string(5000, 'x'), &err)) << err;
  ASSERT_TRUE(files_->ReplaceFile(path, "short", &err)) << err;
  EXPECT_EQ(Slurp("linea.dat"), "short");
  EXPECT_EQ(Listing(), std::set<std::string>{"linea.dat"});
}

// CR LF, a lone LF, Ctrl-Z and NUL go to the disk and come back unchanged.
TEST_F(RealFolder, BytesGoThroughUnchanged) {
  const std::string bytes("riga\r\naltra\n\x1a\0\xff\r", 16);
  std::string err, back;
  ASSERT_TRUE(files_->ReplaceFile(In("note.txt"), bytes, &err)) << err;
  EXPECT_EQ(Slurp("note.txt"), bytes);
  ASSERT_TRUE(files_->ReadFile(In("note.txt"), &back, &err)) << err;
  EXPECT_EQ(back, bytes);
}

TEST_F(RealFolder, NamesOutsideAsciiAreKept) {
  const std::string name = "Citt\xc3\xa0 \xc3\x9f\xe2\x82\xac.txt";  // "Città ß€.txt"
  std::string err, back;
  ASSERT_TRUE(files_->ReplaceFile(In(name), "dati", &err)) << err;
  EXPECT_EQ(Listing(), std::set<std::string>{name});
  EXPECT_TRUE(files_->Exists(In(name)));
  ASSERT_TRUE(files_->ReadFile(In(name), &back, &err)) << err;
  EXPECT_EQ(back, "dati");
  ASSERT_TRUE(files_->RemoveFile(In(name), &err)) << err;
  EXPECT_TRUE(Listing().empty());
}

TEST_F(RealFolder, FailuresSayWhy) {
  std::string err, back;
  EXPECT_FALSE(files_->Exists(In("assente.txt")));
  EXPECT_FALSE(files_->Exists(Utf8(dir_)));  // a folder is not a file
  EXPECT_FALSE(files_->ReadFile(In("assente.txt"), &back, &err));
  EXPECT_FALSE(err.empty());
  err.clear();
  EXPECT_FALSE(files_->RemoveFile(In("assente.txt"), &err));
  EXPECT_FALSE(err.empty());
  err.clear();
  EXPECT_FALSE(files_->ReplaceFile(In("manca/dentro.txt"), "x", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(Listing().empty());
}

// Windows does not replace a read-only file; the old version stays as it was.
TEST_F(RealFolder, ReadOnlyFileIsNotReplaced) {
#ifndef _WIN32
  GTEST_SKIP() << "a rename replaces a read-only file on POSIX";
#endif
  std::string err;
  ASSERT_TRUE(files_->ReplaceFile(In("scheda.txt"), "vecchia", &err)) << err;
  fs::permissions(dir_ / "scheda.txt", fs::perms::owner_write | fs::perms::group_write |
                  fs::perms::others_write, fs::perm_options::remove);
  EXPECT_FALSE(files_->ReplaceFile(In("scheda.txt"), "nuova", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(Slurp("scheda.txt"), "vecchia");
  EXPECT_EQ(Listing(), std::set<std::string>{"scheda.txt"});
}

}  // namespace
}  // namespace sb
