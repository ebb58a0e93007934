#pragma once

#include <QApplication>

namespace gyroapp {

// The application object of both programs. Sets the number conventions, Qt's own texts
// in the user's language and the font faces the windows were designed with, and reports
// any error that escapes an event handler in the standard error box instead of ending
// the program.
class Application : public QApplication {
public:
    Application(int& argc, char** argv, const QString& name);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs the event loop unless the program was told to end before it started.
    int Run();
};

// Qt's own texts (the standard buttons of message boxes, the line edits' menu) in the
// user's language, from the translations installed with Qt.
void InstallQtTranslations();

// Ends the program: the running event loop returns exitCode; a program whose loop
// has not started yet does not start it (Application::Run).
void Terminate(int exitCode = 1);
bool TerminationRequested();
int TerminationCode();
// Forgets a request, for tests that provoke one and go on.
void ClearTermination();

} // namespace gyroapp
