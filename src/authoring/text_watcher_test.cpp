#include "authoring/text_watcher.h"

#include <gtest/gtest.h>

#include "memory_file_system.h"

namespace sb {
namespace {

using std::chrono::milliseconds;

// A save (insert_or_assign: g++ 12 sees a false overlap in string assignment here).
void Put(MemoryFileSystem& fs, const std::string& path, const char* text) {
  fs.files().insert_or_assign(path, std::string(text));
}

TEST(TextWatcher, ReportsASettledChangeOnceWhateverTheWayOfSaving) {
  MemoryFileSystem fs;
  Put(fs, "/d/a.txt", "one");
  Put(fs, "/d/b.txt", "two");
  TextWatcher w(fs, {"/d/a.txt", "/d/b.txt"}, milliseconds(150));
  const auto t0 = TextWatcher::Clock::time_point{} + std::chrono::hours(1);
  auto at = [&](int ms) { return t0 + milliseconds(ms); };
  EXPECT_FALSE(w.Changed(at(0)));  // the files as they are
  EXPECT_FALSE(w.Changed(at(100)));

  // Written in two steps: one change, once the second has settled.
  Put(fs, "/d/a.txt", "on");
  EXPECT_FALSE(w.Changed(at(200)));
  Put(fs, "/d/a.txt", "one more");
  EXPECT_FALSE(w.Changed(at(300)));
  EXPECT_FALSE(w.Changed(at(400)));
  EXPECT_TRUE(w.Changed(at(460)));
  EXPECT_FALSE(w.Changed(at(600)));

  // Saved by writing another file and renaming it over: missing for a moment, then new.
  fs.files().erase("/d/b.txt");
  Put(fs, "/d/b.txt.tmp", "three");
  EXPECT_FALSE(w.Changed(at(700)));
  fs.files().erase("/d/b.txt.tmp");
  Put(fs, "/d/b.txt", "three");
  EXPECT_FALSE(w.Changed(at(800)));
  EXPECT_TRUE(w.Changed(at(1000)));

  // Saved again unchanged, or changed and put back before settling: nothing to compile.
  Put(fs, "/d/b.txt", "three");
  EXPECT_FALSE(w.Changed(at(1100)));
  Put(fs, "/d/a.txt", "x");
  EXPECT_FALSE(w.Changed(at(1200)));
  Put(fs, "/d/a.txt", "one more");
  EXPECT_FALSE(w.Changed(at(1300)));
  EXPECT_FALSE(w.Changed(at(1600)));

  // A text removed for good is a change too (the compile reports it missing).
  fs.files().erase("/d/a.txt");
  EXPECT_FALSE(w.Changed(at(1700)));
  EXPECT_TRUE(w.Changed(at(1900)));
}

}  // namespace
}  // namespace sb
