// The transport of the language server: JSON-RPC messages framed by a Content-Length header,
// behind an interface so that the server runs on standard input and output or in memory.
#pragma once

#include <cstddef>
#include <deque>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace sb {

enum class ReadOutcome {
  kMessage,   // *body holds the next message
  kBadFrame,  // the header was malformed; *error says how; reading may go on after it
  kEnd,       // the input closed
};

class MessageChannel {
 public:
  virtual ~MessageChannel() = default;
  virtual ReadOutcome Read(std::string* body, std::string* error) = 0;
  virtual void Write(std::string_view body) = 0;
};

// Headers up to "\r\n\r\n", each "Name: value"; Content-Length is the one that counts, and
// a message without it, or with a length that is not a number, is a bad frame. A body
// longer than this is refused too (its bytes are skipped).
inline constexpr size_t kMaxMessageBytes = size_t{64} << 20;

class StreamChannel : public MessageChannel {
 public:
  StreamChannel(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  ReadOutcome Read(std::string* body, std::string* error) override;
  void Write(std::string_view body) override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

// Messages handed over whole, for tests: Read takes the next of `input` (kEnd when there is
// none), Write keeps each body.
class MemoryChannel : public MessageChannel {
 public:
  ReadOutcome Read(std::string* body, std::string* error) override;
  void Write(std::string_view body) override { written.emplace_back(body); }

  std::deque<std::string> input;
  std::vector<std::string> written;
};

// A body in its frame: "Content-Length: N\r\n\r\n" and the body.
std::string Frame(std::string_view body);

}  // namespace sb
