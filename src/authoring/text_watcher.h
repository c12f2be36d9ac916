// Watching the two source texts for saves. Each look reads the files again and compares
// their bytes, so that every way of saving is seen, also an editor that writes a new file
// and renames it over the old one, or a file that is missing for a moment. A change is
// reported once the files have stayed the same for the settling time: an editor that writes
// in several steps gives one compile.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace sb {

class FileSystem;

class TextWatcher {
 public:
  using Clock = std::chrono::steady_clock;
  TextWatcher(FileSystem& fs, std::vector<std::string> paths, std::chrono::milliseconds settle);

  // Looks at the files; true once after a change has settled. The first look takes the
  // files as they are.
  bool Changed(Clock::time_point now);

 private:
  std::vector<std::optional<std::string>> Read() const;

  FileSystem& fs_;
  std::vector<std::string> paths_;
  std::chrono::milliseconds settle_;
  bool started_ = false;
  std::vector<std::optional<std::string>> seen_;     // as last compiled
  std::vector<std::optional<std::string>> pending_;  // as last read, while settling
  std::optional<Clock::time_point> since_;           // when pending_ was last different
};

}  // namespace sb
