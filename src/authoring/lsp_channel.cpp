#include "authoring/lsp_channel.h"

#include <cctype>
#include <charconv>

namespace sb {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string Frame(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

ReadOutcome StreamChannel::Read(std::string* body, std::string* error) {
  // The header lines, up to an empty one.
  std::string line;
  bool any = false, has_length = false, length_ok = false;
  size_t length = 0;
  std::string bad;
  for (;;) {
    line.clear();
    int c;
    while ((c = in_.get()) != std::char_traits<char>::eof() && c != '\n') line += static_cast<char>(c);
    if (c == std::char_traits<char>::eof() && line.empty()) {
      if (!any) return ReadOutcome::kEnd;
      *error = "the input ended inside a message header";
      return ReadOutcome::kEnd;
    }
    const std::string_view l = Trim(line);
    if (l.empty()) {
      if (!any) continue;  // blank lines between messages
      break;
    }
    any = true;
    const size_t colon = l.find(':');
    if (colon == std::string_view::npos) {
      if (bad.empty()) bad = "a header line without ':'";
      continue;
    }
    if (SameNoCase(Trim(l.substr(0, colon)), "Content-Length")) {
      const std::string_view v = Trim(l.substr(colon + 1));
      has_length = true;
      auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), length);
      length_ok = ec == std::errc() && end == v.data() + v.size() && !v.empty();
    }
    if (c == std::char_traits<char>::eof()) break;
  }
  if (!has_length || !length_ok) {
    *error = !has_length ? "a message without a Content-Length header"
                         : "a Content-Length that is not a number of bytes";
    if (!bad.empty()) *error += " (" + bad + ")";
    return ReadOutcome::kBadFrame;
  }
  if (length > kMaxMessageBytes) {
    in_.ignore(static_cast<std::streamsize>(length));
    *error = "a message of " + std::to_string(length) + " bytes, more than the " +
             std::to_string(kMaxMessageBytes) + " accepted";
    return ReadOutcome::kBadFrame;
  }
  body->resize(length);
  in_.read(body->data(), static_cast<std::streamsize>(length));
  if (static_cast<size_t>(in_.gcount()) != length) {
    *error = "the input ended inside a message";
    return ReadOutcome::kEnd;
  }
  return ReadOutcome::kMessage;
}

void StreamChannel::Write(std::string_view body) {
  const std::string framed = Frame(body);
  out_.write(framed.data(), static_cast<std::streamsize>(framed.size()));
  out_.flush();
}

ReadOutcome MemoryChannel::Read(std::string* body, std::string*) {
  if (input.empty()) return ReadOutcome::kEnd;
  *body = std::move(input.front());
  input.pop_front();
  return ReadOutcome::kMessage;
}

}  // namespace sb
