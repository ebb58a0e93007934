#include "MainWindowParts.h"

#include "AppServices.h"
#include "Application.h"
#include "ParameterValue.h"

#include <QShowEvent>

#include <cstddef>
#include <vector>

namespace gyroapp {

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

void RunAtFirstShow(bool& shown, const QShowEvent* event, const std::function<void()>& onFirstShow)
{
    if (shown || event->spontaneous())
        return;
    shown = true;
    RunHandler(onFirstShow);
}

void NotifyIfRefused(const RunStatus& status)
{
    if (!status.ok())
        Services().Notify(FromUtf8(status.message));
}

void LoadAtStart(gyromodel::SimulationModel& model, const std::string& dataPath, ParameterWindow& window)
{
    if (!model.Load(dataPath)) {
        Services().Notify(FromUtf8(std::string(model.MissingDataMessage())));
        Terminate(1);
        return;
    }
    WriteFields(window, model);
    ReadFields(window, model);
    NotifyIfRefused(model.Allocate());
}

void WriteFields(ParameterWindow& window, const gyromodel::SimulationModel& model)
{
    for (std::size_t k = 0; k < model.ParameterCount(); ++k)
        window.SetValue(static_cast<int>(k + 1), model.Parameter(k));
}

void ReadFields(const ParameterWindow& window, gyromodel::SimulationModel& model)
{
    for (std::size_t k = 0; k < model.ParameterCount(); ++k) {
        const int field = static_cast<int>(k + 1);
        model.SetParameter(k, parametervalue::NarrowChecked(window.Value(field), window.Label(field).toStdString()));
    }
}

bool TakeNewParameters(gyromodel::SimulationModel& model, const ParameterWindow& window)
{
    std::vector<double> previous(model.ParameterCount());
    for (std::size_t k = 0; k < previous.size(); ++k)
        previous[k] = model.Parameter(k);
    auto putBack = [&] {
        for (std::size_t k = 0; k < previous.size(); ++k)
            model.SetParameter(k, previous[k]);
    };
    // A field that is not a number ends the handler here, before the old series are touched;
    // a value no parameter can hold is refused like a parameter set, changing nothing.
    try {
        ReadFields(window, model);
    } catch (const parametervalue::OutOfRange&) {
        putBack();
        throw;
    }
    // The new series replace the old ones only once they exist; a refusal leaves the old ones.
    const RunStatus allocation = model.Allocate();
    if (!allocation.ok()) {
        putBack();
        NotifyIfRefused(allocation);
        return false;
    }
    return true;
}

} // namespace gyroapp
