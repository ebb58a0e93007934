#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace gyroapp {

// The Windows faces the windows were laid out with, mapped to the metric-compatible
// Liberation faces, with DejaVu behind them: "MS Sans Serif" and "Arial" become
// Liberation Sans, "Times New Roman" Liberation Serif. Other faces pass unchanged.
QStringList MappedFamilies(const QString& windowsFace);

// A font given as the Windows form library gives it: a face and a character height in
// pixels (the -10, -11 of the form files, without the sign).
QFont WindowsFont(const QString& windowsFace, int pixelHeight, bool bold = false);

// Makes the Windows face names resolve to their stand-ins for any QFont that names them.
void InstallFontSubstitutions();

} // namespace gyroapp
