#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

// Character sets a font object can ask for (the values Windows fonts carry).
enum : std::uint8_t { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, RUSSIAN_CHARSET = 204 };

// A font object as the panel's font properties hold it: face, height and character set.
// Height follows the Windows convention: negative is the em height in pixels, positive
// the cell height (ascent plus descent).
class TPanelFont {
public:
    TPanelFont() = default;
    TPanelFont(QString name, int height, std::uint8_t charset) : m_name(std::move(name)), m_height(height), m_charset(charset) {}

    const QString& Name() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    int Height() const { return m_height; }
    void SetHeight(int height) { m_height = height; }
    std::uint8_t Charset() const { return m_charset; }
    void SetCharset(std::uint8_t charset) { m_charset = charset; }
    bool Bold() const { return m_bold; }
    void SetBold(bool bold) { m_bold = bold; }
    bool Italic() const { return m_italic; }
    void SetItalic(bool italic) { m_italic = italic; }

    // Copies every attribute; the object itself stays the same.
    void Assign(const TPanelFont& other);

    // The Qt font with this face, resolved through the shared face mapping, and this height.
    QFont ToQFont() const;

    bool operator==(const TPanelFont&) const = default;

private:
    QString m_name = QStringLiteral("Arial");
    int m_height = -9;
    std::uint8_t m_charset = ANSI_CHARSET;
    bool m_bold = false;
    bool m_italic = false;
};
