#include "TempWorkDir.h"

#include <QDir>
#include <QFile>

TempWorkDir::TempWorkDir(const QByteArray &configIni)
    : previous(QDir::currentPath())
{
    if (!dir.isValid())
        qFatal("TempWorkDir: cannot create a temporary directory");
    writeConfig(configIni);
    QDir::setCurrent(dir.path());
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(previous);
}

void TempWorkDir::writeConfig(const QByteArray &raw) const
{
    QFile f(dir.filePath(QStringLiteral("Config.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(raw) != raw.size())
        qFatal("TempWorkDir: cannot write Config.ini");
}

QByteArray TempWorkDir::readConfig() const
{
    QFile f(dir.filePath(QStringLiteral("Config.ini")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
