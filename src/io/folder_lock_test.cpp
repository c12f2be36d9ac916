#include "io/folder_lock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <string>
#include <thread>

namespace sb {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

class FolderLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("sb-lock-test-" + std::to_string(std::random_device{}()));
    fs::create_directories(root_ / "a" / "sub");
    fs::create_directories(root_ / "b");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string Dir(const char* name) const { return Utf8(root_ / name); }

  // Whether a lock of `dir` can be taken, within `wait`, by another thread (a mutex is held
  // by a thread: on Windows the same thread would simply take it once more).
  static bool Elsewhere(const std::string& dir, milliseconds wait) {
    auto lock = [&] { return TakeFolderLock(dir, wait) != nullptr; };
    return std::async(std::launch::async, lock).get();
  }

  fs::path root_;
};

TEST_F(FolderLockTest, ASecondLockOfTheFolderWaitsThenGivesUp) {
  std::unique_ptr<FolderLock> held = TakeFolderLock(Dir("a"), milliseconds(0));
  ASSERT_TRUE(held);
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(Elsewhere(Dir("a"), milliseconds(300)));
  EXPECT_GE(Clock::now() - start, milliseconds(290));
  // The same folder by another name is the same folder.
  EXPECT_FALSE(Elsewhere(Utf8(root_ / "a" / "sub" / ".."), milliseconds(0)));
#ifdef _WIN32
  std::string upper = Dir("a");
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  EXPECT_FALSE(Elsewhere(upper, milliseconds(0)));
#endif
  EXPECT_TRUE(Elsewhere(Dir("b"), milliseconds(0))) << "another folder is not held";
  EXPECT_TRUE(Elsewhere(Dir("a/sub"), milliseconds(0))) << "nor a folder inside it";
  held.reset();
  EXPECT_TRUE(Elsewhere(Dir("a"), milliseconds(0))) << "released when destroyed";
  EXPECT_TRUE(fs::is_empty(root_ / "b"));
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "a"), fs::directory_iterator()), 1)
      << "no file is made in the folder";
}

TEST_F(FolderLockTest, AWaitingLockIsTakenWhenTheHolderEnds) {
  std::promise<void> taken;
  auto holder = std::async(std::launch::async, [&] {
    std::unique_ptr<FolderLock> held = TakeFolderLock(Dir("a"), milliseconds(0));
    taken.set_value();
    std::this_thread::sleep_for(milliseconds(200));
    return held != nullptr;
  });
  taken.get_future().wait();
  const Clock::time_point start = Clock::now();
  std::unique_ptr<FolderLock> mine = TakeFolderLock(Dir("a"), milliseconds(20000));
  EXPECT_TRUE(mine);
  EXPECT_LT(Clock::now() - start, milliseconds(10000));
  EXPECT_TRUE(holder.get());
}

// A missing folder is not waited for, nor made: the run's own file steps say what is wrong.
TEST_F(FolderLockTest, AMissingFolderIsNotWaitedFor) {
  EXPECT_TRUE(TakeFolderLock(Dir("missing"), milliseconds(0)));
  EXPECT_FALSE(fs::exists(root_ / "missing"));
}

}  // namespace
}  // namespace sb
