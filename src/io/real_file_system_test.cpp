#include "io/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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

TEST_F(RealFolder, MakesMissingFoldersAndTheFoldersAboveThem) {
  std::string err;
  const std::string deep = In("Citt\xc3\xa0/a/b");
  ASSERT_TRUE(files_->MakeFolders(deep, &err)) << err;
  EXPECT_TRUE(fs::is_directory(FromUtf8(deep)));
  EXPECT_TRUE(files_->MakeFolders(deep, &err)) << "one that exists is fine: " << err;
  EXPECT_TRUE(files_->MakeFolders(In("Citt\xc3\xa0/a/c/"), &err)) << err;
  EXPECT_TRUE(fs::is_directory(dir_ / FromUtf8("Citt\xc3\xa0/a/c")));
  EXPECT_TRUE(files_->MakeFolders("", &err)) << err;
  EXPECT_TRUE(files_->ReplaceFile(In("Citt\xc3\xa0/a/b/linea.txt"), "x", &err)) << err;
}

TEST_F(RealFolder, AFileWhereAFolderShouldBeIsNamed) {
  std::string err;
  ASSERT_TRUE(files_->ReplaceFile(In("linea.txt"), "x", &err)) << err;
  for (const std::string& path : {In("linea.txt"), In("linea.txt/sotto")}) {
    err.clear();
    EXPECT_FALSE(files_->MakeFolders(path, &err)) << path;
    EXPECT_EQ(err.rfind(In("linea.txt"), 0), 0u) << err;
    EXPECT_GT(err.size(), In("linea.txt").size() + 2) << "and why: " << err;
  }
  EXPECT_EQ(Slurp("linea.txt"), "x");
  EXPECT_EQ(Listing(), std::set<std::string>{"linea.txt"});
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

// Several files replaced as one: all, or none of them.
TEST_F(RealFolder, ReplacesSeveralFilesAsOne) {
  std::string err;
  ASSERT_TRUE(files_->ReplaceFile(In("treno.sim"), "old settings", &err)) << err;
  ReplaceError error;
  ASSERT_TRUE(files_->ReplaceFiles({BytesToWrite(In("linea.dat"), "line data"),
                                    BytesToWrite(In("treno.sim"), "settings"),
                                    BytesToWrite(In("treno.dat"), "track")},
                                   &error))
      << error.reason;
  EXPECT_EQ(Slurp("linea.dat"), "line data");
  EXPECT_EQ(Slurp("treno.sim"), "settings");
  EXPECT_EQ(Slurp("treno.dat"), "track");
  EXPECT_EQ(Listing(), (std::set<std::string>{"linea.dat", "treno.dat", "treno.sim"}))
      << "no temporary file or second name is left";
}

enum class InTheWay { kFolder, kReadOnlyFile, kFileHeldOpen };

struct UnitCase {
  const char* name;
  size_t blocked;           // the file of the three that cannot be replaced
  InTheWay how;
  bool first_was_there;     // whether the first file existed before
};

class ReplaceAsOneOnARealFolder : public RealFolder,
                                  public ::testing::WithParamInterface<UnitCase> {};

// The files before the blocked one may have been renamed over their old versions already:
// they get them back (the first is removed again where it was new), and nothing else stays.
TEST_P(ReplaceAsOneOnARealFolder, ABlockedFileLeavesEveryFileAsItWas) {
  const UnitCase c = GetParam();
#ifndef _WIN32
  if (c.how != InTheWay::kFolder) GTEST_SKIP() << "a rename replaces such a file on POSIX";
#endif
  const std::vector<std::string> names = {"linea.dat", "treno.sim", "treno.dat"};
  std::map<std::string, std::string> before;
  for (size_t k = 0; k < names.size(); ++k) {
    if (k == 0 && !c.first_was_there) continue;
    if (k == c.blocked && c.how == InTheWay::kFolder) {
      fs::create_directory(dir_ / names[k]);
      continue;
    }
    before[names[k]] = "old " + names[k];
    std::ofstream(dir_ / names[k], std::ios::binary) << before[names[k]];
  }
  const fs::path blocked = dir_ / names[c.blocked];
  if (c.how == InTheWay::kReadOnlyFile)
    fs::permissions(blocked,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  std::ifstream held;
  if (c.how == InTheWay::kFileHeldOpen) held.open(blocked, std::ios::binary);
  const std::set<std::string> listing = Listing();

  ReplaceError error;
  EXPECT_FALSE(files_->ReplaceFiles({BytesToWrite(In(names[0]), "new line data"),
                                     BytesToWrite(In(names[1]), "new settings"),
                                     BytesToWrite(In(names[2]), "new track")},
                                    &error));
  held.close();
  EXPECT_EQ(error.path, In(names[c.blocked]));
  EXPECT_FALSE(error.reason.empty());
  EXPECT_TRUE(error.left_new.empty()) << error.reason;
  EXPECT_EQ(Listing(), listing) << error.reason;
  for (const auto& [name, bytes] : before) EXPECT_EQ(Slurp(name), bytes) << name;
  if (c.how == InTheWay::kFolder) {
    EXPECT_TRUE(fs::is_directory(blocked));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Unit, ReplaceAsOneOnARealFolder,
    ::testing::Values(UnitCase{"SecondIsAFolder", 1, InTheWay::kFolder, true},
                      UnitCase{"ThirdIsAFolder", 2, InTheWay::kFolder, true},
                      UnitCase{"ThirdIsAFolderFirstWasNew", 2, InTheWay::kFolder, false},
                      UnitCase{"SecondIsReadOnly", 1, InTheWay::kReadOnlyFile, true},
                      UnitCase{"ThirdIsHeldOpen", 2, InTheWay::kFileHeldOpen, true},
                      UnitCase{"ThirdIsHeldOpenFirstWasNew", 2, InTheWay::kFileHeldOpen, false}),
    [](const ::testing::TestParamInfo<UnitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sb
