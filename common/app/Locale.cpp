#include "Locale.h"

namespace gyroapp {

numfmt::Separators LocaleSeparators(const QLocale& locale)
{
    numfmt::Separators separators;
    separators.decimal = locale.decimalPoint().toStdString();
    separators.thousands = locale.groupSeparator().toStdString();
    return separators;
}

} // namespace gyroapp
