#pragma once

#include "AppServices.h"
#include "RunStatus.h"

#include <QString>

#include <functional>

class QTimer;

namespace gyroapp {

// How long a calculation runs before its progress window comes up: short runs look as
// they always did, under the hourglass alone.
constexpr int ProgressDelayMs = 500;

// Progress of a calculation in a modal window with "Отмена", shown once the run has taken
// ProgressDelayMs. Until then an update costs a clock reading and nothing else.
std::unique_ptr<RunProgress> MakeProgressDialog(const QString& text);

// Runs a calculation from model time `from` to `to` under the hourglass, reporting its
// progress through the services; returns when it has ended, however it ended.
RunStatus RunWithProgress(const QString& text, double from, double to,
                          const std::function<RunStatus(const std::function<bool(double time)>& cancel)>& run);

// A main window's calculation: its progress as above, the animation timer held while it runs,
// and any outcome but a finished run told to the user. Returns false only when the run was
// refused: a diverged or cancelled run keeps the samples it recorded, and they can be shown.
bool CalculateInWindow(QTimer& animation, double from, double to,
                       const std::function<RunStatus(const std::function<bool(double time)>& cancel)>& run);

} // namespace gyroapp
