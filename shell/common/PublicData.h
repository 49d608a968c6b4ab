#pragma once

#include <QObject>
#include <QString>

// Where the agent branding lives and the agent button captions that the
// welcome screen reads for the home page; also the one-key Config.ini access
// that other parts use.
class PublicData : public QObject
{
    Q_OBJECT
public:
    explicit PublicData(QObject *parent = nullptr);

    // The process-wide instance, made on first use and never deleted.
    static PublicData *instance();

    // Absent keys read as the empty text; a write is on disk when it returns.
    static QString value(const QString &key);
    static void setValue(const QString &key, const QString &value);

    QString logoDir;
    QString logoFile;
    QString bigLogoFile;
    QString proxyButtonBase;
    QString proxyButtonText1;
    QString proxyButtonText2;
    QString proxyButtonText3;
};
