#include "authoring/lsp_text.h"

#include <gtest/gtest.h>

namespace sb {
namespace {

TEST(LspText, Utf8ToCp1252KeepsOneByteForEachUtf16Unit) {
  const struct {
    const char* utf8;
    const char* cp1252;
  } cases[] = {
      {"abc, 12", "abc, 12"},
      {"citt\xC3\xA0", "citt\xE0"},             // U+00E0
      {"\xE2\x82\xAC \xE2\x80\x9C", "\x80 \x93"},  // euro sign, left double quote
      {"\xC2\x81", "\x81"},                     // an undefined byte as its C1 control
      {"\xE4\xB8\xAD", "?"},                    // not in the code page
      {"\xF0\x9F\x9A\x82x", "??x"},             // beyond U+FFFF: two UTF-16 units
      {"\xFFz\xC3", "?z?"},                     // malformed
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
}

TEST(LspText, RangesInUtf16Units) {
  std::string text = "a\xC3\xA8" "b\r\n\xF0\x9F\x9A\x82z\nlast";
  EXPECT_EQ(OffsetOf(text, {0, 2}), 3u);   // after the two-byte letter
  EXPECT_EQ(OffsetOf(text, {0, 99}), 4u);  // the line's end, before CR LF
  EXPECT_EQ(OffsetOf(text, {1, 2}), 10u);  // after the surrogate pair
  EXPECT_EQ(OffsetOf(text, {9, 0}), text.size());
  ReplaceRange(&text, {1, 2}, {2, 1}, "-");
  EXPECT_EQ(text, "a\xC3\xA8" "b\r\n\xF0\x9F\x9A\x82-ast");
  EXPECT_EQ(SplitLines("a\r\nb\n\nc"), (std::vector<std::string_view>{"a", "b", "", "c"}));
  EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string_view>{"a"}));
}

TEST(LspText, FileUris) {
  EXPECT_EQ(UriToPath("file:///home/a%20b/x_linea.txt", '/'), "/home/a b/x_linea.txt");
  EXPECT_EQ(UriToPath("file://host/share/x.txt", '/'), "/share/x.txt");
  EXPECT_EQ(UriToPath("untitled:Untitled-1", '/'), "");
  EXPECT_EQ(UriToPath("file:///c%3A/Scenari/x_linea.txt", '\\'), "c:\\Scenari\\x_linea.txt");
  EXPECT_EQ(PathToUri("/home/a b/citt\xC3\xA0_linea.txt", '/'), "file:///home/a%20b/citt%C3%A0_linea.txt");
  EXPECT_EQ(PathToUri("C:\\Scenari\\x_7-.txt", '\\'), "file:///C:/Scenari/x_7-.txt");
  for (const char* p : {"/a/b c/d_linea.txt", "/%/#?"}) EXPECT_EQ(UriToPath(PathToUri(p, '/'), '/'), p);
}

}  // namespace
}  // namespace sb
