#pragma once

#include <string>

namespace study {

// What a failed file operation's errno means, in Russian for the common cases (a full disk,
// a quota, a file-size limit), in the system's words otherwise.
std::string FileErrorText(int error);

} // namespace study
