#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh working directory for one test, with its own Config.ini; the
// previous working directory comes back when it goes out of scope.
class TempWorkDir
{
public:
    explicit TempWorkDir(const QByteArray &configIni = QByteArray());
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir &) = delete;
    TempWorkDir &operator=(const TempWorkDir &) = delete;

    QString path() const { return dir.path(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }
    // Replaces Config.ini with these raw bytes (codec tests need byte control).
    void writeConfig(const QByteArray &raw) const;
    QByteArray readConfig() const;

private:
    QTemporaryDir dir;
    QString previous;
};
