#include "SqliteClass.h"

#include "BuiltinPassphrase.h"
#include "SQLiteCipherDriver.h"
#include "TableInfo.h"

#include <QAtomicInt>
#include <QHash>
#include <QSet>
#include <QSqlQuery>

namespace {

const QString sequenceTable = QStringLiteral("sqlite_sequence");

// The user's own columns of a question table: a merge never overwrites them
// in a question that both files hold.
const QStringList userColumns = {QStringLiteral("userStatus"), QStringLiteral("userAnswer"),
                                 QStringLiteral("userTime"), QStringLiteral("userFav"),
                                 QStringLiteral("userNote")};

QAtomicInt connectionCount;

// The engine's own tables; the engine creates and shapes them itself.
bool isEngineTable(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_"));
}

const TableInfo *findTable(const QList<TableInfo> &tables, const QString &name)
{
    for (const TableInfo &table : tables) {
        if (table.tableName == name)
            return &table;
    }
    return nullptr;
}

bool hasField(const TableInfo &table, const QString &name)
{
    for (const FieldInfo &field : table.fields) {
        if (field.name == name)
            return true;
    }
    return false;
}

int rowCount(const QList<FieldInfo> &fields)
{
    return fields.isEmpty() ? 0 : fields.first().values.size();
}

QVariantList rowValues(const QList<FieldInfo> &fields, const QList<int> &columns, int row)
{
    QVariantList values;
    values.reserve(columns.size() + 1);
    for (int column : columns)
        values << fields.at(column).values.at(row);
    return values;
}

QList<int> allColumns(const QList<FieldInfo> &fields)
{
    QList<int> columns;
    for (int i = 0; i < fields.size(); ++i)
        columns << i;
    return columns;
}

// The columns a merge writes into a question both files hold: every column
// of the new bank except the id (the first) and the user's own.
QList<int> bankColumns(const QList<FieldInfo> &fields)
{
    QList<int> columns;
    for (int i = 1; i < fields.size(); ++i) {
        if (!userColumns.contains(fields.at(i).name))
            columns << i;
    }
    return columns;
}

QString insertStatement(const QString &table, const QList<FieldInfo> &fields)
{
    QStringList names;
    for (const FieldInfo &field : fields)
        names << field.name;
    QString markers = QStringLiteral("?,").repeated(fields.size());
    markers.chop(1);
    return QStringLiteral("insert into %1(%2) VALUES( %3 )").arg(table, names.join(QLatin1Char(',')), markers);
}

QString updateStatement(const QString &table, const QList<FieldInfo> &fields, const QList<int> &columns)
{
    QStringList assignments;
    for (int column : columns)
        assignments << fields.at(column).name + QStringLiteral("=?");
    return QStringLiteral("update %1 set %2 where queId = ?")
        .arg(table, assignments.join(QLatin1Char(',')));
}

} // namespace

// One run of SqliteClass::mergeDatabase. The user's file (the target) and the
// new bank (the source, opened read-only) get connections of their own on the
// calling thread, so the store's connection stays on the live bank whatever
// happens here. Nothing here touches the store's connection, so the run does
// not hold the store lock: the GUI thread is not held up for a whole repair.
class DatabaseMerge
{
public:
    DatabaseMerge(SqliteClass &store, const QString &targetFile, const QString &sourceFile)
        : store(store), targetFile(targetFile), sourceFile(sourceFile)
    {
    }
    ~DatabaseMerge();
    DatabaseMerge(const DatabaseMerge &) = delete;
    DatabaseMerge &operator=(const DatabaseMerge &) = delete;

