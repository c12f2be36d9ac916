#include "authoring/reporter.h"

#include <algorithm>

#include "authoring/command_io.h"
#include "io/text_encoding.h"

namespace sb {
namespace {

constexpr char kBold[] = "1";
constexpr char kRed[] = "1;31";
constexpr char kMagenta[] = "1;35";
constexpr char kCyan[] = "1;36";
constexpr char kGreen[] = "1;32";

std::string Hex(unsigned char c) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s = "\\x";
  s.push_back(kDigits[c >> 4]);
  s.push_back(kDigits[c & 0xF]);
  return s;
}

// A byte of a source line as shown: a blank for a tab, \xHH for a control character or one of
// the five bytes the code page leaves undefined, else its character.
std::string ShowByte(unsigned char c) {
  if (c == '\t') return " ";
  if (c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
    return Hex(c);
  const char b = static_cast<char>(c);
  return Cp1252ToUtf8(std::string_view(&b, 1));
}

// Width on the screen of what ShowByte gives: one character, or the four of \xHH.
size_t ShownWidth(const std::string& shown) { return shown.size() == 4 && shown[0] == '\\' ? 4 : 1; }

}  // namespace

std::string EscapeControls(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      out += Hex(c);
    } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      out += Hex(static_cast<unsigned char>(utf8[++i]));  // U+0080 to U+009F
    } else {
      out += utf8[i];
    }
  }
  return out;
}

ShownSource ShowSource(const QuotedSource& source, int32_t column, int32_t end_column) {
  ShownSource s;
  size_t before = 0, under = 0;  // screen columns before the field, and under it
  const int32_t end = std::max(end_column, column + 1);
  if (source.first_column > 1) {
    s.line = "...";
    before = 3;
  }
  for (size_t i = 0; i < source.bytes.size(); ++i) {
    const std::string shown = ShowByte(static_cast<unsigned char>(source.bytes[i]));
    const int32_t col = source.first_column + static_cast<int32_t>(i);
    if (col < column) before += ShownWidth(shown);
    else if (col < end) under += ShownWidth(shown);
    s.line += shown;
  }
  const bool cut = static_cast<size_t>(source.first_column - 1) + source.bytes.size() < source.length;
  if (cut) s.line += "...";
  const int32_t last = source.first_column + static_cast<int32_t>(source.bytes.size());
  if (column < source.first_column || column > last) return s;
  if (under == 0) under = 1;  // the place after the last character: a caret alone
  s.marker = std::string(before, ' ') + "^" + std::string(under - 1, '~');
  return s;
}

std::string Reporter::Paint(const char* style, const std::string& text) const {
  if (!colour_) return text;
  return std::string("\x1B[") + style + "m" + text + "\x1B[0m";
}

void Reporter::Write(const std::string& text) { err_ << text; }

std::string Reporter::Lead() const {
  return command_.empty() ? std::string(kProgramName) : std::string(kProgramName) + ' ' + command_;
}

namespace {

std::string Location(const DiagnosticPlace& p) {
  std::string s = p.file.empty() ? std::string(kProgramName) : EscapeControls(PathToUtf8(p.file));
  if (p.line) {
    s += ':' + std::to_string(*p.line);
    if (p.column > 0) s += ':' + std::to_string(p.column);
  }
  return s;
}

}  // namespace

void Reporter::Report(const Diagnostic& d) {
  // The width of the gutter: that of the greatest line number quoted.
  int32_t widest = 0;
  auto quoted = [](const DiagnosticPlace& p) { return p.line && p.source; };
  if (quoted(d.where)) widest = *d.where.line;
  for (const DiagnosticNoteLine& n : d.notes)
    if (quoted(n.where)) widest = std::max(widest, *n.where.line);
  const size_t gutter = std::to_string(widest).size();

  auto quote = [&](const DiagnosticPlace& p, const char* marker_style) {
    if (!quoted(p)) return std::string();
    const ShownSource shown = ShowSource(*p.source, p.column, p.end_column);
    const std::string number = std::to_string(*p.line);
    std::string s(1 + gutter - number.size(), ' ');
    s += Paint(kBold, number);
    s += " | ";
    s += shown.line;
    s += '\n';
    if (!shown.marker.empty()) {
      s.append(gutter + 1, ' ');
      s += " | ";
      s += Paint(marker_style, shown.marker);
      s += '\n';
    }
    return s;
  };

  std::string s = Paint(kBold, Location(d.where) + ":") + " ";
  const std::string message = EscapeControls(PathToUtf8(d.message));
  switch (d.severity) {
    case Severity::kError:
      s += Paint(kRed, "error:") + " " + Paint(kBold, message);
      if (d.code) s += " [fault " + std::to_string(*d.code) + "]";
      break;
    case Severity::kWarning: s += Paint(kMagenta, "warning:") + " " + Paint(kBold, message); break;
    case Severity::kFatal: s += Paint(kRed, "fatal error:") + " " + Paint(kBold, message); break;
    case Severity::kNote: s += Paint(kCyan, "note:") + " " + message; break;
  }
  s += "\n";
  s += quote(d.where, kGreen);
  for (const DiagnosticNoteLine& n : d.notes) {
    const std::string words = EscapeControls(PathToUtf8(n.message));
    if (n.where.file.empty()) {
      s += Paint(kCyan, "note:") + " " + words + "\n";
    } else {
      s += Paint(kBold, Location(n.where) + ":") + " " + Paint(kCyan, "note:") + " " + words + "\n";
      s += quote(n.where, kCyan);
    }
  }
  if (!d.help.empty()) s += Paint(kGreen, "help:") + " " + EscapeControls(PathToUtf8(d.help)) + "\n";
  Write(s);
}

void Reporter::Summary(const std::string& message) {
  Write(std::string(kProgramName) + ": " + EscapeControls(PathToUtf8(message)) + "\n");
}

int Reporter::Fail(const std::string& message) {
  Write(Lead() + ": " + EscapeControls(PathToUtf8(message)) + "\n");
  return kExitFailed;
}

int Reporter::WrongUsage(const std::string& message) {
  Fail(message);
  Write("try '" + Lead() + " --help'\n");
  return kExitFailed;
}

}  // namespace sb
