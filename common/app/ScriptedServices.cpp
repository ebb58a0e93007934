#include "ScriptedServices.h"

namespace gyroapp {

ScriptedServices::ScriptedServices()
    : previous_(SetServices(this))
{
}

ScriptedServices::~ScriptedServices()
{
    SetServices(previous_);
}

bool ScriptedServices::AskYesNo(const QString& text)
{
    Questions << text;
    if (answers_.empty())
        return false;
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedServices::Notify(const QString& text)
{
    Notices << text;
    BusyAtMessage.push_back(BusyDepth);
}

void ScriptedServices::ShowError(const QString& text)
{
    Errors << text;
    BusyAtMessage.push_back(BusyDepth);
}

void ScriptedServices::BeginBusy()
{
    if (BusyDepth++ == 0)
        ++BusyPeriods;
}

void ScriptedServices::EndBusy()
{
    --BusyDepth;
}

void ScriptedServices::Clear()
{
    Questions.clear();
    Notices.clear();
    Errors.clear();
    BusyAtMessage.clear();
    BusyPeriods = 0;
    answers_.clear();
}

} // namespace gyroapp
