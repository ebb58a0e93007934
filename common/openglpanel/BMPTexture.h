#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

// A file the panel could not read or write.
class EOpenGLPanelFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Texels ready for glTexImage2D: rows from the picture's bottom row up, each texel
// red, green, blue and, with alpha, an alpha byte.
class BMPTexture {
public:
    BMPTexture(int width, int height, bool withAlpha);

    int Components() const { return m_components; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    unsigned Format() const;    // GL_RGB or GL_RGBA
    unsigned DataType() const;  // GL_UNSIGNED_BYTE
    const std::uint8_t* Pixels() const { return m_pixels.data(); }
    std::uint8_t* Pixels() { return m_pixels.data(); }
    std::size_t PixelBytes() const { return m_pixels.size(); }

    // Writes alpha into every texel; a texture without alpha is left alone.
    void SetAlpha(std::uint8_t alpha);

private:
    int m_components;
    int m_width;
    int m_height;
    std::vector<std::uint8_t> m_pixels;
};

namespace glpanel {

// Reads any picture Qt can read; throws EOpenGLPanelFileError when it cannot.
std::unique_ptr<BMPTexture> LoadTexture(const QString& fileName, bool withAlpha);

} // namespace glpanel