    int run();

private:
    bool open(QSqlDatabase &db, const QString &file, bool readOnly);
    int updateSchema(QStringList &passList);
    int readSchema(const QSqlDatabase &db, QList<TableInfo> &tables);
    void addChange(QList<TableInfo> &changes, const TableInfo &table, const QList<TableInfo> &targetTables);
    int applyChanges(const QList<TableInfo> &changes);
    int addColumns(const TableInfo &change);
    int passTable(const QString &table);
    int readTableFields(const QSqlDatabase &db, const QString &table, QList<FieldInfo> &fields);
    int readTableRows(const QString &table, QList<FieldInfo> &fields);
    int insertTableRows(const QString &table, const QList<FieldInfo> &fields);
    int copyTable(const QString &table);
    int mergeTable(const QString &table);
    int mergeRowsByQueId(const QString &table, const QList<FieldInfo> &fields);
    int writeRows(const QString &table, const QList<FieldInfo> &fields,
                  const QHash<QString, QVariant> &existing, QSet<QString> &matched);
    int markVanished(const QString &table, const QVariantList &existing, const QSet<QString> &matched);
    int runOnTarget(const QString &sql);
    int commit(int result);
    void progress(int total, int index, const QString &status);

    SqliteClass &store;
    const QString targetFile;
    const QString sourceFile;
    QSqlDatabase target;
    QSqlDatabase source;
};

DatabaseMerge::~DatabaseMerge()
{
    for (QSqlDatabase *db : {&target, &source}) {
        const QString name = db->connectionName();
        db->close();
        *db = QSqlDatabase();
        if (!name.isEmpty())
            QSqlDatabase::removeDatabase(name);
    }
}

int DatabaseMerge::run()
{
    QStringList passList;
    if (!open(target, targetFile, false) || !open(source, sourceFile, true)
        || updateSchema(passList) < 0)
        return -1;
    // The bank's settings come from the new bank; the table pass keeps them.
    if (copyTable(QStringLiteral("sysConfig")) < 0)
        return -1;
    for (const QString &table : qAsConst(passList)) {
        if (passTable(table) < 0)
            return -1;
    }
    return 0;
}

bool DatabaseMerge::open(QSqlDatabase &db, const QString &file, bool readOnly)
{
    db = QSqlDatabase::addDatabase(new SQLiteCipherDriver,
                                   QStringLiteral("merge-%1").arg(connectionCount.fetchAndAddRelaxed(1)));
    db.setDatabaseName(file);
    db.setPassword(QString::fromLatin1(builtinPassphrase));
    if (readOnly)
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (db.open())
        return true;
    store.setLastError(QStringLiteral("打开[%1]数据库失败.").arg(file));
    return false;
}

// Adds to the user's file the tables and columns that only the new bank has,
// and lists the new bank's tables in the order the table pass takes them.
int DatabaseMerge::updateSchema(QStringList &passList)
{
    QList<TableInfo> targetTables;
    QList<TableInfo> sourceTables;
    if (readSchema(target, targetTables) < 0 || readSchema(source, sourceTables) < 0)
        return -1;

    QList<TableInfo> changes;
    for (int i = 0; i < sourceTables.size(); ++i) {
        const TableInfo &table = sourceTables.at(i);
        passList << table.tableName;
        progress(sourceTables.size(), i, QStringLiteral("对比数据库中[%1]表及字段").arg(i));
        if (!isEngineTable(table.tableName))
            addChange(changes, table, targetTables);
    }
    // Every copy into a table with an AUTOINCREMENT key moves the sequence
    // table, so it is copied last to end as the new bank's.
    if (passList.removeOne(sequenceTable))
        passList << sequenceTable;
    return applyChanges(changes);
}

int DatabaseMerge::readSchema(const QSqlDatabase &db, QList<TableInfo> &tables)
{
    QSqlQuery query(db);
    if (!store.runQuery(query, QStringLiteral("select name,sql from sqlite_master where type = 'table'")))
        return -1;
    while (query.next()) {
        TableInfo table;
        table.tableName = query.value(0).toString();
        table.createSql = query.value(1).toString();
        tables << table;
    }
    for (int i = 0; i < tables.size(); ++i) {
        if (readTableFields(db, tables.at(i).tableName, tables[i].fields) < 0)
            return -1;
        progress(tables.size(), i, QStringLiteral("获取数据库中所有表及字段"));
    }
    return 0;
}

