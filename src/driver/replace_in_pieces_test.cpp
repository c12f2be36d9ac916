#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "driver/file_system.h"

namespace sb {
namespace {

namespace fs = std::filesystem;

auto ThreePieces() {
  return [](const FileSystem::ByteSink& sink) {
    sink("one,");
    sink(std::string(100000, 'x'));
    sink(",three");
  };
}

class ReplaceInPieces : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sb-pieces-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
    path_ = (dir_ / "linea.dat").string();
    std::ofstream(path_, std::ios::binary) << "old version";
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t FilesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(ReplaceInPieces, RealFolderGetsThePiecesInOrder) {
  auto real = MakeRealFileSystem();
  std::string err;
  ASSERT_TRUE(real->ReplaceFileWith(path_, 100010, ThreePieces(), &err)) << err;
  EXPECT_EQ(Contents(), "one," + std::string(100000, 'x') + ",three");
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left
}

TEST_F(ReplaceInPieces, RealFolderKeepsTheOldFileWhenTheProducerFails) {
  auto real = MakeRealFileSystem();
  std::string err;
  auto failing = [](const FileSystem::ByteSink& sink) {
    sink("half a file");
    throw std::runtime_error("out of memory");
  };
  EXPECT_THROW(real->ReplaceFileWith(path_, 100, failing, &err), std::runtime_error);
  EXPECT_EQ(Contents(), "old version");
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ReplaceInPieces, RealFolderWholeReplacementStillWorks) {
  auto real = MakeRealFileSystem();
  std::string err;
  ASSERT_TRUE(real->ReplaceFile(path_, "", &err)) << err;
  EXPECT_EQ(Contents(), "");
  ASSERT_TRUE(real->ReplaceFile(path_, "new", &err)) << err;
  EXPECT_EQ(Contents(), "new");
  EXPECT_EQ(FilesInDir(), 1u);
}

TEST(ReplaceInPiecesInMemory, PiecesAndInjectedFailures) {
  MemoryFileSystem mem;
  mem.files()["/d/f"] = "old version";
  std::string err;
  ASSERT_TRUE(mem.ReplaceFileWith("/d/f", 0, ThreePieces(), &err));
  EXPECT_EQ(mem.files().at("/d/f"), "one," + std::string(100000, 'x') + ",three");
  mem.FailReplace("/d/f", WriteStep::kRename);
  EXPECT_FALSE(mem.ReplaceFileWith("/d/f", 5, [](const FileSystem::ByteSink& sink) { sink("new"); }, &err));
  EXPECT_EQ(err, "cannot rename over the old file: Permission denied");
  EXPECT_EQ(mem.files().at("/d/f"), "one," + std::string(100000, 'x') + ",three");
}

}  // namespace
}  // namespace sb
