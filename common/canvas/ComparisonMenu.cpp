#include "ComparisonMenu.h"

#include "AppServices.h"
#include "FormParts.h"

#include <QAction>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>

namespace comparison {

namespace {

constexpr int LineHeight = 18;

} // namespace

ComparisonMenu::ComparisonMenu(QWidget* window, canvas::PaintBox* box, QSize clientSize, ComparisonHooks hooks)
    : QObject(window), window_(window), box_(box), clientSize_(clientSize), hooks_(std::move(hooks))
{
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    box_->addAction(separator);
    KeepAction = new QAction(QStringLiteral("Запомнить расчет для сравнения"), this);
    RemoveAction = new QAction(QStringLiteral("Убрать сравнение"), this);
    gyroapp::ConnectHandler(KeepAction, &QAction::triggered, this, &ComparisonMenu::Keep);
    gyroapp::ConnectHandler(RemoveAction, &QAction::triggered, this, &ComparisonMenu::Remove);
    box_->addAction(KeepAction);
    box_->addAction(RemoveAction);

    Line = new QLabel(window_);
    Line->setObjectName(QStringLiteral("ComparisonLine"));
    Line->setGeometry(8, clientSize_.height() + 1, clientSize_.width() - 16, LineHeight - 2);
    Line->hide();
    window_->installEventFilter(this);
    Refresh();
}

void ComparisonMenu::Keep()
{
    const std::string refused = hooks_.keep();
    if (!refused.empty())
        gyroapp::Services().Notify(QString::fromStdString(refused));
    Refresh();
    box_->repaint();
}

void ComparisonMenu::Remove()
{
    hooks_.remove();
    Refresh();
    box_->repaint();
}

void ComparisonMenu::Refresh()
{
    const bool kept = hooks_.kept();
    RemoveAction->setEnabled(kept);
    if (kept) {
        const QString text = QString::fromStdString(hooks_.line());
        // A long list of changes is cut to the window; the whole of it is in the tooltip.
        Line->setText(Line->fontMetrics().elidedText(text, Qt::ElideRight, Line->width()));
        Line->setToolTip(text);
    }
    if (kept == lineShown_)
        return;
    // The window grows by the line and gives it back, whatever size the user gave it.
    lineShown_ = kept;
    Line->setVisible(kept);
    QSize size = window_->size();
    size.rheight() += kept ? LineHeight : -LineHeight;
    if (window_->minimumSize() == window_->maximumSize())
        window_->setFixedSize(size);
    else
        window_->resize(size);
}

bool ComparisonMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Show)
        gyroapp::RunHandler([this] { Refresh(); });
    return QObject::eventFilter(watched, event);
}

} // namespace comparison
