#pragma once

#include "SQLiteCipherDriver.h"

#include <QSqlDatabase>
#include <QString>

// One named connection on a fresh SQLiteCipherDriver, removed again when it
// goes out of scope. Queries made on it must be gone by then.
class DriverTestConnection
{
public:
    explicit DriverTestConnection(const QString &path, const QString &password = QString(),
                                  const QString &options = QString())
        : name(QStringLiteral("driver-test-%1").arg(++serial))
    {
        db = QSqlDatabase::addDatabase(new SQLiteCipherDriver, name);
        db.setDatabaseName(path);
        db.setPassword(password);
        db.setConnectOptions(options);
        opened = db.open();
    }
    ~DriverTestConnection()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
    DriverTestConnection(const DriverTestConnection &) = delete;
    DriverTestConnection &operator=(const DriverTestConnection &) = delete;

    QSqlDatabase db;
    bool opened = false;

private:
    static inline int serial = 0;
    QString name;
};
