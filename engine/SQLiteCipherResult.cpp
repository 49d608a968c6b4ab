#include "SQLiteCipherResult.h"

#include "SQLiteCipherDriver.h"

#include <QCoreApplication>
#include <QSqlField>

namespace {

QString resultText(const char *text)
{
    return QCoreApplication::translate("QSQLiteResult", text);
}

QString fromUtf16(const void *text, int bytes)
{
    return QString(static_cast<const QChar *>(text), bytes / int(sizeof(QChar)));
}

QVariant::Type fieldTypeOfStorage(int storageType)
{
    switch (storageType) {
    case SQLITE_INTEGER:
        return QVariant::Int;
    case SQLITE_FLOAT:
        return QVariant::Double;
    case SQLITE_TEXT:
        return QVariant::String;
    case SQLITE_BLOB:
        return QVariant::ByteArray;
    default:
        return QVariant::Invalid;
    }
}

const SQLiteCipherDriver *cipherDriver(const QSqlDriver *driver)
{
    return static_cast<const SQLiteCipherDriver *>(driver);
}

} // namespace

SQLiteCipherResult::SQLiteCipherResult(const SQLiteCipherDriver *driver)
    : SqliteCipherCachedResult(driver)
{
    driver->addResult(this);
}

SQLiteCipherResult::~SQLiteCipherResult()
{
    if (const SQLiteCipherDriver *owner = cipherDriver(driver()))
        owner->removeResult(this);
    finalize();
}

QVariant SQLiteCipherResult::handle() const
{
    return QVariant::fromValue(stmt);
}

void SQLiteCipherResult::finalize()
{
    if (stmt) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
}

void SQLiteCipherResult::releaseConnection()
{
    finalize();
    access = nullptr;
}

void SQLiteCipherResult::setEngineError(const char *description, QSqlError::ErrorType type, int code)
{
    setLastError(SQLiteCipherDriver::engineError(access, resultText(description), type, code));
}

bool SQLiteCipherResult::prepare(const QString &query)
{
    const SQLiteCipherDriver *owner = cipherDriver(driver());
    if (!owner || !owner->isOpen() || owner->isOpenError())
        return false;

    finalize();
    columns.clear();
    skippedStatus = false;
    skipRow = false;
    cleanup();
    setSelect(false);
    // The connection of this run: a result may outlive a close and reopen.
    access = owner->connection();

    const void *tail = nullptr;
    const int bytes = (query.size() + 1) * int(sizeof(QChar));
    const int rc = sqlite3_prepare16_v2(access, query.constData(), bytes, &stmt, &tail);
    if (rc != SQLITE_OK) {
        setEngineError("Unable to execute statement", QSqlError::StatementError, rc);
        finalize();
        return false;
    }
    if (tail && !QString(static_cast<const QChar *>(tail)).trimmed().isEmpty()) {
        setEngineError("Unable to execute multiple statements at a time",
                       QSqlError::StatementError, SQLITE_MISUSE);
        finalize();
        return false;
    }
    return true;
}

bool SQLiteCipherResult::reset(const QString &query)
{
    return prepare(query) && exec();
}

