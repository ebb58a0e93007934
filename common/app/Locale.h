#pragma once

#include "NumberFormat.h"

#include <QLocale>

namespace gyroapp {

// The decimal and thousands separators of the user's regional settings, for the number formats.
numfmt::Separators LocaleSeparators(const QLocale& locale = QLocale());

} // namespace gyroapp
