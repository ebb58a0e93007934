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

// What reading a parameter file gave.
struct LoadReport {
    enum class Outcome { Read, CannotOpen, NotRegularFile };
    Outcome outcome = Outcome::CannotOpen;
    std::size_t valuesRead = 0;  // numbers read in the expected form
    explicit operator bool() const { return outcome == Outcome::Read; }
};

// At most this much of a parameter file is read: thirty numbers never need more, and what
// follows them is ignored anyway.
constexpr std::size_t MaxFileBytes = 64 * 1024;

// Reads the start of a regular file into text, at most MaxFileBytes and never ending inside
// a number. Anything else (a device, a FIFO, a directory) is refused unread, so that reading
// neither blocks nor grows without bound. text is left alone unless the outcome is Read.
LoadReport::Outcome ReadFileText(const std::string& path, std::string& text);

// Reads a parameter file's numbers into values as ReadCommaSeparated does; values are left
// alone when the file cannot be read.
LoadReport ReadParameterFile(const std::string& path, std::span<float> values);

} // namespace datafile
