#pragma once

#include "FontMapping.h"

#include <QFont>
#include <QString>

namespace gyroapp {

// A font given as the Windows form library gives it: a face and a character height in
// pixels (the -10, -11 of the form files, without the sign), resolved through the one
// face mapping the windows and the OpenGL panel share.
inline QFont WindowsFont(const QString& windowsFace, int pixelHeight, bool bold = false)
{
    return fontmap::MappedFont(windowsFace, pixelHeight, bold);
}

// Makes the Windows face names resolve to their stand-ins for any QFont that names them.
inline void InstallFontSubstitutions()
{
    fontmap::InstallSubstitutions();
}

} // namespace gyroapp
