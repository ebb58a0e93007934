#include "ParameterSetMenu.h"

#include "AppServices.h"
#include "ParameterWindow.h"

#include "DataFileReader.h"
#include "DataFileWriter.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace gyroapp {

namespace {

const QString& Filter()
{
    static const QString filter = QStringLiteral("Наборы параметров (*.dat);;Все файлы (*)");
    return filter;
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Whether two names lead to one file, through links and ".." alike.
bool SameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath());
}

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString OwnDataFileMessage(const QString& path)
{
    return QStringLiteral("Файл «%1» — исходный файл данных программы, он не перезаписывается. "
                          "Сохраните набор параметров в другой файл.")
        .arg(Shown(path));
}

ParameterSetMenu::ParameterSetMenu(ParameterWindow& window, QString startupFile)
    : QObject(&window), window_(window), startupFile_(std::move(startupFile))
{
    OpenAction = new QAction(QStringLiteral("Открыть набор параметров…"), this);
    OpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveAction = new QAction(QStringLiteral("Сохранить набор параметров…"), this);
    SaveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ConnectHandler(OpenAction, &QAction::triggered, this, &ParameterSetMenu::OpenSet);
    ConnectHandler(SaveAction, &QAction::triggered, this, &ParameterSetMenu::SaveSet);
    // Anywhere off the fields (they keep their own editing menu); the keys work in the whole window.
    window_.setContextMenuPolicy(Qt::ActionsContextMenu);
    window_.addAction(OpenAction);
    window_.addAction(SaveAction);
}

QString ParameterSetMenu::StartFolder() const
{
    const QString programFolder = QFileInfo(startupFile_).absolutePath();
    if (!lastFolder_.isEmpty() && !SameFile(lastFolder_, programFolder))
        return lastFolder_;
    return QDir::homePath();
}

void ParameterSetMenu::OpenSet()
{
    const QString path =
        Services().ChooseFileToOpen(QStringLiteral("Открыть набор параметров"), StartFolder(), Filter());
    if (!path.isEmpty())
        LoadSet(path);
}

std::vector<float> ParameterSetMenu::FieldValues() const
{
    std::vector<float> values;
    for (int k = 1; k <= window_.RowCount(); ++k) {
        const auto value = static_cast<float>(window_.Value(k));
        // A value beyond the float range would be written as a word the reader refuses.
        if (!std::isfinite(value))
            throw std::runtime_error(
                QStringLiteral("Значение «%1» параметра «%2» вне диапазона чисел одинарной точности: "
                               "набор параметров не сохранен.")
                    .arg(window_.Edit(k)->text(),
                         window_.NameLabels.at(static_cast<std::size_t>(k - 1))->text().trimmed())
                    .toStdString());
        values.push_back(value);
    }
    return values;
}

void ParameterSetMenu::SaveSet()
{
    // The fields are checked first: nobody picks a file for a set that cannot be written.
    FieldValues();
    const QString name = lastName_.isEmpty() ? QStringLiteral("набор параметров.dat") : lastName_;
    QString path = Services().ChooseFileToSave(QStringLiteral("Сохранить набор параметров"),
                                               QDir(StartFolder()).filePath(name), Filter());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".dat");
    // The program's own file is refused before anything is asked about replacing it; the
    // question comes here, not from the dialog, as the name may have gained its suffix.
    if (RefusedAsOwnFile(path))
        return;
    if (QFileInfo::exists(path)
        && !Services().AskYesNo(QStringLiteral("Файл «%1» уже существует. Заменить его?").arg(Shown(path))))
        return;
    SaveSetTo(path);
}

bool ParameterSetMenu::LoadSet(const QString& path)
{
    const auto count = static_cast<std::size_t>(window_.RowCount());
    // One slot more than the set has: a longer file is most likely the other program's set.
    std::vector<float> values(count + 1, 0.0f);
    const datafile::LoadReport report = datafile::ReadParameterFile(LocalPath(path), values);
    if (report.outcome == datafile::LoadReport::Outcome::NotRegularFile) {
        Services().Notify(
            QStringLiteral("«%1» — не обычный файл, набор параметров из него не читается.").arg(Shown(path)));
        return false;
    }
    if (!report) {
        Services().Notify(QStringLiteral("Не удалось открыть файл «%1».").arg(Shown(path)));
        return false;
    }
    const std::size_t read = report.valuesRead;
    if (read < count) {
        Services().Notify(QStringLiteral("Файл «%1» не является набором параметров этой программы: "
                                         "прочитано чисел — %2 из %3. Поля не изменены.")
                              .arg(Shown(path))
                              .arg(read)
                              .arg(count));
        return false;
    }
    if (read > count
        && !Services().AskYesNo(QStringLiteral("В файле «%1» больше %2 чисел: возможно, это набор параметров "
                                               "другой программы. Взять первые %2?")
                                    .arg(Shown(path))
                                    .arg(count)))
        return false;
    for (std::size_t k = 0; k < count; ++k)
        window_.SetExactValue(static_cast<int>(k) + 1, values[k]);
    lastFolder_ = QFileInfo(path).absolutePath();
    return true;
}

bool ParameterSetMenu::RefusedAsOwnFile(const QString& path) const
{
    if (!SameFile(path, startupFile_))
        return false;
    Services().Notify(OwnDataFileMessage(path));
    return true;
}

bool ParameterSetMenu::SaveSetTo(const QString& path)
{
    if (RefusedAsOwnFile(path))
        return false;
    const std::string error =
        datafile::WriteFileAtomically(LocalPath(path), datafile::FormatCommaSeparated(FieldValues()));
    if (!error.empty()) {
        Services().Notify(QStringLiteral("Не удалось сохранить набор параметров в файл «%1»: %2")
                              .arg(Shown(path), QString::fromLocal8Bit(error.c_str())));
        return false;
    }
    lastFolder_ = QFileInfo(path).absolutePath();
    lastName_ = QFileInfo(path).fileName();
    return true;
}

} // namespace gyroapp
