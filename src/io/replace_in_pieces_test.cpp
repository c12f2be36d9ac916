#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "io/file_system.h"
#include "memory_file_system.h"

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
  ReplaceError err;
  ASSERT_TRUE(real->ReplaceFiles({{path_, 100010, ThreePieces()}}, &err)) << err.reason;
  EXPECT_EQ(Contents(), "one," + std::string(100000, 'x') + ",three");
  EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left
}

// A producer that throws, alone or after a file already written to its temporary file.
TEST_F(ReplaceInPieces, RealFolderKeepsTheOldFileWhenTheProducerFails) {
  auto real = MakeRealFileSystem();
  ReplaceError err;
  auto failing = [](const FileSystem::ByteSink& sink) {
    sink("half a file");
    throw std::runtime_error("out of memory");
  };
  EXPECT_THROW(real->ReplaceFiles({{path_, 100, failing}}, &err), std::runtime_error);
  EXPECT_EQ(Contents(), "old version");
  EXPECT_EQ(FilesInDir(), 1u);
  const std::string other = (dir_ / "treno.dat").string();
  EXPECT_THROW(real->ReplaceFiles({BytesToWrite(other, "complete"), {path_, 100, failing}}, &err),
               std::runtime_error);
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
  ReplaceError err;
  ASSERT_TRUE(mem.ReplaceFiles({{"/d/f", 0, ThreePieces()}}, &err));
  EXPECT_EQ(mem.files().at("/d/f"), "one," + std::string(100000, 'x') + ",three");
  mem.FailReplace("/d/f", WriteStep::kRename);
  EXPECT_FALSE(mem.ReplaceFiles({BytesToWrite("/d/f", "new")}, &err));
  EXPECT_EQ(err.path, "/d/f");
  EXPECT_EQ(err.reason, "cannot rename over the old file: Permission denied");
  EXPECT_EQ(mem.files().at("/d/f"), "one," + std::string(100000, 'x') + ",three");
  EXPECT_EQ(mem.files().size(), 1u);
}

}  // namespace
}  // namespace sb
