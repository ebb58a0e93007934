#include "GraphWindowParts.h"

#include "AppServices.h"
#include "FormParts.h"
#include "Locale.h"
#include "PlotOutput.h"
#include "TimeField.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace timegraph {

GraphArea MakeGraphArea(QWidget* window, std::function<void(canvas::Canvas&)> paint,
                        std::function<QString(QPoint)> readOut, std::function<void(canvas::Canvas&)> drawShown,
                        std::function<std::optional<std::string>()> csv)
{
    canvas::MakeBevel(window, {0, 0, 693, 489});
    canvas::MakeBevel(window, {8, 32, 677, 369});
    GraphArea area;
    area.box = new canvas::PaintBox(window);
    area.box->setGeometry(12, 36, 669, 361);
    area.box->OnPaint = std::move(paint);
    area.box->SetReadOut(std::move(readOut));
    area.menu = new canvas::PlotMenu(area.box, std::move(drawShown), QStringLiteral("Графики"), QStringLiteral("Графики"));
    area.menu->AddCsvExport(std::move(csv));
    canvas::MakeLabel(window, QStringLiteral("t, сек"), {632, 384}, "Times New Roman", 15, true, Qt::blue)->raise();
    return area;
}

QPushButton* MakeButton(QWidget* parent, const QString& text, QRect geometry)
{
    auto* button = new QPushButton(text, parent);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

void NotifyLater(const std::string& message)
{
    QTimer::singleShot(0, [text = QString::fromStdString(message)] { gyroapp::Services().Notify(text); });
}

void ShowStopTime(QLineEdit* field, float stopTime)
{
    field->setText(QString::fromStdString(StopTimeText(stopTime, gyroapp::LocaleSeparators())));
}

bool FilterEnter(QObject* watched, QEvent* event, QLineEdit* field, const std::function<void()>& onEnter)
{
    if (watched != field || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    gyroapp::RunHandler(onEnter);
    return true;
}

void EnterInField(QLineEdit* field, float stopTime, QWidget* graph)
{
    std::string text = field->text().toStdString();
    const bool repaint = TimeFieldEnter(text, stopTime, gyroapp::LocaleSeparators(), [](const std::string& m) {
        gyroapp::Services().Notify(QString::fromStdString(m));
    });
    field->setText(QString::fromStdString(text));
    if (repaint)
        graph->repaint();
}

double TimeFromField(QLineEdit* field, float stopTime)
{
    std::string text = field->text().toStdString();
    const double T = TimeForRepaint(text, stopTime, gyroapp::LocaleSeparators(), NotifyLater);
    if (QString::fromStdString(text) != field->text())
        field->setText(QString::fromStdString(text));
    return T;
}

} // namespace timegraph
