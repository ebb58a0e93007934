#pragma once

#include "ParameterWindow.h"
#include "RunStatus.h"
#include "SimulationModel.h"

#include <QString>

#include <functional>
#include <string>

class QShowEvent;

// What the main windows of both programs do alike around their parameters: the
// first showing, the start-up load, the fields both ways and a recalculation that a
// refused parameter set does not disturb.
namespace gyroapp {

// The model's texts are UTF-8.
QString FromUtf8(const std::string& text);

// Runs onFirstShow as a handler at the window's first showing by the program; a
// showing by the window system (restoring it, say) does not count.
void RunAtFirstShow(bool& shown, const QShowEvent* event, const std::function<void()>& onFirstShow);

// Reports a run status that is not ok.
void NotifyIfRefused(const RunStatus& status);

// The start-up: the data file into the parameters, they into the fields and back, and
// the first series. Without the data file there is nothing to run: the program ends after
// the model's notice.
void LoadAtStart(gyromodel::SimulationModel& model, const std::string& dataPath, ParameterWindow& window);

// Parameters into the fields, field k holding parameter k-1.
void WriteFields(ParameterWindow& window, const gyromodel::SimulationModel& model);

// The fields back, in field order; a field that is not a number raises the conversion
// error with the fields before it already taken, and one beyond the 32-bit range raises
// parametervalue::OutOfRange naming its parameter.
void ReadFields(const ParameterWindow& window, gyromodel::SimulationModel& model);

// Fields to parameters and new series for them. A refusal is reported and puts back
// the parameters the old series were made with; true when the new series stand.
bool TakeNewParameters(gyromodel::SimulationModel& model, const ParameterWindow& window);

} // namespace gyroapp

namespace gyroapp {

// Deletes the program's windows in the order given, each pointer left null.
template <class... Windows>
void DeleteInOrder(Windows*&... windows)
{
    ((delete windows, windows = nullptr), ...);
}

} // namespace gyroapp
