#include "RunProgressDialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <memory>

namespace gyroapp {

namespace {

class ProgressDialog : public RunProgress {
public:
    explicit ProgressDialog(const QString& text) : text_(text) { clock_.start(); }

    ~ProgressDialog() override
    {
        if (dialog_)
            QApplication::restoreOverrideCursor();
    }

    bool Update(double fraction) override
    {
        if (!dialog_) {
            if (clock_.elapsed() < ProgressDelayMs)
                return false;
            dialog_ = std::make_unique<QProgressDialog>(text_, QStringLiteral("Отмена"), 0, 1000,
                                                        QApplication::activeWindow());
            dialog_->setWindowTitle(QString());
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setMinimumDuration(0);
            dialog_->setAutoClose(false);
            dialog_->setAutoReset(false);
            // The hourglass stays over the other windows; the cancel button gets an arrow.
            QApplication::setOverrideCursor(Qt::ArrowCursor);
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
