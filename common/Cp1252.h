#pragma once
// Windows-1252 lives only at two edges: tree files and the formula engine.
// Everything else in the program is UTF-8.
#include <string>
#include <string_view>

// A character the code page cannot hold, or a byte that is not valid UTF-8, becomes "?".
std::string Utf8ACp1252(const std::string& utf8);
std::string Cp1252AUtf8(std::string_view cp1252);

// Appends one code point as UTF-8.
void AnyadeUtf8(std::string& s, char32_t c);
