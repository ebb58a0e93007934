#pragma once

#include "AppServices.h"

#include <QStringList>

#include <deque>

namespace gyroapp {

// Services for tests: questions and file dialogs are answered from a script, notices and errors are
// recorded instead of shown, the hourglass is counted. Installs itself while it lives.
class ScriptedServices : public AppServices {
public:
    ScriptedServices();
    ~ScriptedServices() override;
    ScriptedServices(const ScriptedServices&) = delete;
    ScriptedServices& operator=(const ScriptedServices&) = delete;

    // Queues the answers to the next questions; a question with none left gets No.
    void Answer(std::initializer_list<bool> answers) { answers_.insert(answers_.end(), answers); }
    int PendingAnswers() const { return static_cast<int>(answers_.size()); }

    bool AskYesNo(const QString& text) override;
    void Notify(const QString& text) override;
    void ShowError(const QString& text) override;
    void BeginBusy() override;
    void EndBusy() override;
    std::unique_ptr<RunProgress> StartProgress(const QString& text) override;
    QString ChooseFileToOpen(const QString& caption, const QString& folder, const QString& filter) override;
    QString ChooseFileToSave(const QString& caption, const QString& offered, const QString& filter) override;

    // Queues the files the next file dialogs choose; a dialog with none left is cancelled.
    void AnswerFiles(std::initializer_list<QString> files) { files_.insert(files_.end(), files); }

    void Clear();

    // Progress: the texts of the runs started, the updates seen, and the update at which
    // the scripted user presses "Отмена" (counted over all runs; -1 never).
    QStringList ProgressTexts;
    int ProgressUpdates = 0;
    int CancelAtUpdate = -1;
    // Whether the animation timer handed in by the test was running at any update.
    std::function<bool()> ProbeDuringRun;
    bool ProbeSeenTrue = false;

    // The file dialogs opened: caption, and the folder or name each started with.
    QStringList FileDialogs;
    QStringList FileDialogStarts;

    QStringList Questions;
    QStringList Notices;
    QStringList Errors;
    int BusyDepth = 0;
    int BusyPeriods = 0;
    // The hourglass depth seen when each notice or error came.
    std::deque<int> BusyAtMessage;

private:
    std::deque<bool> answers_;
    std::deque<QString> files_;
    AppServices* previous_ = nullptr;
};

} // namespace gyroapp
