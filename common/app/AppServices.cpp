#include "AppServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace gyroapp {

namespace {

QtServices& RealServices()
{
    static QtServices services;
    return services;
}

AppServices* current = nullptr;

} // namespace

QString BlankTitle()
{
    // The window system puts the program's name on a window with no title at all.
    return QStringLiteral(" ");
}

AppServices& Services()
{
    return current ? *current : RealServices();
}

AppServices* SetServices(AppServices* services)
{
    AppServices* previous = current;
    current = services;
    return previous;
}

bool QtServices::AskYesNo(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, BlankTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtServices::Notify(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, BlankTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void QtServices::ShowError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void QtServices::BeginBusy()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtServices::EndBusy()
{
    QApplication::restoreOverrideCursor();
}

QString QtServices::ChooseFileToOpen(const QString& caption, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
}

QString QtServices::ChooseFileToSave(const QString& caption, const QString& offered, const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, offered, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString ErrorText(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

void RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        Services().ShowError(ErrorText(error));
    } catch (...) {
        Services().ShowError(QStringLiteral("Unknown error"));
    }
}

} // namespace gyroapp
