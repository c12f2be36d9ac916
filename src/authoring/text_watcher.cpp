#include "authoring/text_watcher.h"

#include "io/file_system.h"

namespace sb {

TextWatcher::TextWatcher(FileSystem& fs, std::vector<std::string> paths, std::chrono::milliseconds settle)
    : fs_(fs), paths_(std::move(paths)), settle_(settle) {}

std::vector<std::optional<std::string>> TextWatcher::Read() const {
  std::vector<std::optional<std::string>> out;
  for (const std::string& p : paths_) {
    std::string bytes, err;
    if (fs_.Exists(p) && fs_.ReadFile(p, &bytes, &err))
      out.emplace_back(std::move(bytes));
    else
      out.emplace_back(std::nullopt);
  }
  return out;
}

bool TextWatcher::Changed(Clock::time_point now) {
  std::vector<std::optional<std::string>> now_read = Read();
  if (!started_) {
    started_ = true;
    seen_ = std::move(now_read);
    return false;
  }
  if (now_read == seen_) {  // back as it was, or never changed
    since_.reset();
    return false;
  }
  if (!since_ || now_read != pending_) {
    pending_ = std::move(now_read);
    since_ = now;
    return false;
  }
  if (now - *since_ < settle_) return false;
  seen_ = std::move(pending_);
  pending_.clear();
  since_.reset();
  return true;
}

}  // namespace sb
