#include "SQLiteCipherDriver.h"

#include "BuiltinPassphrase.h"
#include "CipherCodec.h"
#include "SQLiteCipherResult.h"

#include <QMutexLocker>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace {

constexpr int defaultBusyTimeoutMs = 5000;

struct OpenOptions
{
    int busyTimeoutMs = defaultBusyTimeoutMs;
    bool readOnly = false;
    bool sharedCache = false;
};

OpenOptions parseOptions(const QString &text)
{
    static const QLatin1String busyTimeout("QSQLITE_BUSY_TIMEOUT=");
    OpenOptions options;
    const QStringList parts = QString(text).remove(QLatin1Char(' ')).split(QLatin1Char(';'));
    for (const QString &part : parts) {
        if (part.startsWith(busyTimeout)) {
            bool ok = false;
            const int timeout = part.mid(busyTimeout.size()).toInt(&ok);
            if (ok)
                options.busyTimeoutMs = timeout;
        } else if (part == QLatin1String("QSQLITE_OPEN_READONLY")) {
            options.readOnly = true;
        } else if (part == QLatin1String("QSQLITE_ENABLE_SHARED_CACHE")) {
            options.sharedCache = true;
        }
    }
    return options;
}

} // namespace

SQLiteCipherDriver::SQLiteCipherDriver(QObject *parent)
    : QSqlDriver(parent)
{
}

SQLiteCipherDriver::~SQLiteCipherDriver() = default;

QSqlError SQLiteCipherDriver::engineError(sqlite3 *connection, const QString &description,
                                          QSqlError::ErrorType type, int code)
{
    const QString message(static_cast<const QChar *>(sqlite3_errmsg16(connection)));
    return QSqlError(description, message, type, QString::number(code));
}

QVariant::Type SQLiteCipherDriver::fieldType(const QString &declaredType)
{
    const QString type = declaredType.toLower();
    if (type == QLatin1String("integer") || type == QLatin1String("int"))
        return QVariant::Int;
    if (type == QLatin1String("double") || type == QLatin1String("float")
        || type == QLatin1String("real") || type.startsWith(QLatin1String("numeric")))
        return QVariant::Double;
    if (type == QLatin1String("blob"))
        return QVariant::ByteArray;
    return QVariant::String;
}

bool SQLiteCipherDriver::hasFeature(DriverFeature feature) const
{
    switch (feature) {
    case Transactions:
    case BLOB:
    case Unicode:
    case PreparedQueries:
    case PositionalPlaceholders:
    case LastInsertId:
    case SimpleLocking:
    case LowPrecisionNumbers:
    case FinishQuery:
        return true;
    default:
        return false;
    }
}

