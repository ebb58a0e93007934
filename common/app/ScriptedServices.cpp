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

namespace {

class ScriptedProgress : public RunProgress {
public:
    explicit ScriptedProgress(ScriptedServices& owner) : owner_(owner) {}
    bool Update(double) override
    {
        if (owner_.ProbeDuringRun && owner_.ProbeDuringRun())
            owner_.ProbeSeenTrue = true;
        return ++owner_.ProgressUpdates == owner_.CancelAtUpdate;
    }

private:
    ScriptedServices& owner_;
};

} // namespace

std::unique_ptr<RunProgress> ScriptedServices::StartProgress(const QString& text)
{
    ProgressTexts << text;
    return std::make_unique<ScriptedProgress>(*this);
}

namespace {

QString NextFile(std::deque<QString>& files)
{
    if (files.empty())
        return {};
    QString file = files.front();
    files.pop_front();
    return file;
}

} // namespace

QString ScriptedServices::ChooseFileToOpen(const QString& caption, const QString& folder, const QString&)
{
    FileDialogs << caption;
    FileDialogStarts << folder;
    return NextFile(files_);
}

QString ScriptedServices::ChooseFileToSave(const QString& caption, const QString& offered, const QString&)
{
    FileDialogs << caption;
    FileDialogStarts << offered;
    return NextFile(files_);
}

void ScriptedServices::Clear()
{
    Questions.clear();
    Notices.clear();
    Errors.clear();
    BusyAtMessage.clear();
    BusyPeriods = 0;
    ProgressTexts.clear();
    ProgressUpdates = 0;
    CancelAtUpdate = -1;
    ProbeSeenTrue = false;
    answers_.clear();
    files_.clear();
    FileDialogs.clear();
    FileDialogStarts.clear();
}

} // namespace gyroapp
