#include "ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace gyroapp {

QString ProgramDirectory()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

std::string ProgramFile(const QString& name)
{
    return QFile::encodeName(QDir::toNativeSeparators(ProgramDirectory() + name)).toStdString();
}

} // namespace gyroapp