bool SQLiteCipherDriver::open(const QString &name, const QString &, const QString &password,
                              const QString &, int, const QString &options)
{
    if (isOpen())
        close();
    if (name.isEmpty())
        return false;

    const OpenOptions chosen = parseOptions(options);
    const int flags = (chosen.readOnly ? SQLITE_OPEN_READONLY
                                       : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
                      | SQLITE_OPEN_FULLMUTEX; // one connection serves several threads
    sqlite3_enable_shared_cache(chosen.sharedCache);
    // Without the codec's file layer a keyed file would be written plain.
    int rc = cipherRegisterVfs();
    if (rc == SQLITE_OK)
        rc = sqlite3_open_v2(name.toUtf8().constData(), &access, flags, nullptr);
    // A wrong key only shows at the first statement that reads the file; a
    // key call fails only when the connection cannot be keyed at all (out of
    // memory), and then it must not go on to write a plain bank.
    if (rc == SQLITE_OK && !password.isEmpty())
        rc = sqlite3_key(access, builtinPassphrase, builtinPassphraseLength);
    if (rc != SQLITE_OK) {
        setLastError(engineError(access, tr("Error opening database"), QSqlError::ConnectionError, -1));
        // The engine hands out a handle even when opening fails.
        sqlite3_close(access);
        access = nullptr;
        setOpenError(true);
        return false;
    }

    sqlite3_busy_timeout(access, chosen.busyTimeoutMs);
    setOpen(true);
    setOpenError(false);
    return true;
}

void SQLiteCipherDriver::close()
{
    if (!isOpen())
        return;
    {
        QMutexLocker locker(&resultsLock);
        for (SQLiteCipherResult *result : qAsConst(results))
            result->releaseConnection();
    }
    const int rc = sqlite3_close(access);
    if (rc != SQLITE_OK)
        setLastError(engineError(access, tr("Error closing database"), QSqlError::ConnectionError, rc));
    access = nullptr;
    setOpen(false);
    setOpenError(false);
}

QSqlResult *SQLiteCipherDriver::createResult() const
{
    return new SQLiteCipherResult(this);
}

void SQLiteCipherDriver::addResult(SQLiteCipherResult *result) const
{
    QMutexLocker locker(&resultsLock);
    results.append(result);
}

void SQLiteCipherDriver::removeResult(SQLiteCipherResult *result) const
{
    QMutexLocker locker(&resultsLock);
    results.removeOne(result);
}

bool SQLiteCipherDriver::runTransactionStatement(const QString &statement, const char *failure)
{
    if (!isOpen() || isOpenError())
        return false;
    QSqlQuery query(createResult());
    if (query.exec(statement))
        return true;
    setLastError(QSqlError(tr(failure), query.lastError().databaseText(), QSqlError::TransactionError));
    return false;
}

bool SQLiteCipherDriver::beginTransaction()
{
    return runTransactionStatement(QStringLiteral("BEGIN"), "Unable to begin transaction");
}

bool SQLiteCipherDriver::commitTransaction()
{
    return runTransactionStatement(QStringLiteral("COMMIT"), "Unable to commit transaction");
}

bool SQLiteCipherDriver::rollbackTransaction()
{
    return runTransactionStatement(QStringLiteral("ROLLBACK"), "Unable to rollback transaction");
}

QStringList SQLiteCipherDriver::tables(QSql::TableType type) const
{
    QStringList names;
    if (!isOpen())
        return names;

    QString condition;
    if ((type & QSql::Tables) && (type & QSql::Views))
        condition = QStringLiteral("type='table' OR type='view'");
    else if (type & QSql::Tables)
        condition = QStringLiteral("type='table'");
    else if (type & QSql::Views)
        condition = QStringLiteral("type='view'");

    if (!condition.isEmpty()) {
        QSqlQuery query(createResult());
        query.setForwardOnly(true);
        const QString sql = QStringLiteral("SELECT name FROM sqlite_master WHERE %1 "
                                           "UNION ALL SELECT name FROM sqlite_temp_master WHERE %1")
                                .arg(condition);
        if (query.exec(sql)) {
            while (query.next())
                names.append(query.value(0).toString());
        }
    }
    if (type & QSql::SystemTables)
        names.append(QStringLiteral("sqlite_master"));
    return names;
}

QSqlIndex SQLiteCipherDriver::tableInfo(const QString &tableName, bool onlyPrimaryKey) const
{
    QString table = tableName;
    if (isIdentifierEscaped(table, TableName))
        table = stripDelimiters(table, TableName);
    QString schema;
    const int dot = table.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        schema = table.left(dot + 1);
        table = table.mid(dot + 1);
    }

    QSqlQuery query(createResult());
    query.setForwardOnly(true);
    query.exec(QLatin1String("PRAGMA ") + schema + QLatin1String("table_info (")
               + escapeIdentifier(table, TableName) + QLatin1Char(')'));

    // Rows: column number, name, type, not-null flag, default, primary-key flag.
    QSqlIndex index;
    while (query.next()) {
        const bool primaryKey = query.value(5).toInt() != 0;
        if (onlyPrimaryKey && !primaryKey)
            continue;
        const QString type = query.value(2).toString().toLower();
        QSqlField field(query.value(1).toString(), fieldType(type));
        // Only INTEGER PRIMARY KEY is the row id; INT PRIMARY KEY is not.
        field.setAutoValue(primaryKey && type == QLatin1String("integer"));
        field.setRequired(query.value(3).toInt() != 0);
        field.setDefaultValue(query.value(4));
        index.append(field);
    }
    return index;
}

QSqlIndex SQLiteCipherDriver::primaryIndex(const QString &table) const
{
    return isOpen() ? tableInfo(table, true) : QSqlIndex();
}

QSqlRecord SQLiteCipherDriver::record(const QString &table) const
{
    return isOpen() ? QSqlRecord(tableInfo(table, false)) : QSqlRecord();
}

QVariant SQLiteCipherDriver::handle() const
{
    return QVariant::fromValue(access);
}

QString SQLiteCipherDriver::escapeIdentifier(const QString &identifier, IdentifierType) const
{
    if (identifier.isEmpty() || identifier.startsWith(QLatin1Char('"'))
        || identifier.endsWith(QLatin1Char('"')))
        return identifier;
    QString escaped = identifier;
    escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
    escaped = QLatin1Char('"') + escaped + QLatin1Char('"');
    escaped.replace(QLatin1Char('.'), QLatin1String("\".\""));
    return escaped;
}
