// Standard output and error of a Windows program. The commands write UTF-8; a console is
// written with WriteConsoleW, in UTF-16, so that it shows every character whatever its code
// page ("pendènza", not "pendÃ¨nza"); a file or a pipe gets the UTF-8 bytes unchanged.
#pragma once

#ifdef _WIN32

#include <streambuf>
#include <string>

namespace sb {

enum class OutputKind {
  kConsole,  // a console screen buffer: UTF-16 through WriteConsoleW
  kBytes,    // a file, a pipe, a device: the bytes as they are
  kNone,     // no handle (a program started without one): the output is dropped
};

OutputKind KindOfOutput(void* handle);

// A stream buffer on a handle (a HANDLE), of the kind KindOfOutput tells. It writes what it
// holds when full and when flushed; to a console it holds back only a character cut short
// between two writes. It does not close the handle.
class OutputBuffer : public std::streambuf {
 public:
  explicit OutputBuffer(void* handle);
  ~OutputBuffer() override;
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  OutputKind kind() const { return kind_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool Write(bool all);

  void* handle_;
  OutputKind kind_;
  std::string pending_;
};

}  // namespace sb

#endif  // _WIN32
