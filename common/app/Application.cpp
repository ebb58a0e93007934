#include "Application.h"

#include "AppServices.h"
#include "Fonts.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>

namespace gyroapp {

namespace {

bool loopRunning = false;
bool terminationRequested = false;
int terminationCode = 0;

} // namespace

void InstallQtTranslations()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

Application::Application(int& argc, char** argv, const QString& name)
    : QApplication(argc, argv)
{
    // QApplication adopts the user's C locale; the data files are read with the
    // C library and always use a decimal point, so numbers stay in the C convention.
    // The windows take their separators from QLocale instead.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(name);
    InstallQtTranslations();
    InstallFontSubstitutions();
    setFont(WindowsFont(QStringLiteral("MS Sans Serif"), 11));
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    RunHandler([&] { result = QApplication::notify(receiver, event); });
    return result;
}

int Application::Run()
{
    if (terminationRequested)
        return terminationCode;
    loopRunning = true;
    const int code = exec();
    loopRunning = false;
    return code;
}

void Terminate(int exitCode)
{
    terminationRequested = true;
    terminationCode = exitCode;
    if (loopRunning)
        QCoreApplication::exit(exitCode);
}

bool TerminationRequested()
{
    return terminationRequested;
}

int TerminationCode()
{
    return terminationCode;
}

void ClearTermination()
{
    terminationRequested = false;
    terminationCode = 0;
}

} // namespace gyroapp
