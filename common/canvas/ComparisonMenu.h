#pragma once

#include "Locale.h"
#include "RunComparison.h"

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <string>

class QAction;
class QLabel;
class QWidget;

namespace canvas {
class PaintBox;
}

namespace comparison {

// What the comparison items do in one program's window.
struct ComparisonHooks {
    // Keeps the current run; an empty string, or why it was refused.
    std::function<std::string()> keep;
    std::function<void()> remove;
    // Whether a run is kept, and the line that names what differs from it.
    std::function<bool()> kept;
    std::function<std::string()> line;
};

// The hooks of a program whose KeepRun and ComparisonLine take its model and parameters.
template <class Model>
ComparisonHooks HooksFor(RunComparison& runs, const Model& model)
{
    return {
        [&runs, &model] { return KeepRun(runs, model); },
        [&runs] { runs.Remove(); },
        [&runs] { return runs.Kept() != nullptr; },
        [&runs, &model] {
            return runs.Kept() ? ComparisonLine(*runs.Kept(), model.Params, gyroapp::LocaleSeparators()) : std::string();
        },
    };
}

// The comparison items of a graph's or portrait's right-button menu, "Запомнить расчет для
// сравнения" and "Убрать сравнение", and the line under the window's controls that names
// what differs from the kept run. The line is there only while a run is kept: the window
// grows by its height then and gives it back when the run is removed.
class ComparisonMenu : public QObject {
    Q_OBJECT
public:
    // clientSize is the window's size as laid out, without the line.
    ComparisonMenu(QWidget* window, canvas::PaintBox* box, QSize clientSize, ComparisonHooks hooks);

    void Keep();
    void Remove();
    // The line, the window's height and the items' state as the comparison stands now;
    // done again at every showing, since the other window may have kept or removed a run.
    void Refresh();

    QAction* KeepAction = nullptr;
    QAction* RemoveAction = nullptr;
    QLabel* Line = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    canvas::PaintBox* box_;
    QSize clientSize_;
    ComparisonHooks hooks_;
    bool lineShown_ = false;
};

} // namespace comparison
