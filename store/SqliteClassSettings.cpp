#include "SqliteClass.h"
#include "StoreValues.h"

#include "ExamOutlineData.h"
#include "QueTypeData.h"
#include "SqliteData.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QtDebug>

using namespace storevalues;

namespace {

QueTypeData questionTypeRecord(const QVariantList &row)
{
    QueTypeData type;
    type.queTypeId = row.value(0).toInt();
    type.queTypeName = row.value(1).toString();
    type.memo = row.value(2).toString();
    type.column4 = row.value(3).toInt();
    type.column5 = row.value(4).toInt();
    type.examCount = row.value(5).toInt();
    return type;
}

} // namespace

int SqliteClass::loadQuestionTypes()
{
    QMap<int, QueTypeData> loaded;
    if (readRows(QStringLiteral("select * from tQueType"), {},
                 [&loaded](const Row &row) {
                     // A later row with the same code takes the key.
                     const QueTypeData type = questionTypeRecord(row);
                     loaded.insert(type.queTypeId, type);
                     return true;
                 },
                 StepFailure::EndsRows)
        != 0)
        return -1;
    // Questions that are still held point to the records: they are updated
    // in place, and those of types the bank no longer has are kept aside
    // until the store goes.
    const StoreLocker locker(storeMutex);
    for (auto held = questionTypes.begin(); held != questionTypes.end();) {
        if (loaded.contains(held.key())) {
            ++held;
        } else {
            retiredTypes << held.value();
            held = questionTypes.erase(held);
        }
    }
    for (auto type = loaded.cbegin(); type != loaded.cend(); ++type) {
        if (QueTypeData *held = questionTypes.value(type.key()))
            *held = type.value();
        else
            questionTypes.insert(type.key(), new QueTypeData(type.value()));
    }
    return 0;
}

int SqliteClass::questionType(QueTypeData *&out, int queTypeId)
{
    const StoreLocker locker(storeMutex);
    out = questionTypes.value(queTypeId);
    return 0;
}

int SqliteClass::questionTypesInBank(QList<int> &out)
{
    const StoreLocker locker(storeMutex);
    if (readRows(QStringLiteral("select DISTINCT (a.queTypeId),b.queTypeName from tCateList a,tQueType b "
                                "where a.queTypeId = b.queTypeId ORDER BY a.queTypeId "),
                 {},
                 [&](const Row &row) {
                     out.append(row.value(0).toInt());
                     return true;
                 },
                 StepFailure::EndsRows)
        != 0)
        return -1;
    // The first case type (3 or 4) is shown after all the others.
    for (int i = 0; i < out.size(); ++i) {
        if (out.at(i) == 3 || out.at(i) == 4) {
            out.append(out.takeAt(i));
            break;
        }
    }
    return 0;
}

int SqliteClass::questionTypeMemo(QString &memo, int queTypeId)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    if (!runQuery(query, QStringLiteral("select memo from tQueType where queTypeId = ?"), {numberText(queTypeId)}))
        return -1;
    if (query.next())
        memo = query.value(0).toString();
    return 0;
}

bool SqliteClass::hasQuestionType(int queTypeId)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    if (!runQuery(query, QStringLiteral("select queTypeId from tCateList where queTypeId= ?"), {numberText(queTypeId)})) {
        // No error result of its own: logged, and the type counts as present.
        qDebug().noquote() << lastError;
        return true;
    }
    return query.next() && query.value(0).toInt() != 0;
}

int SqliteClass::groupCountOfType(int queTypeId)
{
    const StoreLocker locker(storeMutex);
    return firstInt(QStringLiteral("select count(queTypeId) from tCateList where queTypeId = ? "),
                    {numberText(queTypeId)}, 0);
}

int SqliteClass::setExamCount(int queTypeId, int count)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("update tQueType set exam_count=?  where queTypeId=?"),
                        {numberText(count), numberText(queTypeId)});
}

int SqliteClass::setChapterChosen(int cateId, int choose)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("update tCate set choose=? where cateId=?"),
                        {numberText(choose), numberText(cateId)});
}

int SqliteClass::readSysConfig(const QString &key, QString &value, QString &memo)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select value,memo from sysConfig  where key=?"), {textValue(key)},
                    [&](const Row &row) {
                        value = row.value(0).toString();
                        memo = row.value(1).toString();
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::updateSysConfig(const QString &key, const QString &value)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("update sysConfig set value=? where key = ?"),
                        {textValue(value), textValue(key)});
}

