#include "FontMapping.h"

namespace fontmap {

namespace {

bool Is(const QString& face, const char* name)
{
    return face.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// The faces every list ends with: the ones installed with the program.
const QStringList& ShippedFamilies()
{
    static const QStringList families{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    return families;
}

QStringList Preferred(const QString& face)
{
    if (Is(face, "MS Sans Serif") || Is(face, "Arial"))
        return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    if (Is(face, "Times New Roman"))
        return {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    // The Symbol face is asked for its Greek letters and signs, which the callers give as
    // Unicode; a face called Symbol here may well hold them at Latin codes instead.
    if (Is(face, "Symbol"))
        return {QStringLiteral("DejaVu Serif"), QStringLiteral("DejaVu Sans")};
    return {face};
}

bool IsSerif(const QStringList& families)
{
    return families.first().contains(QLatin1String("Serif")) && !families.first().contains(QLatin1String("Sans"));
}

} // namespace

QStringList MappedFamilies(const QString& windowsFace)
{
    QStringList families = Preferred(windowsFace.trimmed());
    for (const QString& shipped : ShippedFamilies())
        if (!families.contains(shipped, Qt::CaseInsensitive))
            families.append(shipped);
    return families;
}

QFont MappedFont(const QString& windowsFace, int pixelHeight, bool bold, bool italic)
{
    const QStringList families = MappedFamilies(windowsFace);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(IsSerif(families) ? QFont::Serif : QFont::SansSerif);
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void InstallSubstitutions()
{
    for (const char* face : {"MS Sans Serif", "Arial", "Times New Roman", "Symbol"}) {
        const QString name = QString::fromLatin1(face);
        QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, MappedFamilies(name));
    }
}

CoveringFonts::CoveringFonts(const QFont& font)
{
    QStringList families = font.families();
    if (families.isEmpty())
        families.append(font.family());
    for (const QString& family : families) {
        QFont single(font);
        single.setFamilies({family});
        single.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoFontMerging));
        faces_.emplace_back(single, QRawFont::fromFont(single));
    }
}

const CoveringFonts::Face* CoveringFonts::Find(QChar ch) const
{
    for (const Face& face : faces_)
        if (face.second.isValid() && face.second.supportsCharacter(ch))
            return &face;
    return nullptr;
}

const QFont& CoveringFonts::For(QChar ch) const
{
    const Face* face = Find(ch);
    return face ? face->first : faces_.front().first;
}

bool CoveringFonts::Covers(QChar ch) const
{
    return Find(ch) != nullptr;
}

QString CoveringFonts::FamilyFor(QChar ch) const
{
    const Face* face = Find(ch);
    return face ? face->second.familyName() : QString();
}

} // namespace fontmap
