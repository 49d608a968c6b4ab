#include "Updater.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool Updater::startDetached(const QString &directory)
{
    const QFileInfo program(QDir(directory).absoluteFilePath(QLatin1String(fileName)));
    if (!program.isFile() || !program.isExecutable())
        return false;
    return QProcess::startDetached(program.absoluteFilePath(), {QString()}, program.absolutePath());
}
