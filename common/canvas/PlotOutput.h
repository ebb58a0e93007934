#pragma once

#include "Canvas.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QAction;
class QPrinter;
class QWidget;

// A paint box's picture outside the window: as a PNG, SVG or PDF file and on paper,
// each drawn by the same canvas code that paints the screen.
namespace canvas {

class PaintBox;

using Drawing = std::function<void(Canvas&)>;

// What lies under the drawing: the background the box shows through (the window's) and
// the button face that the texts' backgrounds take.
struct Backdrop {
    QColor background;
    QColor buttonFace;
};

// The colours a paint box shows on the screen.
Backdrop BackdropOf(const QWidget& box);

QImage RenderImage(QSize size, const Drawing& draw, const Backdrop& backdrop);
QByteArray RenderPng(QSize size, const Drawing& draw, const Backdrop& backdrop);
// Drawing units are pixels of a 96 dpi screen, so the files have the picture's size.
QByteArray RenderSvg(QSize size, const Drawing& draw, const Backdrop& backdrop, const QString& title);
QByteArray RenderPdf(QSize size, const Drawing& draw, const Backdrop& backdrop, const QString& title);

// Draws on one page of a printer that is set up, as large as the page allows without
// distorting; white stands in for the screen's greys so that the paper stays white.
// False when the printer cannot be started.
bool PrintDrawing(QPrinter& printer, QSize size, const Drawing& draw, const QString& title);

// Writes the whole file or, failing, leaves any file of that name as it was.
bool WriteFile(const QString& path, const QByteArray& bytes);

// The context menu of a paint box: save as PNG, SVG or PDF, optionally the curves as CSV,
// and print. The dialogs it needs come through hooks so that tests can answer them.
class PlotMenu : public QObject {
    Q_OBJECT
public:
    // The title names the printed document and the SVG and PDF files; fileStem is the
    // name offered for a new file.
    PlotMenu(PaintBox* box, Drawing draw, QString title, QString fileStem);

    // Adds the CSV export; the table comes from csv, none when no curve is drawn.
    void AddCsvExport(std::function<std::optional<std::string>()> csv);

    void SavePng();
    void SaveSvg();
    void SavePdf();
    void ExportCsv();
    void Print();

    QAction* SavePngAction = nullptr;
    QAction* SaveSvgAction = nullptr;
    QAction* SavePdfAction = nullptr;
    QAction* ExportCsvAction = nullptr;
    QAction* PrintAction = nullptr;

    // The file to write, given the dialog's caption, the name offered and the filter;
    // an empty name when the user cancels. The file dialog unless a test replaces it.
    std::function<QString(const QString& caption, const QString& offered, const QString& filter)> ChooseFile;
    // Whether any printer is installed.
    std::function<bool()> PrinterAvailable;
    // Lets the user set the printer up; false when the user cancels. The print dialog.
    std::function<bool(QPrinter& printer)> SetUpPrinter;

private:
    QAction* AddAction(const QString& text, void (PlotMenu::*handler)());
    // The chosen file name with the suffix added when the user left it off; empty on cancel.
    QString Choose(const QString& caption, const QString& suffix, const QString& filter);
    void Save(const QString& path, const QByteArray& bytes);

    PaintBox* box_;
    Drawing draw_;
    QString title_;
    QString fileStem_;
    std::function<std::optional<std::string>()> csv_;
};

// Notices of the menu, for the windows' tests.
QString NoPrinterMessage();
QString NothingToExportMessage();
QString WriteFailedMessage(const QString& path);

} // namespace canvas
