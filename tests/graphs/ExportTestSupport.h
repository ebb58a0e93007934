#pragma once

#include "PlotOutput.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QToolTip>
#include <QWidget>
#include <QXmlStreamReader>

#include <optional>

// Helpers of the window tests for what the plot menus write.
namespace exporttest {

// Captions of a menu's actions, separators left out.
inline QStringList MenuTexts(const QWidget& box)
{
    QStringList texts;
    for (const QAction* action : box.actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

// The file dialog answers with this name.
inline void AnswerFile(canvas::PlotMenu& menu, const QString& path)
{
    menu.ChooseFile = [path](const QString&, const QString&, const QString&) { return path; };
}

// A printer that writes a PDF file; counts how often the user was asked to set it up.
inline void PrintInto(canvas::PlotMenu& menu, const QString& path, int& setUps, bool accept = true)
{
    menu.PrinterAvailable = [] { return true; };
    menu.SetUpPrinter = [path, &setUps, accept](QPrinter& printer) {
        ++setUps;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        return accept;
    };
}

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The SVG's size attributes and the texts of its text elements, when it is well-formed XML;
// the points of its polylines in the given stroke colour.
struct Svg {
    bool wellFormed = false;
    QString viewBox;
    QStringList texts;
    QList<QPointF> strokePoints;
};

inline Svg ReadSvg(const QString& path, const QString& stroke = QString())
{
    Svg svg;
    QXmlStreamReader xml(ReadAll(path));
    QStringList strokes; // of the enclosing groups
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g"))
            strokes.removeLast();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("g"))
            strokes << xml.attributes().value(QLatin1String("stroke")).toString();
        if (xml.name() == QLatin1String("polyline") && !strokes.isEmpty() && strokes.last() == stroke) {
            const QStringList points = xml.attributes().value(QLatin1String("points")).toString().split(
                QLatin1Char(' '), Qt::SkipEmptyParts);
            for (const QString& point : points)
                svg.strokePoints << QPointF(point.section(QLatin1Char(','), 0, 0).toDouble(),
                                            point.section(QLatin1Char(','), 1, 1).toDouble());
        }
        if (xml.name() == QLatin1String("svg"))
            svg.viewBox = xml.attributes().value(QLatin1String("viewBox")).toString();
        else if (xml.name() == QLatin1String("text"))
            svg.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    svg.wellFormed = !xml.hasError();
    return svg;
}

inline bool LooksLikePdf(const QString& path)
{
    const QByteArray bytes = ReadAll(path);
    return bytes.startsWith("%PDF-") && bytes.contains("%%EOF");
}

// The PDF's text through pdftotext, where that tool is installed.
inline std::optional<QString> PdfText(const QString& path)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The tooltip after the mouse moved to a point of the widget.
inline QString TooltipAt(QWidget& widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
    return QToolTip::text();
}

inline QImage Rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

} // namespace exporttest
