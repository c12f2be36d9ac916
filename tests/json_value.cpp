#include "json_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace sb::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view t) : t_(t) {}

  bool Document(JsonValue* v) {
    if (!Value(v, 0)) return false;
    Blank();
    return pos_ == t_.size() || Fail("text after the value");
  }
  std::string error;

 private:
  bool Fail(const std::string& why) {
    if (error.empty()) error = why + " at byte " + std::to_string(pos_);
    return false;
  }
  void Blank() {
    while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t' || t_[pos_] == '\n' || t_[pos_] == '\r'))
      ++pos_;
  }
  bool Eat(char c) {
    Blank();
    if (pos_ < t_.size() && t_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Word(const char* w) {
    std::string_view s(w);
    if (t_.substr(pos_, s.size()) != s) return Fail("bad literal");
    pos_ += s.size();
    return true;
  }

  bool Value(JsonValue* v, int depth) {
    if (depth > 100) return Fail("nesting too deep");
    Blank();
    if (pos_ >= t_.size()) return Fail("a value is missing");
    char c = t_[pos_];
    if (c == '{') return Object(v, depth);
    if (c == '[') return Array(v, depth);
    if (c == '"') {
      v->type = JsonValue::kString;
      return String(&v->text);
    }
    if (c == 't' || c == 'f') {
      v->type = JsonValue::kBool;
      v->boolean = c == 't';
      return Word(c == 't' ? "true" : "false");
    }
    if (c == 'n') {
      v->type = JsonValue::kNull;
      return Word("null");
    }
    return Number(v);
  }

  bool Object(JsonValue* v, int depth) {
    v->type = JsonValue::kObject;
    ++pos_;
    if (Eat('}')) return true;
    do {
      Blank();
      std::string key;
      if (pos_ >= t_.size() || t_[pos_] != '"') return Fail("a key is missing");
      if (!String(&key)) return false;
      if (!Eat(':')) return Fail("':' is missing");
      JsonValue member;
      if (!Value(&member, depth + 1)) return false;
      v->members.emplace_back(std::move(key), std::move(member));
    } while (Eat(','));
    return Eat('}') || Fail("'}' is missing");
  }

  bool Array(JsonValue* v, int depth) {
    v->type = JsonValue::kArray;
    ++pos_;
    if (Eat(']')) return true;
    do {
      JsonValue item;
      if (!Value(&item, depth + 1)) return false;
      v->items.push_back(std::move(item));
    } while (Eat(','));
    return Eat(']') || Fail("']' is missing");
  }

  bool Number(JsonValue* v) {
    size_t start = pos_;
    auto digits = [&] {
      size_t from = pos_;
      while (pos_ < t_.size() && t_[pos_] >= '0' && t_[pos_] <= '9') ++pos_;
      return pos_ > from;
    };
    if (pos_ < t_.size() && t_[pos_] == '-') ++pos_;
    if (pos_ < t_.size() && t_[pos_] == '0') {
      ++pos_;
    } else if (!digits()) {
      return Fail("not a value");
    }
    if (pos_ < t_.size() && t_[pos_] == '.') {
      ++pos_;
      if (!digits()) return Fail("digits missing after '.'");
    }
    if (pos_ < t_.size() && (t_[pos_] == 'e' || t_[pos_] == 'E')) {
      ++pos_;
      if (pos_ < t_.size() && (t_[pos_] == '+' || t_[pos_] == '-')) ++pos_;
      if (!digits()) return Fail("digits missing in the exponent");
    }
    v->type = JsonValue::kNumber;
    v->number = std::strtod(std::string(t_.substr(start, pos_ - start)).c_str(), nullptr);
    return true;
  }

  static void Append(std::string* out, unsigned cp) {
    if (cp < 0x80) {
      out->push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  bool Hex4(unsigned* cp) {
    if (pos_ + 4 > t_.size()) return Fail("short \\u escape");
    *cp = 0;
    for (int k = 0; k < 4; ++k) {
      char c = t_[pos_++];
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
            : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return Fail("bad \\u escape");
      *cp = *cp * 16 + static_cast<unsigned>(d);
    }
    return true;
  }

  // One UTF-8 sequence, checked as strictly as the standard asks.
  bool Utf8(std::string* out) {
    auto at = [&](size_t k) { return static_cast<unsigned char>(t_[k]); };
    unsigned char c = at(pos_);
    size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || pos_ + n > t_.size()) return Fail("invalid UTF-8");
    for (size_t k = 1; k < n; ++k)
      if ((at(pos_ + k) & 0xC0) != 0x80) return Fail("invalid UTF-8");
    unsigned char c1 = at(pos_ + 1);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 >= 0x90))
      return Fail("invalid UTF-8");
    out->append(t_.substr(pos_, n));
    pos_ += n;
    return true;
  }

  bool String(std::string* out) {
    ++pos_;
    for (;;) {
      if (pos_ >= t_.size()) return Fail("unterminated string");
      unsigned char c = static_cast<unsigned char>(t_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) return Fail("raw control character in a string");
      if (c >= 0x80) {
        if (!Utf8(out)) return false;
        continue;
      }
      ++pos_;
      if (c != '\\') {
        out->push_back(static_cast<char>(c));
        continue;
      }
      if (pos_ >= t_.size()) return Fail("unterminated escape");
      char e = t_[pos_++];
      switch (e) {
        case '"': out->push_back('"'); break;
        case '\\': out->push_back('\\'); break;
        case '/': out->push_back('/'); break;
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'u': {
          unsigned cp = 0;
          if (!Hex4(&cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {
            unsigned low = 0;
            if (t_.substr(pos_, 2) != "\\u") return Fail("lone surrogate");
            pos_ += 2;
            if (!Hex4(&low) || low < 0xDC00 || low > 0xDFFF) return Fail("lone surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return Fail("lone surrogate");
          }
          Append(out, cp);
          break;
        }
        default:
          return Fail("bad escape");
      }
    }
  }

  std::string_view t_;
  size_t pos_ = 0;
};

const JsonValue& Missing() {
  static const JsonValue kNullValue;
  return kNullValue;
}

}  // namespace

bool JsonValue::Has(const std::string& key) const {
  for (const auto& [k, v] : members)
    if (k == key) return true;
  return false;
}

const JsonValue& JsonValue::operator[](const std::string& key) const {
  for (const auto& [k, v] : members)
    if (k == key) return v;
  ADD_FAILURE() << "no member '" << key << "'";
  return Missing();
}

const JsonValue& JsonValue::operator[](size_t index) const {
  if (type == kArray && index < items.size()) return items[index];
  ADD_FAILURE() << "no item " << index;
  return Missing();
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string* err) {
  Parser p(text);
  JsonValue v;
  if (!p.Document(&v)) {
    *err = p.error;
    return std::nullopt;
  }
  return v;
}

}  // namespace sb::testing
