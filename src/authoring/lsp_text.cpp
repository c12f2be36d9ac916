#include "authoring/lsp_text.h"

#include <algorithm>
#include <cctype>

namespace sb {
namespace {

// The code points of the bytes 0x80 to 0x9F; the five the code page leaves undefined stand
// for the C1 controls of the same number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

// Decodes one UTF-8 sequence at s[*i]; a malformed one gives U+FFFD and moves by one byte.
char32_t Decode(std::string_view s, size_t* i) {
  const unsigned char b = static_cast<unsigned char>(s[*i]);
  if (b < 0x80) {
    ++*i;
    return b;
  }
  const int n = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
  if (n < 0 || *i + static_cast<size_t>(n) >= s.size()) {
    ++*i;
    return 0xFFFD;
  }
  char32_t c = n == 1 ? (b & 0x1F) : n == 2 ? (b & 0x0F) : (b & 0x07);
  for (int k = 1; k <= n; ++k) {
    const unsigned char t = static_cast<unsigned char>(s[*i + static_cast<size_t>(k)]);
    if ((t >> 6) != 2) {
      ++*i;
      return 0xFFFD;
    }
    c = (c << 6) | (t & 0x3F);
  }
  *i += static_cast<size_t>(n) + 1;
  return c;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const char32_t c = Decode(utf8, &i);
    if (c > 0xFFFF) out += "??";
    else out += ToCp1252(c);
  }
  return out;
}

size_t OffsetOf(std::string_view utf8, TextPosition p) {
  size_t i = 0;
  for (int32_t line = 0; line < p.line; ++line) {
    const size_t nl = utf8.find('\n', i);
    if (nl == std::string_view::npos) return utf8.size();
    i = nl + 1;
  }
  for (int32_t units = 0; units < p.character && i < utf8.size();) {
    if (utf8[i] == '\n' || (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')) break;
    const char32_t c = Decode(utf8, &i);
    units += c > 0xFFFF ? 2 : 1;
  }
  return i;
}

void ReplaceRange(std::string* utf8, TextPosition start, TextPosition end, std::string_view text) {
  const size_t a = OffsetOf(*utf8, start);
  const size_t b = std::max(a, OffsetOf(*utf8, end));
  utf8->replace(a, b - a, text);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t pos = 0; pos < text.size();) {
    size_t nl = text.find('\n', pos);
    std::string_view l = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    lines.push_back(l);
    pos = nl == std::string_view::npos ? text.size() : nl + 1;
  }
  return lines;
}

std::string UriToPath(std::string_view uri, char separator) {
  constexpr std::string_view kScheme = "file://";
  if (uri.substr(0, kScheme.size()) != kScheme) return "";
  std::string_view rest = uri.substr(kScheme.size());
  rest = rest.substr(std::min(rest.size(), rest.find('/')));  // an authority (host) is left out
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  if (separator == '\\') {
    // "/C:/dir" -> "C:\dir"
    if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
    std::replace(path.begin(), path.end(), '/', '\\');
  }
  return path;
}

std::string PathToUri(std::string_view path, char separator) {
  std::string p;
  if (separator == '\\' && path.size() >= 2 && path[1] == ':') p = "/";  // "C:\x" -> "/C:/x"
  p.append(path);
  if (separator == '\\') std::replace(p.begin(), p.end(), '\\', '/');
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (unsigned char c : p) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/' ||
        (c == ':' && separator == '\\')) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

}  // namespace sb
