#include "PlotOutput.h"

#include "AppServices.h"
#include "FormParts.h"
#include "QPainterCanvas.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSvgGenerator>

#include <algorithm>
#include <utility>

namespace canvas {

namespace {

constexpr int ScreenDpi = 96;
// What vector files resolve: lines are thinned to a tenth of a screen pixel (960 dpi), far
// finer than the screen, so that a plot in a report stays smooth when zoomed.
constexpr double VectorDpi = 960;
constexpr double VectorFineness = VectorDpi / ScreenDpi;

// fineness: device steps per pixel of the drawing; 1 draws the screen's pixels.
void DrawOn(QPainter& painter, QSize size, const Drawing& draw, const Backdrop& backdrop, double fineness = 1)
{
    painter.fillRect(QRect(QPoint(0, 0), size), backdrop.background);
    QPainterCanvas c(painter, backdrop.buttonFace, fineness);
    draw(c);
}

} // namespace

Backdrop BackdropOf(const QWidget& box)
{
    // A paint box fills nothing itself: the window's background shows through it.
    return {box.palette().color(box.backgroundRole()), box.palette().color(QPalette::Button)};
}

QImage RenderImage(QSize size, const Drawing& draw, const Backdrop& backdrop)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    DrawOn(painter, size, draw, backdrop);
    return image;
}

QByteArray RenderPng(QSize size, const Drawing& draw, const Backdrop& backdrop)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    RenderImage(size, draw, backdrop).save(&buffer, "PNG");
    return bytes;
}

QByteArray RenderSvg(QSize size, const Drawing& draw, const Backdrop& backdrop, const QString& title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setResolution(ScreenDpi);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    QPainter painter(&generator);
    DrawOn(painter, size, draw, backdrop, VectorFineness);
    painter.end();
    return bytes;
}

QByteArray RenderPdf(QSize size, const Drawing& draw, const Backdrop& backdrop, const QString& title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setResolution(ScreenDpi);
        // One page the size of the picture, no margins: one drawing unit is one screen pixel.
        const QSizeF inches(static_cast<double>(size.width()) / ScreenDpi,
                            static_cast<double>(size.height()) / ScreenDpi);
        writer.setPageLayout(QPageLayout(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::ExactMatch),
                                         QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        DrawOn(painter, size, draw, backdrop, VectorFineness);
    }
    return bytes;
}

