#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QEvent;
class QLineEdit;
class QObject;
class QPushButton;
class QWidget;

namespace canvas {
class Canvas;
class PaintBox;
class PlotMenu;
} // namespace canvas

// What the graph windows of both programs build and do alike: the graph area, the
// buttons, and the Qt side of the end-time field (its Enter, the time a repaint takes).
namespace timegraph {

// The graph area of both graph windows: its bevels, the paint box with its read-out,
// the right-button menu that saves, exports and prints the graph on the screen, and the
// time axis label.
struct GraphArea {
    canvas::PaintBox* box = nullptr;
    canvas::PlotMenu* menu = nullptr;
};
GraphArea MakeGraphArea(QWidget* window, std::function<void(canvas::Canvas&)> paint,
                        std::function<QString(QPoint)> readOut, std::function<void(canvas::Canvas&)> drawShown,
                        std::function<std::optional<std::string>()> csv);

// A push button that Enter does not press: Enter belongs to the time field.
QPushButton* MakeButton(QWidget* parent, const QString& text, QRect geometry);

// Puts a window beside another, top edges level: to its right where the screen has room,
// else to its left, and on the screen in any case.
void PlaceBeside(QWidget* window, const QWidget* anchor);

// A notice raised while painting waits for the paint to end: no box may open inside it.
void NotifyLater(const std::string& message);

// The field shows the run's end time.
void ShowStopTime(QLineEdit* field, float stopTime);

// The same for a field whose typing admits at most `digits` digits and the decimal
// separator (see TypedTimePattern): the end time is shown
// whole all the same, fraction and all (cut to the digits it would draw less than the run),
// and stays acceptable as it stands.
void ShowStopTimeInMask(QLineEdit* field, float stopTime, int digits);

// Return or Enter pressed in the field runs onEnter as a handler; true when the event
// is taken, for an event filter to return.
bool FilterEnter(QObject* watched, QEvent* event, QLineEdit* field, const std::function<void()>& onEnter);

// Enter in the field: a wrong time is reported and the field goes back to the end time;
// true for a good one, which the graph is to be repainted for.
bool EnterInField(QLineEdit* field, float stopTime);

// The end time a repaint draws with, read from the field (see TimeForRepaint); a
// notice waits for the paint to end.
double TimeFromField(QLineEdit* field, float stopTime);

} // namespace timegraph
