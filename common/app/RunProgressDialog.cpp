#include "RunProgressDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace gyroapp {

namespace {

// The hourglass over every window but one. Qt's application-wide cursor covers every
// window alike, so while this lives it gives way to cursors set on the windows themselves
// (and on their children that have cursors of their own), and comes back after.
class HourglassExcept {
public:
    explicit HourglassExcept(const QWidget* spared)
    {
        while (const QCursor* cursor = QApplication::overrideCursor()) {
            overrides_.push_back(*cursor);
            QApplication::restoreOverrideCursor();
        }
        const QWidgetList widgets = QApplication::allWidgets();
        for (QWidget* widget : widgets) {
            if (widget->window() == spared)
                continue;
            if (!widget->isWindow() && !widget->testAttribute(Qt::WA_SetCursor))
                continue;
            covered_.push_back({widget, widget->testAttribute(Qt::WA_SetCursor), widget->cursor()});
            widget->setCursor(Qt::WaitCursor);
        }
    }

    ~HourglassExcept()
    {
        for (const Covered& c : covered_) {
            if (!c.widget)
                continue;
            if (c.hadOwn)
                c.widget->setCursor(c.own);
            else
                c.widget->unsetCursor();
        }
        for (auto cursor = overrides_.rbegin(); cursor != overrides_.rend(); ++cursor)
            QApplication::setOverrideCursor(*cursor);
    }

    HourglassExcept(const HourglassExcept&) = delete;
    HourglassExcept& operator=(const HourglassExcept&) = delete;

private:
    struct Covered {
        QPointer<QWidget> widget;
        bool hadOwn = false;
        QCursor own;
    };
    std::vector<QCursor> overrides_;
    std::vector<Covered> covered_;
};

class ProgressDialog : public RunProgress {
public:
    explicit ProgressDialog(const QString& text) : text_(text) { clock_.start(); }

    bool Update(double fraction) override
    {
        if (!dialog_) {
            if (clock_.elapsed() < ProgressDelayMs)
                return false;
            dialog_ = std::make_unique<QProgressDialog>(text_, QStringLiteral("Отмена"), 0, 1000,
                                                        QApplication::activeWindow());
            dialog_->setWindowTitle(BlankTitle());
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setMinimumDuration(0);
            dialog_->setAutoClose(false);
            dialog_->setAutoReset(false);
            // The hourglass stays over the other windows; the cancel button gets an arrow.
            hourglass_ = std::make_unique<HourglassExcept>(dialog_.get());
            dialog_->show();
        }
        const int value = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 1000);
        dialog_->setValue(value);
        // A modal progress window handles its events in setValue; make sure "Отмена" is seen
        // even when the value does not move.
        QApplication::processEvents();
        return dialog_->wasCanceled();
    }

private:
    QString text_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
    // Declared after the dialog, so that it goes first and the cursors come back
    // while the dialog still exists.
    std::unique_ptr<HourglassExcept> hourglass_;
};

} // namespace

std::unique_ptr<RunProgress> MakeProgressDialog(const QString& text)
{
    return std::make_unique<ProgressDialog>(text);
}

std::unique_ptr<RunProgress> QtServices::StartProgress(const QString& text)
{
    return MakeProgressDialog(text);
}

RunStatus RunWithProgress(const QString& text, double from, double to,
                          const std::function<RunStatus(const std::function<bool(double time)>& cancel)>& run)
{
    BusyCursor hourglass;
    const std::unique_ptr<RunProgress> progress = Services().StartProgress(text);
    const double span = to - from;
    return run([&](double time) {
        const double fraction = span > 0 && std::isfinite(time) ? (time - from) / span : 0.0;
        return progress->Update(fraction);
    });
}

bool CalculateInWindow(QTimer& animation, double from, double to,
                       const std::function<RunStatus(const std::function<bool(double time)>& cancel)>& run)
{
    const bool animating = animation.isActive();
    animation.stop();
    const RunStatus status = RunWithProgress(QStringLiteral("Идет расчет..."), from, to, run);
    if (animating)
        animation.start();
    if (!status.ok())
        Services().Notify(QString::fromStdString(status.message));
    return status.kind != RunStatus::Kind::Refused;
}

} // namespace gyroapp