bool PrintDrawing(QPrinter& printer, QSize size, const Drawing& draw, const QString& title)
{
    if (size.isEmpty())
        return false;
    printer.setDocName(title);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    const double scale = std::min(static_cast<double>(page.width()) / size.width(),
                                  static_cast<double>(page.height()) / size.height());
    painter.scale(scale, scale);
    // Paper resolves as finely as the printer's dots.
    DrawOn(painter, size, draw, {Qt::white, Qt::white}, std::max(scale, 1.0));
    return painter.end();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString NoPrinterMessage() { return QStringLiteral("Принтер не установлен: печатать не на чем."); }

QString NothingToExportMessage()
{
    return QStringLiteral("Не выбран ни один график: экспортировать нечего.");
}

QString WriteFailedMessage(const QString& path)
{
    return QStringLiteral("Не удалось записать файл %1").arg(QDir::toNativeSeparators(path));
}

PlotMenu::PlotMenu(PaintBox* box, Drawing draw, QString title, QString fileStem)
    : QObject(box), box_(box), draw_(std::move(draw)), title_(std::move(title)), fileStem_(std::move(fileStem))
{
    ChooseFile = [box](const QString& caption, const QString& offered, const QString& filter) {
        return QFileDialog::getSaveFileName(box->window(), caption, offered, filter);
    };
    PrinterAvailable = [] { return !QPrinterInfo::availablePrinterNames().isEmpty(); };
    SetUpPrinter = [box](QPrinter& printer) {
        QPrintDialog dialog(&printer, box->window());
        return dialog.exec() == QDialog::Accepted;
    };

    box_->setContextMenuPolicy(Qt::ActionsContextMenu);
    SavePngAction = AddAction(QStringLiteral("Сохранить как PNG..."), &PlotMenu::SavePng);
    SaveSvgAction = AddAction(QStringLiteral("Сохранить как SVG..."), &PlotMenu::SaveSvg);
    SavePdfAction = AddAction(QStringLiteral("Сохранить как PDF..."), &PlotMenu::SavePdf);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    box_->addAction(separator);
    PrintAction = AddAction(QStringLiteral("Печать..."), &PlotMenu::Print);
}

QAction* PlotMenu::AddAction(const QString& text, void (PlotMenu::*handler)())
{
    auto* action = new QAction(text, this);
    gyroapp::ConnectHandler(action, &QAction::triggered, this, handler);
    box_->addAction(action);
    return action;
}

void PlotMenu::AddCsvExport(std::function<std::optional<std::string>()> csv)
{
    csv_ = std::move(csv);
    if (ExportCsvAction)
        return;
    ExportCsvAction = AddAction(QStringLiteral("Экспорт графиков в CSV..."), &PlotMenu::ExportCsv);
    // Beside the pictures, before printing.
    box_->removeAction(ExportCsvAction);
    box_->insertAction(PrintAction, ExportCsvAction);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    box_->insertAction(PrintAction, separator);
}

QString PlotMenu::Choose(const QString& caption, const QString& suffix, const QString& filter)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString offered = QDir(folder).filePath(fileStem_ + QLatin1Char('.') + suffix);
    QString path = ChooseFile ? ChooseFile(caption, offered, filter) : QString();
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + suffix;
    return path;
}

void PlotMenu::Save(const QString& path, const QByteArray& bytes)
{
    if (!WriteFile(path, bytes))
        gyroapp::Services().Notify(WriteFailedMessage(path));
}

void PlotMenu::SavePng()
{
    const QString path =
        Choose(QStringLiteral("Сохранить рисунок PNG"), QStringLiteral("png"), QStringLiteral("Рисунок PNG (*.png)"));
    if (!path.isEmpty())
        Save(path, RenderPng(box_->size(), draw_, BackdropOf(*box_)));
}

void PlotMenu::SaveSvg()
{
    const QString path =
        Choose(QStringLiteral("Сохранить рисунок SVG"), QStringLiteral("svg"), QStringLiteral("Рисунок SVG (*.svg)"));
    if (!path.isEmpty())
        Save(path, RenderSvg(box_->size(), draw_, BackdropOf(*box_), title_));
}

void PlotMenu::SavePdf()
{
    const QString path =
        Choose(QStringLiteral("Сохранить документ PDF"), QStringLiteral("pdf"), QStringLiteral("Документ PDF (*.pdf)"));
    if (!path.isEmpty())
        Save(path, RenderPdf(box_->size(), draw_, BackdropOf(*box_), title_));
}

void PlotMenu::ExportCsv()
{
    if (!csv_)
        return;
    // Asked before the dialog: the curves cannot change while it is open.
    const std::optional<std::string> table = csv_();
    if (!table) {
        gyroapp::Services().Notify(NothingToExportMessage());
        return;
    }
    const QString path = Choose(QStringLiteral("Экспорт графиков в CSV"), QStringLiteral("csv"),
                                QStringLiteral("Таблица CSV (*.csv)"));
    if (!path.isEmpty())
        Save(path, QByteArray::fromStdString(*table));
}

void PlotMenu::Print()
{
    if (!PrinterAvailable || !PrinterAvailable()) {
        gyroapp::Services().Notify(NoPrinterMessage());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!SetUpPrinter || !SetUpPrinter(printer))
        return;
    if (!PrintDrawing(printer, box_->size(), draw_, title_))
        gyroapp::Services().Notify(QStringLiteral("Не удалось начать печать на принтере %1").arg(printer.printerName()));
}

} // namespace canvas