bool SQLiteCipherResult::bindValues(const QVector<QVariant> &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        const int parameter = i + 1;
        int rc;
        if (value.isNull()) {
            rc = sqlite3_bind_null(stmt, parameter);
        } else {
            switch (int(value.type())) {
            case QVariant::Int:
                rc = sqlite3_bind_int(stmt, parameter, value.toInt());
                break;
            case QVariant::UInt:
            case QVariant::LongLong:
                rc = sqlite3_bind_int64(stmt, parameter, value.toLongLong());
                break;
            case QVariant::Double:
                rc = sqlite3_bind_double(stmt, parameter, value.toDouble());
                break;
            case QVariant::ByteArray: {
                const QByteArray bytes = value.toByteArray();
                rc = sqlite3_bind_blob(stmt, parameter, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
                break;
            }
            default: {
                // Strings, and the text form of every other type.
                const QString text = value.toString();
                rc = sqlite3_bind_text16(stmt, parameter, text.constData(),
                                         text.size() * int(sizeof(QChar)), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK) {
            setEngineError("Unable to bind parameters", QSqlError::StatementError, rc);
            finalize();
            return false;
        }
    }
    return true;
}

bool SQLiteCipherResult::exec()
{
    const QVector<QVariant> values = boundValues();
    skippedStatus = false;
    skipRow = false;
    columns.clear();
    clearValues();
    setLastError(QSqlError());

    const int rc = sqlite3_reset(stmt);
    if (rc != SQLITE_OK) {
        setEngineError("Unable to reset statement", QSqlError::StatementError, rc);
        finalize();
        return false;
    }
    if (sqlite3_bind_parameter_count(stmt) != values.size()) {
        setLastError(QSqlError(resultText("Parameter count mismatch"), QString(),
                               QSqlError::StatementError));
        return false;
    }
    if (!bindValues(values))
        return false;

    skippedStatus = fetchRow(firstRow, 0, true);
    if (lastError().isValid()) {
        setSelect(false);
        setActive(false);
        return false;
    }
    setSelect(!columns.isEmpty());
    setActive(true);
    return true;
}

bool SQLiteCipherResult::gotoNext(ValueCache &values, int index)
{
    return fetchRow(values, index, false);
}

bool SQLiteCipherResult::fetchRow(ValueCache &values, int index, bool initial)
{
    if (skipRow) {
        skipRow = false;
        for (int i = 0; index >= 0 && i < firstRow.size(); ++i)
            values[index + i] = firstRow.at(i);
        return skippedStatus;
    }
    skipRow = initial;
    if (initial) {
        firstRow.clear();
        firstRow.resize(sqlite3_column_count(stmt));
    }
    if (!stmt) {
        setLastError(QSqlError(resultText("Unable to fetch row"), resultText("No query"),
                               QSqlError::ConnectionError));
        setAt(QSql::AfterLastRow);
        return false;
    }
    return stepRow(values, index);
}

bool SQLiteCipherResult::stepRow(ValueCache &values, int index)
{
    int rc = sqlite3_step(stmt);
    switch (rc) {
    case SQLITE_ROW:
        if (columns.isEmpty())
            readColumns(true);
        if (index >= 0)
            readRow(values, index);
        return true;
    case SQLITE_DONE:
        if (columns.isEmpty())
            readColumns(false);
        setAt(QSql::AfterLastRow);
        sqlite3_reset(stmt);
        return false;
    case SQLITE_ERROR:
    case SQLITE_CONSTRAINT:
        // The step gives the generic code; the reset gives the specific one.
        rc = sqlite3_reset(stmt);
        setEngineError("Unable to fetch row", QSqlError::ConnectionError, rc);
        setAt(QSql::AfterLastRow);
        return false;
    default:
        setEngineError("Unable to fetch row", QSqlError::ConnectionError, rc);
        sqlite3_reset(stmt);
        setAt(QSql::AfterLastRow);
        return false;
    }
}

void SQLiteCipherResult::readRow(ValueCache &values, int index) const
{
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        QVariant &value = values[index + i];
        switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_BLOB: {
            const char *blob = static_cast<const char *>(sqlite3_column_blob(stmt, i));
            value = QByteArray(blob, sqlite3_column_bytes(stmt, i));
            break;
        }
        case SQLITE_INTEGER:
            value = qint64(sqlite3_column_int64(stmt, i));
            break;
        case SQLITE_FLOAT:
            switch (numericalPrecisionPolicy()) {
            case QSql::LowPrecisionInt32:
                value = sqlite3_column_int(stmt, i);
                break;
            case QSql::LowPrecisionInt64:
                value = qint64(sqlite3_column_int64(stmt, i));
                break;
            default:
                value = sqlite3_column_double(stmt, i);
                break;
            }
            break;
        case SQLITE_NULL:
            value = QVariant(QVariant::String);
            break;
        default: {
            const void *text = sqlite3_column_text16(stmt, i);
            value = fromUtf16(text, sqlite3_column_bytes16(stmt, i));
            break;
        }
        }
    }
}

void SQLiteCipherResult::readColumns(bool withStorageTypes)
{
    const int count = sqlite3_column_count(stmt);
    if (count <= 0)
        return;
    init(count);
    for (int i = 0; i < count; ++i) {
        QString name = QString(static_cast<const QChar *>(sqlite3_column_name16(stmt, i)));
        name.remove(QLatin1Char('"'));
        name = name.mid(name.lastIndexOf(QLatin1Char('.')) + 1);

        const int storageType = withStorageTypes ? sqlite3_column_type(stmt, i) : -1;
        const QString declared = QString(static_cast<const QChar *>(sqlite3_column_decltype16(stmt, i)));
        QVariant::Type type = QVariant::Invalid;
        if (!declared.isEmpty())
            type = SQLiteCipherDriver::fieldType(declared);
        else if (withStorageTypes)
            type = fieldTypeOfStorage(storageType);

        QSqlField field(name, type);
        field.setSqlType(storageType);
        columns.append(field);
    }
}

int SQLiteCipherResult::size()
{
    return -1;
}

int SQLiteCipherResult::numRowsAffected()
{
    return access ? sqlite3_changes(access) : -1;
}

QSqlRecord SQLiteCipherResult::record() const
{
    if (!isActive() || !isSelect())
        return QSqlRecord();
    return columns;
}

QVariant SQLiteCipherResult::lastInsertId() const
{
    if (isActive() && access) {
        const qint64 id = sqlite3_last_insert_rowid(access);
        if (id)
            return id;
    }
    return QVariant();
}

void SQLiteCipherResult::detachFromResultSet()
{
    if (stmt)
        sqlite3_reset(stmt);
}
