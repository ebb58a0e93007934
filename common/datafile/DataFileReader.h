#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// Reader for the programs' parameter files: decimal numbers separated by single commas,
// read the way the C library's "%f,%f,...,%f" formatted input reads them, but independent
// of the process locale (the decimal point is always '.').
namespace datafile {

// Reads up to values.size() numbers from text into values, each rounded to a 32-bit float.
// White space may stand before a number; a comma must follow a number directly. Reading stops
// at the first text that does not fit; the values not read keep what they held. Returns how
// many values were read. As with strtof, a value beyond the float range reads as an
// infinity and one too small for it as zero; "inf", "nan" and hexadecimal are not numbers.
std::size_t ReadCommaSeparated(std::string_view text, std::span<float> values);

// Reads a whole file into text. Returns false when the file cannot be opened.
bool ReadFileText(const std::string& path, std::string& text);

} // namespace datafile
