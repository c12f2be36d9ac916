// Source texts and the names stored in the settings file are 8-bit Windows-1252 text;
// everything the commands print for people and scripts is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace sb {

// Windows-1252 to UTF-8. Bytes 0x00-0x7F stay; 0xA0-0xFF become U+00A0-U+00FF; 0x80-0x9F
// follow the code page (0x80 is the euro sign, 0x93 and 0x94 the curly double quotes, ...).
// The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the
// C1 control characters of the same number (U+0081 ...), as Windows itself converts them,
// so that no byte is lost. The result is always valid UTF-8.
std::string Cp1252ToUtf8(std::string_view text);

// A path or an operating-system message: kept when it is valid UTF-8 already (POSIX hosts),
// otherwise read as Windows-1252 (the ANSI code page of a Windows host).
std::string PathToUtf8(std::string_view text);

// Whether the bytes form valid UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view text);

// The length of `text` without a character cut short at its end: the bytes a writer that
// converts piece by piece keeps for the next piece. At most three bytes are held back, and
// only when they can begin a character; other bytes are never held.
size_t CompleteUtf8Length(std::string_view text);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string* out, char32_t code_point);

}  // namespace sb
