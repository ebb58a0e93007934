#pragma once

#include "ParameterValue.h"
#include "ParameterWindow.h"
#include "RunStatus.h"

#include <QString>

#include <cstddef>
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
// the first series. Without the data file there is nothing to run: the program ends.
void LoadAtStart(const QString& noDataNotice, const std::function<bool()>& load, const std::function<void()>& write,
                 const std::function<void()>& read, const std::function<RunStatus()>& allocate);

// Parameters into the fields, field k holding parameter k-1.
template <class Parameters>
void WriteFields(ParameterWindow& window, const Parameters& params)
{
    for (int k = 1; k <= static_cast<int>(Parameters::Count); ++k)
        window.SetValue(k, params.at(static_cast<std::size_t>(k - 1)));
}

// The fields back, in field order; a field that is not a number raises the conversion
// error with the fields before it already taken, and one beyond the 32-bit range raises
// parametervalue::OutOfRange naming its parameter.
template <class Parameters>
void ReadFields(const ParameterWindow& window, Parameters& params)
{
    for (int k = 1; k <= static_cast<int>(Parameters::Count); ++k)
        params.at(static_cast<std::size_t>(k - 1))
            = parametervalue::NarrowChecked(window.Value(k), window.Label(k).toStdString());
}

// Fields to parameters and new series for them. A refusal is reported and puts back
// the parameters the old series were made with; true when the new series stand.
template <class Parameters>
bool TakeNewParameters(Parameters& params, const std::function<void()>& read, const std::function<RunStatus()>& allocate)
{
    const Parameters previous = params;
    // A field that is not a number ends the handler here, before the old series are touched;
    // a value no parameter can hold is refused like a parameter set, changing nothing.
    try {
        read();
    } catch (const parametervalue::OutOfRange&) {
        params = previous;
        throw;
    }
    // The new series replace the old ones only once they exist; a refusal leaves the old ones.
    const RunStatus allocation = allocate();
    if (!allocation.ok()) {
        params = previous;
        NotifyIfRefused(allocation);
        return false;
    }
    return true;
}

} // namespace gyroapp

namespace gyroapp {

// Deletes the program's windows in the order given, each pointer left null.
template <class... Windows>
void DeleteInOrder(Windows*&... windows)
{
    ((delete windows, windows = nullptr), ...);
}

} // namespace gyroapp
