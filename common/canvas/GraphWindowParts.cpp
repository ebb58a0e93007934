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
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTimer>

#include <algorithm>

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

void PlaceBeside(QWidget* window, const QWidget* anchor)
{
    const QRect a = anchor->frameGeometry();
    // The window's frame is not known before it is first shown: take the anchor's margins.
    const QSize frame = window->isVisible() ? window->frameGeometry().size()
                                            : window->size() + (a.size() - anchor->size());
    int x = a.right() + 1, y = a.top();
    if (const QScreen* screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        if (x + frame.width() > room.right() + 1)
            x = a.left() - frame.width();
        x = std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - frame.width()));
        y = std::clamp(y, room.top(), std::max(room.top(), room.bottom() + 1 - frame.height()));
    }
    window->move(x, y);
}

void NotifyLater(const std::string& message)
{
    QTimer::singleShot(0, [text = QString::fromStdString(message)] { gyroapp::Services().Notify(text); });
}

void ShowStopTime(QLineEdit* field, float stopTime)
{
    field->setText(QString::fromStdString(StopTimeText(stopTime, gyroapp::LocaleSeparators())));
}

void ShowStopTimeInMask(QLineEdit* field, float stopTime, int digits)
{
    const QString text = QString::fromStdString(StopTimeText(stopTime, gyroapp::LocaleSeparators()));
    const QRegularExpression mask(
        QString::fromStdString(TypedTimePattern(stopTime, gyroapp::LocaleSeparators(), digits)));
    if (auto* validator = qobject_cast<QRegularExpressionValidator*>(const_cast<QValidator*>(field->validator())))
        validator->setRegularExpression(mask);
    else
        field->setValidator(new QRegularExpressionValidator(mask, field));
    field->setMaxLength(std::max(digits + 1, static_cast<int>(text.size())));
    field->setText(text);
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

bool EnterInField(QLineEdit* field, float stopTime)
{
    std::string text = field->text().toStdString();
    const bool repaint = TimeFieldEnter(text, stopTime, gyroapp::LocaleSeparators(), [](const std::string& m) {
        gyroapp::Services().Notify(QString::fromStdString(m));
    });
    field->setText(QString::fromStdString(text));
    return repaint;
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
