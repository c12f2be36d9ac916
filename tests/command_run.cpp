#include "command_run.h"

#include <gtest/gtest.h>

#include <sstream>

#include "authoring/commands.h"
#include "memory_file_system.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#endif

namespace sb::testing {

CommandResult RunInMemory(MemoryFileSystem& fs, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  CommandIo io{&fs, '/', &out, &err};
  CommandResult r;
  r.status = RunCommand(args, io);
  r.out = out.str();
  r.err = err.str();
  return r;
}

nlohmann::json JsonOut(const CommandResult& r) {
  try {
    return nlohmann::json::parse(r.out);
  } catch (const nlohmann::json::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << r.out;
    return nlohmann::json();
  }
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

#ifndef _WIN32
namespace {

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  q += '\'';
  return q;
}

}  // namespace

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string FreshDirectory(const std::string& name) {
  namespace fs = std::filesystem;
  fs::path p = fs::temp_directory_path() /
               ("sb-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

CommandResult RunExecutable(const std::string& dir, const std::vector<std::string>& args) {
  std::string out = dir + "/.stdout", err = dir + "/.stderr";
  std::string cmd = "cd ";
  cmd += Quote(dir);
  cmd += " && ";
  cmd += Quote(SB_EXECUTABLE);
  for (const std::string& a : args) {
    cmd += ' ';
    cmd += Quote(a);
  }
  cmd += " >";
  cmd += Quote(out);
  cmd += " 2>";
  cmd += Quote(err);
  CommandResult r;
  int raw = std::system(cmd.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadBytes(out);
  r.err = ReadBytes(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return r;
}
#endif

}  // namespace sb::testing
