// A platform that records what the run showed, for tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace sb {

// Records what the run showed, for tests.
class RecordingPlatform : public Platform {
 public:
  explicit RecordingPlatform(std::string dir, char sep = '/') : dir_(std::move(dir)), sep_(sep) {}
  void ShowWaitWindow() override { ++windows_shown; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::string ExecutableDirectory() override { return dir_; }
  char PathSeparator() const override { return sep_; }

  int windows_shown = 0;
  std::vector<std::string> messages;

 private:
  std::string dir_;
  char sep_;
};

}  // namespace sb