void DatabaseMerge::addChange(QList<TableInfo> &changes, const TableInfo &table,
                              const QList<TableInfo> &targetTables)
{
    const TableInfo *existing = findTable(targetTables, table.tableName);
    if (!existing) {
        changes << table;
        return;
    }
    TableInfo change;
    change.tableName = table.tableName;
    change.kind = 1;
    for (const FieldInfo &field : table.fields) {
        if (!hasField(*existing, field.name))
            change.fields << field;
    }
    if (!change.fields.isEmpty())
        changes << change;
}

int DatabaseMerge::applyChanges(const QList<TableInfo> &changes)
{
    int result = 0;
    for (int j = 0; j < changes.size(); ++j) {
        const TableInfo &change = changes.at(j);
        progress(changes.size(), j, QStringLiteral("插入新的[%1]表及字段").arg(change.tableName));
        if (change.kind == 0) {
            if (runOnTarget(change.createSql) < 0)
                return -1;
        } else if (addColumns(change) < 0) {
            // The other changes still go in; the merge fails after them.
            result = -1;
        }
    }
    return result;
}

int DatabaseMerge::addColumns(const TableInfo &change)
{
    for (const FieldInfo &field : change.fields) {
        // The default goes in as the engine reports it: that text is
        // already SQL, quotes included.
        const QString sql = field.defaultValue.isEmpty()
            ? QStringLiteral("ALTER TABLE '%1' ADD '%2' %3 ").arg(change.tableName, field.name, field.type)
            : QStringLiteral("ALTER TABLE '%1' ADD '%2' %3 DEFAULT %4")
                  .arg(change.tableName, field.name, field.type, field.defaultValue);
        if (runOnTarget(sql) < 0)
            return -1;
    }
    return 0;
}

int DatabaseMerge::passTable(const QString &table)
{
    if (store.keptTables.contains(table) || (isEngineTable(table) && table != sequenceTable))
        return 0;
    if (store.queIdMergedTables.contains(table))
        return mergeTable(table);
    return copyTable(table);
}

