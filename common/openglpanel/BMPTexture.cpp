#include "BMPTexture.h"

#include <QImage>
#include <QImageReader>
#include <GL/gl.h>

BMPTexture::BMPTexture(int width, int height, bool withAlpha)
    : m_components(withAlpha ? 4 : 3), m_width(width), m_height(height),
      m_pixels(std::size_t(width) * std::size_t(height) * std::size_t(m_components), 0)
{
}

unsigned BMPTexture::Format() const { return m_components == 4 ? GL_RGBA : GL_RGB; }

unsigned BMPTexture::DataType() const { return GL_UNSIGNED_BYTE; }

void BMPTexture::SetAlpha(std::uint8_t alpha)
{
    if (m_components != 4) return;
    for (std::size_t i = 3; i < m_pixels.size(); i += 4) m_pixels[i] = alpha;
}

namespace glpanel {

std::unique_ptr<BMPTexture> LoadTexture(const QString& fileName, bool withAlpha)
{
    QImageReader reader(fileName);
    const QImage picture = reader.read();
    if (picture.isNull())
        throw EOpenGLPanelFileError(
            QStringLiteral("Не удалось прочитать изображение «%1»: %2").arg(fileName, reader.errorString()).toStdString());
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    auto texture = std::make_unique<BMPTexture>(rgb.width(), rgb.height(), withAlpha);
    const int n = texture->Components();
    std::uint8_t* out = texture->Pixels();
    for (int i = 0; i < rgb.height(); ++i) {
        const uchar* row = rgb.constScanLine(rgb.height() - 1 - i);
        for (int j = 0; j < rgb.width(); ++j) {
            std::uint8_t* texel = out + std::size_t(n) * (std::size_t(j) + std::size_t(i) * std::size_t(rgb.width()));
            texel[0] = row[3 * j];
            texel[1] = row[3 * j + 1];
            texel[2] = row[3 * j + 2];
            if (n == 4) texel[3] = 255;
        }
    }
    return texture;
}

} // namespace glpanel
