#include "io/file_system.h"

#include "io/file_replacement.h"
#include "io/text_encoding.h"

namespace sb {

FileToWrite BytesToWrite(std::string path, std::string_view bytes) {
  return FileToWrite{std::move(path), bytes.size(), [bytes](const ByteSink& sink) { sink(bytes); }};
}

bool FileSystem::ReplaceFile(const std::string& path, std::string_view contents,
                             std::string* err) {
  ReplaceError error;
  if (ReplaceFiles({BytesToWrite(path, contents)}, &error)) return true;
  *err = error.reason;
  return false;
}

std::string FolderBusyMessage(const std::string& folder, std::chrono::seconds waited) {
  return "another run of scenario-builder has been using the folder " + PathToUtf8(folder) +
         " for " + std::to_string(waited.count()) + " s without ending; this run changed no file";
}

std::string ParentFolder(const std::string& path, char separator) {
  auto is_sep = [&](char c) { return c == '/' || c == separator; };
  size_t end = path.size();
  while (end > 1 && is_sep(path[end - 1])) --end;  // trailing separators
  size_t cut = end;
  while (cut > 0 && !is_sep(path[cut - 1])) --cut;  // the last name
  if (cut == 0 || cut == end) return "";            // no folder named, or the root itself
  size_t keep = cut - 1;
  while (keep > 0 && is_sep(path[keep - 1])) --keep;
  if (keep == 0) return path.substr(0, 1);  // the root
  std::string parent = path.substr(0, keep);
  // "C:" alone is the working folder of drive C: the parent is its root.
  if (parent.size() == 2 && parent[1] == ':') parent += path[keep];
  return parent;
}

}  // namespace sb
