#include "MainWindowParts.h"

#include "AppServices.h"
#include "Application.h"

#include <QShowEvent>

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

void LoadAtStart(const QString& noDataNotice, const std::function<bool()>& load, const std::function<void()>& write,
                 const std::function<void()>& read, const std::function<RunStatus()>& allocate)
{
    if (!load()) {
        Services().Notify(noDataNotice);
        Terminate(1);
        return;
    }
    write();
    read();
    NotifyIfRefused(allocate());
}

} // namespace gyroapp
