#pragma once

#include <QString>

#include <string>

namespace gyroapp {

// The directory of the running executable, with a trailing separator, whatever the current directory.
QString ProgramDirectory();

// A file beside the executable, as a path for the C library.
std::string ProgramFile(const QString& name);

} // namespace gyroapp
