#include "io/file_system.h"

#include "io/file_replacement.h"
#include "io/text_encoding.h"

namespace sb {

std::string FolderBusyMessage(const std::string& folder, std::chrono::seconds waited) {
  return "another run of scenario-builder has been using the folder " + PathToUtf8(folder) +
         " for " + std::to_string(waited.count()) + " s without ending; this run changed no file";
}

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
