// The texts an editor holds, as the language server sees them: UTF-8 buffers edited by
// ranges in UTF-16 code units, turned into the Windows-1252 bytes the readers read (one byte
// for each UTF-16 code unit, so that the readers' columns are the editor's), and file URIs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sb {

// A place in an editor's text: line and character (UTF-16 code units), both from 0.
struct TextPosition {
  int32_t line = 0;
  int32_t character = 0;
};

// UTF-8 to Windows-1252, one byte for each UTF-16 code unit: a character the code page
// lacks becomes '?' ("??" beyond U+FFFF), a malformed UTF-8 byte '?'.
std::string Utf8ToCp1252(std::string_view utf8);

// The byte offset in a UTF-8 text of a position; a character beyond its line's end is the
// line's end, a line beyond the text the text's end.
size_t OffsetOf(std::string_view utf8, TextPosition p);

// Replaces the bytes between two positions with `text`.
void ReplaceRange(std::string* utf8, TextPosition start, TextPosition end, std::string_view text);

// The lines of a text without their line ends (LF or CR LF); a text ending in a line end
// has no empty last line.
std::vector<std::string_view> SplitLines(std::string_view text);

// "file:///dir/a%20b.txt" -> "/dir/a b.txt"; on a host with separator '\\',
// "file:///C:/dir/a.txt" -> "C:\dir\a.txt". Empty for a URI of another scheme.
std::string UriToPath(std::string_view uri, char separator);
// The reverse, with the characters outside [A-Za-z0-9-._~/] percent-encoded.
std::string PathToUri(std::string_view path, char separator);

}  // namespace sb
