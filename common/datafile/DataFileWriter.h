#pragma once

#include <span>
#include <string>
#include <string_view>

// Writer for the programs' parameter files, the counterpart of DataFileReader: what it
// writes, ReadCommaSeparated reads back to the same 32-bit values.
namespace datafile {

// The values as one line of a parameter file: each in the shortest decimal form that reads
// back to the same 32-bit value (a decimal point whatever the locale, an exponent where it is
// shorter), separated by single commas and ended by a line break. A value that is not finite
// has no such form and is refused with std::invalid_argument.
std::string FormatCommaSeparated(std::span<const float> values);

// Writes text to path through a temporary file in the same folder, renamed over the target
// only once it is completely on disk: a failure at any point leaves an earlier file of that
// name as it was and no temporary file behind. A file replaced keeps its permissions; a
// name that is a symbolic link writes the file the link leads to, and the link stays.
// Returns an empty string on success, else the system's reason.
std::string WriteFileAtomically(const std::string& path, std::string_view text);

} // namespace datafile
