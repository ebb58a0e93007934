// Text, textures, pictures, printing and queries of the panel.
#include "OpenGLPanel.h"

#include "Extensions.h"
#include "PanelPrinting.h"

#include <QImageWriter>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cstring>

using namespace glpanel;

std::unique_ptr<OpenGLFont2D> TOpenGLPanel::Create2DFont(const TPanelFont* font, int firstGlyph, int glyphCount)
{
    if (font == nullptr) return nullptr;
    const ListName base = m_platform->GenLists(glyphCount);
    if (base == 0) return nullptr;
    auto record = std::make_unique<OpenGLFont2D>(m_platform, firstGlyph, glyphCount, base);
    m_platform->UseFontBitmaps(m_dc, *font, firstGlyph, glyphCount, base);
    return record;
}

void TOpenGLPanel::Create2DFont()
{
    m_font2D.reset();
    m_font2D = Create2DFont(&m_font2DType, m_font2DFirst, m_font2DCount);
}

std::unique_ptr<OpenGLFont3D> TOpenGLPanel::Create3DFont(const TPanelFont* font, int firstGlyph, int glyphCount,
                                                         float maxDeviation, float extrusion, int format)
{
    if (font == nullptr) return nullptr;
    const ListName base = m_platform->GenLists(glyphCount);
    if (base == 0) return nullptr;
    auto record = std::make_unique<OpenGLFont3D>(m_platform, firstGlyph, glyphCount, base, extrusion);
    m_platform->UseFontOutlines(m_dc, *font, firstGlyph, glyphCount, base, maxDeviation, extrusion, format,
                                record->GlyphMetrics().data());
    return record;
}

void TOpenGLPanel::Create3DFont()
{
    m_font3D.reset();
    m_font3D = Create3DFont(&m_font3DType, m_font3DFirst, m_font3DCount, m_font3DDeviation, m_font3DExtrusion,
                            m_font3DPlatformFormat);
}

void TOpenGLPanel::Draw2DText(std::string_view text) { DrawBitmapText(m_font2D.get(), text); }

void TOpenGLPanel::Draw2DText(const OpenGLFont2D* font, std::string_view text) { DrawBitmapText(font, text); }

void TOpenGLPanel::Draw3DText(std::string_view text) { DrawOutlineText(m_font3D.get(), text); }

void TOpenGLPanel::Draw3DText(const OpenGLFont3D* font, std::string_view text) { DrawOutlineText(font, text); }

void TOpenGLPanel::Get3DTextSize(std::string_view text, double& x, double& y, double& z)
{
    MeasureOutlineText(m_font3D.get(), text, x, y, z);
}

void TOpenGLPanel::Get3DTextSize(const OpenGLFont3D* font, std::string_view text, double& x, double& y, double& z)
{
    MeasureOutlineText(font, text, x, y, z);
}

std::unique_ptr<BMPTexture> TOpenGLPanel::LoadBMPTexture(const QString& fileName, bool withAlpha)
{
    return LoadTexture(fileName, withAlpha);
}

QImage TOpenGLPanel::GrabOpenGLPanel()
{
    if (m_dc == 0) return {};
    window()->raise();
    Paint();
    return m_platform->GrabWindow(m_dc, size());
}

void TOpenGLPanel::SaveOpenGLPanelToFile(const QString& fileName)
{
    const QImage picture = GrabOpenGLPanel();
    if (picture.isNull())
        throw EOpenGLPanelFileError(
            QStringLiteral("Нечего сохранять в «%1»: панель OpenGL ещё не показана").arg(fileName).toStdString());
    QImageWriter writer(fileName, "bmp");
    if (!writer.write(picture))
        throw EOpenGLPanelFileError(
            QStringLiteral("Не удалось записать файл «%1»: %2").arg(fileName, writer.errorString()).toStdString());
}

void TOpenGLPanel::PrintOpenGLPanel()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        Notify(QStringLiteral("Принтер не установлен: изображение не напечатано."));
        return;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    PrintOpenGLPanel(printer);
}

QRect TOpenGLPanel::PrintOpenGLPanel(QPrinter& printer)
{
    const QImage picture = GrabOpenGLPanel();
    if (picture.isNull()) return {};
    const PrinterMetrics metrics{printer.logicalDpiX(), printer.logicalDpiY(), QSize(printer.width(), printer.height())};
    const QRect target = PrintPlacement(m_printScale, picture.size(), metrics, m_pixelsPerInch);

    // The picture travels as a device-independent bitmap: a 40-byte header and 24-bit
    // rows, bottom row first, each padded to four bytes.
    const int w = picture.width();
    const int h = picture.height();
    const std::size_t stride = (std::size_t(w) * 24 + 31) / 32 * 4;
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> bits;
    if (!m_platform->Allocate(header, 40) || !m_platform->Allocate(bits, stride * std::size_t(h))) {
        Notify(QStringLiteral("Print: Malloc Error"));
        return {};
    }
    const std::int32_t info[3] = {40, w, h};
    std::memcpy(header.data(), info, sizeof info);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    for (int row = 0; row < h; ++row) {
        const uchar* src = rgb.constScanLine(h - 1 - row);
        std::uint8_t* dst = bits.data() + stride * std::size_t(row);
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    const QImage dib = QImage(bits.data(), w, h, qsizetype(stride), QImage::Format_BGR888).mirrored();

    if (printer.docName().isEmpty()) printer.setDocName(QStringLiteral("Изображение панели OpenGL"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        Notify(QStringLiteral("Не удалось начать печать."));
        return {};
    }
    painter.drawImage(target, dib);
    painter.end();
    return target;
}

bool TOpenGLPanel::QueryOpenGLExtention(std::string_view name)
{
    return ExtensionListHas(m_platform->ExtensionString(), name);
}

int TOpenGLPanel::GetDisplayBPP() { return m_platform->ScreenBitsPerPixel(); }

bool TOpenGLPanel::SetDisplayBPP(int bitsPerPixel) { return m_platform->ChangeDisplayBitsPerPixel(bitsPerPixel); }
