#include "Fonts.h"

namespace gyroapp {

QStringList MappedFamilies(const QString& windowsFace)
{
    const QString face = windowsFace.trimmed();
    if (face.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0
        || face.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    return {face};
}

QFont WindowsFont(const QString& windowsFace, int pixelHeight, bool bold)
{
    const QStringList families = MappedFamilies(windowsFace);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(families.first().contains(QLatin1String("Serif")) && !families.first().contains(QLatin1String("Sans"))
                          ? QFont::Serif
                          : QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

void InstallFontSubstitutions()
{
    for (const char* face : {"MS Sans Serif", "Arial", "Times New Roman"}) {
        const QString name = QString::fromLatin1(face);
        QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, MappedFamilies(name));
    }
}

} // namespace gyroapp
