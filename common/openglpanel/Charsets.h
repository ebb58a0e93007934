#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <string>

namespace glpanel {

// The character an 8-bit code stands for: the Windows Cyrillic code page (1251) for
// ordinary fonts, the Symbol encoding for fonts of the symbol character set.
// Codes that stand for nothing give a null QChar.
QChar CharForCode(int code, std::uint8_t charset);

// Text as the single-byte Cyrillic string the panel's text drawing expects;
// characters the code page lacks become '?'.
std::string ToWindowsCodePage(const QString& text);

} // namespace glpanel