int SqliteClass::InsertOrUpdateConfigTable(const QString &key, SqliteData *row)
{
    const StoreLocker locker(storeMutex);
    QString existing;
    if (readRows(QStringLiteral("select Key from ConfigTable where Key=?"), {textValue(key)},
                 [&](const Row &found) {
                     existing = found.value(0).toString();
                     return true;
                 },
                 StepFailure::EndsRows)
        != 0)
        return -1;

    // Texts 0 to 3 are V1 to V4 either way.
    QVariantList values{textValue(row->text0), textValue(row->text1), textValue(row->text2), textValue(row->text3)};
    QString sql;
    if (existing.isEmpty()) {
        sql = QStringLiteral("insert into ConfigTable (Key, V1, V2, V3, V4,V5) values(?, ?, ?, ?, ?,?)");
        values.prepend(textValue(key));
        values.append(textValue(row->text4));
    } else {
        // An updated row is marked with V5 "0".
        sql = QStringLiteral("Update ConfigTable set V1 = ?,V2 = ? ,V3 = ? ,V4 = ? ,V5 = ? where Key=?");
        values << numberText(0) << textValue(key);
    }
    if (runStatement(sql, values) == -1) {
        setLastError(QStringLiteral("InsertOrUpdateConfigTable error"));
        return -1;
    }
    return 0;
}

int SqliteClass::readConfigTable(const QString &key, SqliteData *&out)
{
    const StoreLocker locker(storeMutex);
    // One record, of the last matching row, so that no earlier one is lost.
    SqliteData *record = nullptr;
    if (readRows(QStringLiteral("select * from ConfigTable where Key=?"), {textValue(key)},
                 [&](const Row &row) {
                     if (!record)
                         record = new SqliteData;
                     record->text0 = row.value(1).toString();
                     record->text1 = row.value(2).toString();
                     record->text2 = row.value(3).toString();
                     record->text3 = row.value(4).toString();
                     record->text4 = row.value(5).toString();
                     return true;
                 },
                 StepFailure::EndsRows)
        != 0)
        return -1;
    if (record)
        out = record;
    return 0;
}

int SqliteClass::InsertExamTable(SqliteData *record)
{
    const StoreLocker locker(storeMutex);
    const QString savedAt = nowText();
    QSqlQuery query = newQuery();
    // Numbers are kept as text; compared as text, '9' would beat '10'.
    if (!runQuery(query, QStringLiteral("select max(cast(V5 as integer)) from ConfigTable"))) {
        setLastError(QStringLiteral("InsertExamTable::%1").arg(query.lastError().text()));
        qDebug().noquote() << lastError;
        return -1;
    }
    const QVariant number = numberText(query.next() ? query.value(0).toInt() + 1 : 1);
    // The report is bound, so it is stored exactly as the report wrote it.
    if (!runQuery(query,
                  QStringLiteral("insert into ConfigTable (Key, V1, V2, V3,V4,V5) values(?, ?, ?, ?,?,?)"),
                  {number, savedAt, textValue(record->text2), textValue(record->text3),
                   textValue(record->text4), number})) {
        setLastError(QStringLiteral("InsertExamTable::%1").arg(query.lastError().text()));
        qDebug().noquote() << "[ERROR:]" + lastError;
        return -1;
    }
    return 0;
}

int SqliteClass::examRecordList(QList<SqliteData *> &out, int kind)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select V5,V2,V1 from ConfigTable where V5>'0' and V2=? ORDER BY V1 desc, cast(V5 as integer) desc"),
                    {numberText(kind)},
                    [&](const Row &row) {
                        auto *record = new SqliteData;
                        record->text0 = row.value(0).toString();
                        record->text2 = row.value(1).toString();
                        record->dateTime = storedTime(row.value(2));
                        out.append(record);
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::readExamRecord(int id, QString &report, QString &counts)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select V3,V4 from ConfigTable where V5=?"), {numberText(id)},
                    [&](const Row &row) {
                        report = row.value(0).toString();
                        counts = row.value(1).toString();
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::deleteExamRecord(int id)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("delete from ConfigTable  where V5=?"), {numberText(id)});
}

int SqliteClass::examOutlineCount()
{
    const StoreLocker locker(storeMutex);
    return firstInt(QStringLiteral("select count(id) FROM examOutline "), {}, 0);
}

int SqliteClass::examOutlineContent(QString &content, const QString &idPattern)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    if (!runQuery(query, QStringLiteral("select  content FROM examOutline WHERE id LIKE ?"), {textValue(idPattern)}))
        return -1;
    if (query.next())
        content = query.value(0).toString();
    return 0;
}

int SqliteClass::examOutlineRows(QList<ExamOutlineData *> &out, const QString &idPattern)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select * FROM examOutline WHERE id LIKE ?"), {textValue(idPattern)},
                    [&](const Row &row) {
                        auto *outline = new ExamOutlineData;
                        outline->content = row.value(1).toString();
                        outline->id = row.value(0).toString();
                        outline->thirdColumn = row.value(2).toString();
                        out.append(outline);
                        return true;
                    },
                    StepFailure::EndsRows);
}
