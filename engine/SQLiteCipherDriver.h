#pragma once

#include <QList>
#include <QMetaType>
#include <QMutex>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <sqlite3.h>

class SQLiteCipherResult;

// Qt SQL driver for the program's page-encrypted SQLite files. It behaves as
// a plain SQLite driver, except that a connection opened with a password is
// keyed with the built-in pass phrase (the password only says whether).
class SQLiteCipherDriver : public QSqlDriver
{
    Q_OBJECT
public:
    explicit SQLiteCipherDriver(QObject *parent = nullptr);
    ~SQLiteCipherDriver() override;

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString &name, const QString &user, const QString &password,
              const QString &host, int port, const QString &options) override;
    void close() override;
    QSqlResult *createResult() const override;
    bool beginTransaction() override;
    bool commitTransaction() override;
    bool rollbackTransaction() override;
    QStringList tables(QSql::TableType type) const override;
    QSqlIndex primaryIndex(const QString &table) const override;
    QSqlRecord record(const QString &table) const override;
    QVariant handle() const override;
    QString escapeIdentifier(const QString &identifier, IdentifierType type) const override;

private:
    friend class SQLiteCipherResult;

    // Results are created and destroyed on whichever thread uses the
    // connection, so the list is guarded.
    void addResult(SQLiteCipherResult *result) const;
    void removeResult(SQLiteCipherResult *result) const;
    sqlite3 *connection() const { return access; }
    // An engine failure: the engine's message for the connection as database
    // text, the result code as number.
    static QSqlError engineError(sqlite3 *connection, const QString &description,
                                 QSqlError::ErrorType type, int code);
    // Qt type of a column from its declared SQL type.
    static QVariant::Type fieldType(const QString &declaredType);

    bool runTransactionStatement(const QString &statement, const char *failure);
    QSqlIndex tableInfo(const QString &table, bool onlyPrimaryKey) const;

    sqlite3 *access = nullptr;
    mutable QMutex resultsLock;
    mutable QList<SQLiteCipherResult *> results;
};

// The engine's types are opaque to Qt.
Q_DECLARE_OPAQUE_POINTER(sqlite3 *)
Q_DECLARE_METATYPE(sqlite3 *)