int DatabaseMerge::readTableFields(const QSqlDatabase &db, const QString &table, QList<FieldInfo> &fields)
{
    QSqlQuery query(db);
    if (!store.runQuery(query, QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return -1;
    while (query.next()) {
        FieldInfo field;
        field.cid = query.value(0).toInt();
        field.name = query.value(1).toString();
        field.type = query.value(2).toString();
        field.notNull = query.value(3).toInt();
        field.defaultValue = query.value(4).toString();
        field.pk = query.value(5).toInt();
        fields << field;
    }
    return 0;
}

// Reads every row of the new bank's table into the fields' values; the
// fields must have been read from that same table.
int DatabaseMerge::readTableRows(const QString &table, QList<FieldInfo> &fields)
{
    QSqlQuery query(source);
    if (!store.runQuery(query, QStringLiteral("select * from %1 ").arg(table)))
        return -1;
    while (query.next()) {
        for (int i = 0; i < fields.size(); ++i)
            fields[i].values << query.value(i);
    }
    return 0;
}

int DatabaseMerge::insertTableRows(const QString &table, const QList<FieldInfo> &fields)
{
    if (fields.isEmpty())
        return 0;
    if (runOnTarget(QStringLiteral("BEGIN")) < 0)
        return -1;
    const QString sql = insertStatement(table, fields);
    const QList<int> columns = allColumns(fields);
    const int rows = rowCount(fields);
    int result = 0;
    {
        QSqlQuery query(target);
        for (int j = 0; j < rows && result == 0; ++j) {
            progress(rows, j, QStringLiteral("插入数据表[%1]条数据").arg(j));
            if (!store.runQuery(query, sql, rowValues(fields, columns, j)))
                result = -1;
        }
    }
    progress(100, 100, QStringLiteral("正在存储数据表的所有数据..."));
    return commit(result);
}

int DatabaseMerge::copyTable(const QString &table)
{
    QList<FieldInfo> fields;
    if (runOnTarget(QStringLiteral("delete from %1").arg(table)) < 0
        || readTableFields(source, table, fields) < 0 || readTableRows(table, fields) < 0)
        return -1;
    return insertTableRows(table, fields);
}

int DatabaseMerge::mergeTable(const QString &table)
{
    QList<FieldInfo> fields;
    if (readTableFields(source, table, fields) < 0 || readTableRows(table, fields) < 0)
        return -1;
    return mergeRowsByQueId(table, fields);
}

// Question rows are matched by the text of their id, so "17" and "017" are
// different questions.
int DatabaseMerge::mergeRowsByQueId(const QString &table, const QList<FieldInfo> &fields)
{
    QVariantList existing;
    QHash<QString, QVariant> existingById;
    {
        QSqlQuery query(target);
        if (!store.runQuery(query, QStringLiteral("select queId from %1 ").arg(table)))
            return -1;
        while (query.next()) {
            existing << query.value(0);
            existingById.insert(existing.last().toString(), existing.last());
        }
    }
    if (runOnTarget(QStringLiteral("BEGIN")) < 0)
        return -1;
    QSet<QString> matched;
    int result = writeRows(table, fields, existingById, matched);
    if (result == 0)
        result = markVanished(table, existing, matched);
    return commit(result);
}

int DatabaseMerge::writeRows(const QString &table, const QList<FieldInfo> &fields,
                             const QHash<QString, QVariant> &existing, QSet<QString> &matched)
{
    if (fields.isEmpty())
        return 0;
    const QList<int> updated = bankColumns(fields);
    const QList<int> inserted = allColumns(fields);
    const QString updateSql = updateStatement(table, fields, updated);
    const QString insertSql = insertStatement(table, fields);
    const int rows = rowCount(fields);
    QSqlQuery query(target);
    for (int j = 0; j < rows; ++j) {
        const QString id = fields.first().values.at(j).toString();
        const auto found = existing.constFind(id);
        bool ran;
        if (found != existing.constEnd()) {
            matched.insert(id);
            progress(rows, j, QStringLiteral("更新数据表[%1]条数据").arg(j));
            ran = store.runQuery(query, updateSql, rowValues(fields, updated, j) << found.value());
        } else {
            progress(rows, j, QStringLiteral("插入数据表[%1]条数据").arg(j));
            ran = store.runQuery(query, insertSql, rowValues(fields, inserted, j));
        }
        if (!ran)
            return -1;
    }
    return 0;
}

// Questions the new bank no longer has stay with the user's work, hidden.
int DatabaseMerge::markVanished(const QString &table, const QVariantList &existing,
                                const QSet<QString> &matched)
{
    QVariantList vanished;
    for (int i = 0; i < existing.size(); ++i) {
        progress(existing.size(), i, QStringLiteral("比较数据表[%1]数据").arg(i));
        if (!matched.contains(existing.at(i).toString()))
            vanished << existing.at(i);
    }
    const QString sql = QStringLiteral("update %1 set IsDel = '1' where queId = ?").arg(table);
    QSqlQuery query(target);
    for (int k = 0; k < vanished.size(); ++k) {
        progress(vanished.size(), k, QStringLiteral("删除数据表[%1]数据").arg(k));
        if (!store.runQuery(query, sql, {vanished.at(k)}))
            return -1;
    }
    return 0;
}

int DatabaseMerge::runOnTarget(const QString &sql)
{
    QSqlQuery query(target);
    return store.runQuery(query, sql) ? 0 : -1;
}

// Ends the transaction of a row step. What was written before a failure
// stays (the target is a scratch copy), and the failure keeps its own text.
int DatabaseMerge::commit(int result)
{
    if (result == 0)
        return runOnTarget(QStringLiteral("COMMIT"));
    QSqlQuery(target).exec(QStringLiteral("COMMIT"));
    return -1;
}

void DatabaseMerge::progress(int total, int index, const QString &status)
{
    emit store.sendCopyTable(total, index, status);
}

int SqliteClass::mergeDatabase(const QString &target, const QString &source)
{
    return DatabaseMerge(*this, target, source).run();
}
