#pragma once

#include <QFont>
#include <QRawFont>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace fontmap {

// Families to draw a Windows face with, best first. "MS Sans Serif" and "Arial" go to the
// metric-compatible Liberation Sans, "Times New Roman" to Liberation Serif, "Symbol" (whose
// letters the callers turn into Unicode Greek) to DejaVu Serif; any other face is tried
// as named. Every list ends with Liberation Sans and DejaVu Sans, which the program ships
// with, so that a character the named face lacks still has a face to come from.
QStringList MappedFamilies(const QString& windowsFace);

// A font of that face with a character height in pixels, resolved through the mapping.
QFont MappedFont(const QString& windowsFace, int pixelHeight, bool bold = false, bool italic = false);

// Makes a QFont that names one of the mapped Windows faces resolve as MappedFamilies says.
void InstallSubstitutions();

// The font's families, each as the face the system really gives for it, asked one
// character at a time: the first face that has the character draws it. What a face
// has is read from its character map, not assumed from its name, so a face that comes
// up symbol-encoded (its Greek letters at Latin codes) is passed over for Greek.
class CoveringFonts {
public:
    explicit CoveringFonts(const QFont& font);

    // The single-family font (no merging) that has ch; the first family's when none has it.
    const QFont& For(QChar ch) const;
    // Whether any of the families has ch.
    bool Covers(QChar ch) const;
    // The installed family that draws ch, as the system names it.
    QString FamilyFor(QChar ch) const;

private:
    using Face = std::pair<QFont, QRawFont>;
    const Face* Find(QChar ch) const;

    std::vector<Face> faces_;
};

} // namespace fontmap
