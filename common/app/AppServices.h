#pragma once

#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

namespace gyroapp {

// The progress of one long calculation, asked now and then by the run itself.
class RunProgress {
public:
    virtual ~RunProgress() = default;
    // fraction of the run done, 0 to 1; true when the user asked to stop.
    virtual bool Update(double fraction) = 0;
};

// The application's message box, its standard error box, the hourglass cursor, the
// progress of long calculations and the file dialogs. Windows reach them only through here, so tests can answer
// questions, read notices and cancel runs.
class AppServices {
public:
    virtual ~AppServices() = default;

    // A Yes/No question with an empty title; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // A notice with one OK button and an empty title.
    virtual void Notify(const QString& text) = 0;
    // The standard error box that reports an error raised inside a handler.
    virtual void ShowError(const QString& text) = 0;
    // Application-wide hourglass; calls nest.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
    // Progress of a calculation that starts now; shown only once it has run for a while.
    virtual std::unique_ptr<RunProgress> StartProgress(const QString& text) = 0;
    // A file the user chooses to read, the dialog opened in folder; empty when cancelled.
    virtual QString ChooseFileToOpen(const QString& caption, const QString& folder, const QString& filter) = 0;
    // A file the user chooses to write, offered as the name to start with. The dialog does
    // not ask before an existing file is replaced: the caller asks, once it has checked the
    // name it will write. Empty when cancelled.
    virtual QString ChooseFileToSave(const QString& caption, const QString& offered, const QString& filter) = 0;
};

// The services in use: the real boxes unless a test installed its own.
AppServices& Services();
// Installs other services (nullptr restores the real ones); returns the previous ones.
AppServices* SetServices(AppServices* services);

// Message boxes and cursor of Qt.
class QtServices : public AppServices {
public:
    bool AskYesNo(const QString& text) override;
    void Notify(const QString& text) override;
    void ShowError(const QString& text) override;
    void BeginBusy() override;
    void EndBusy() override;
    std::unique_ptr<RunProgress> StartProgress(const QString& text) override;
    QString ChooseFileToOpen(const QString& caption, const QString& folder, const QString& filter) override;
    QString ChooseFileToSave(const QString& caption, const QString& offered, const QString& filter) override;
};

// Shows the hourglass for as long as it lives.
class BusyCursor {
public:
    BusyCursor() { Services().BeginBusy(); }
    ~BusyCursor() { Services().EndBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A window title that shows as empty.
QString BlankTitle();

// Text of an error for the error box.
QString ErrorText(const std::exception& error);

// Runs one event handler: an error it raises ends the handler and goes to the error
// box, and the program goes on. Qt lets no exception cross its event loop, so every
// handler connection and the application object come through here.
void RunHandler(const std::function<void()>& handler);

// Connects a signal to a handler that runs under RunHandler.
template <typename Sender, typename Signal, typename Receiver, typename Handler>
auto ConnectHandler(Sender* sender, Signal signal, Receiver* receiver, Handler handler)
{
    return QObject::connect(sender, signal, receiver, [receiver, handler] {
        RunHandler([receiver, handler] { (receiver->*handler)(); });
    });
}

} // namespace gyroapp
