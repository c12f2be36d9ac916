#include "io/file_system.h"

#include "io/file_replacement.h"

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

}  // namespace sb
