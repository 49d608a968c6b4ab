#pragma once

#include "SqliteCipherCachedResult.h"

#include <QMetaType>
#include <QSqlError>
#include <QSqlRecord>
#include <sqlite3.h>

class SQLiteCipherDriver;

// One statement on a connection of SQLiteCipherDriver. exec fetches the first
// row ahead, so that a statement's errors show in exec, not in a later fetch.
class SQLiteCipherResult : public SqliteCipherCachedResult
{
public:
    explicit SQLiteCipherResult(const SQLiteCipherDriver *driver);
    ~SQLiteCipherResult() override;

    QVariant handle() const override;

protected:
    bool exec() override;
    bool prepare(const QString &query) override;
    bool reset(const QString &query) override;
    int size() override;
    int numRowsAffected() override;
    QSqlRecord record() const override;
    QVariant lastInsertId() const override;
    void detachFromResultSet() override;
    bool gotoNext(ValueCache &values, int index) override;

private:
    friend class SQLiteCipherDriver;

    // Called by the driver, under its results lock, when it closes.
    void releaseConnection();
    void finalize();
    bool bindValues(const QVector<QVariant> &values);
    bool fetchRow(ValueCache &values, int index, bool initial);
    bool stepRow(ValueCache &values, int index);
    void readRow(ValueCache &values, int index) const;
    void readColumns(bool withStorageTypes);
    void setEngineError(const char *description, QSqlError::ErrorType type, int code);

    sqlite3 *access = nullptr;
    sqlite3_stmt *stmt = nullptr;
    bool skippedStatus = false;
    bool skipRow = false;
    QSqlRecord columns;
    ValueCache firstRow;
};

Q_DECLARE_OPAQUE_POINTER(sqlite3_stmt *)
Q_DECLARE_METATYPE(sqlite3_stmt *)
