#include "SqliteClass.h"
#include "StoreValues.h"

#include "SqliteData.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

using namespace storevalues;

namespace {

// cateId and cateName from columns 0 and 1, and choose from column 2 when asked.
SqliteData *chapterRecord(const QVariantList &row, bool withChoice)
{
    auto *record = new SqliteData;
    record->text0 = row.value(0).toString();
    record->text1 = row.value(1).toString();
    if (withChoice)
        record->text7 = row.value(2).toString();
    return record;
}

// The chapter's question, right and answered counts as text, in this order;
// -1 as soon as one fails.
int writeChapterCounts(SqliteClass &store, int cateId, QString &questions, QString &right, QString &done)
{
    const int questionCount = store.chapterQuestionCount(cateId);
    if (questionCount == -1)
        return -1;
    questions = QString::number(questionCount);
    const int rightCount = store.chapterRightCount(cateId);
    if (rightCount == -1)
        return -1;
    right = QString::number(rightCount);
    const int doneCount = store.chapterDoneCount(cateId);
    if (doneCount == -1)
        return -1;
    done = QString::number(doneCount);
    return 0;
}

const QString parentOfChapter = QStringLiteral("select faId from tCate where cateId = ? ORDER BY ord ");
const QString childrenOfChapter = QStringLiteral("select cateId, cateName from tCate where faId = ? order by ord");
const QString chapterQuestionCountSql = QStringLiteral(
    "select count(a.queId) from tQue a, tCateList b, tCate c where a.cateListId = b.cateListId "
    "and b.cateId = c.cateId and c.cateId = ? and a.IsDel != '1' ");
// The chapter's own questions with the status %1: the group-and-study index
// answers it without reading the questions themselves (joined to themselves
// by id, every row was read from the table).
const QString chapterAnsweredCount = QStringLiteral(
    "select count(distinct(a.queId)) from tQue a, tCateList b, tCate c where a.cateListId = b.cateListId "
    "and b.cateId = c.cateId and c.cateId = ? and %1 and a.IsDel != '1'");
const QString chapterRightCountSql = chapterAnsweredCount.arg(QStringLiteral("a.userStatus = '1'"));
const QString chapterDoneCountSql = chapterAnsweredCount.arg(QStringLiteral("a.userStatus != '0'"));
const QString chapterLastAnswerTimeSql =
    QStringLiteral("select max(c.userTime) from tCate a, tCateList b, tQue c where a.cateId = b.cateId "
                   "and b.cateListId = c.cateListId and  a.cateId = ? and c.userStatus != '0' "
                   "and c.IsDel != '1'");
// The four in one statement: a chapter list has one per row, and four
// statements each cost more to prepare than to run.
const QString chapterStatsSql = QStringLiteral("select (%1), (%2), (%3), (%4)")
                                    .arg(chapterQuestionCountSql, chapterRightCountSql, chapterDoneCountSql,
                                         chapterLastAnswerTimeSql);

} // namespace

int SqliteClass::firstInt(const QString &sql, const QVariantList &values, int noRow)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    if (!runQuery(query, sql, values))
        return -1;
    return query.next() ? query.value(0).toInt() : noRow;
}

int SqliteClass::chapterName(QString &name, int cateId)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select cateName from tCate where cateId = ?"), {numberText(cateId)},
                    [&](const Row &row) {
                        name = row.value(0).toString();
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::questionText(QString &text, int queId)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select queText from tQue where queId = ?"), {numberText(queId)},
                    [&](const Row &row) {
                        text = row.value(0).toString();
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::lastSiblingChapterId(int cateId)
{
    const StoreLocker locker(storeMutex);
    const int faId = firstInt(parentOfChapter, {numberText(cateId)}, 0);
    if (faId == -1)
        return -1;
    return firstInt(QStringLiteral("select cateId from tCate where faId = ? ORDER BY ord DESC"),
                    {numberText(faId)}, faId);
}

int SqliteClass::chapterQuestionCount(int cateId)
{
    const StoreLocker locker(storeMutex);
    return firstInt(chapterQuestionCountSql, {numberText(cateId)}, -1);
}

int SqliteClass::chapterDoneCount(int cateId)
{
    const StoreLocker locker(storeMutex);
    return firstInt(chapterDoneCountSql, {numberText(cateId)}, -1);
}

int SqliteClass::chapterRightCount(int cateId)
{
    const StoreLocker locker(storeMutex);
    return firstInt(chapterRightCountSql, {numberText(cateId)}, -1);
}

int SqliteClass::questionCount()
{
    const StoreLocker locker(storeMutex);
    return firstInt(QStringLiteral("select count(queId) from tQue where IsDel != '1' "), {}, -1);
}

int SqliteClass::doneCount()
{
    const StoreLocker locker(storeMutex);
    return firstInt(QStringLiteral("select count(queId) from tQue where userStatus !='0' and IsDel != '1'"), {}, -1);
}

int SqliteClass::rightCount()
{
    const StoreLocker locker(storeMutex);
    return firstInt(QStringLiteral("select count(queId) from tQue where userStatus = '1' and IsDel != '1' "), {}, -1);
}

int SqliteClass::chapterLastAnswerTime(QDateTime &time, int cateId)
{
    const StoreLocker locker(storeMutex);
    QSqlQuery query = newQuery();
    if (!runQuery(query, chapterLastAnswerTimeSql, {numberText(cateId)}))
        return -1;
    if (query.next())
        time = storedTime(query.value(0));
    return 0;
}

int SqliteClass::chapterStats(SqliteData &record, int cateId)
{
    const QVariant id = numberText(cateId);
    bool read = false;
    const int result = readRows(chapterStatsSql, {id, id, id, id}, [&](const Row &row) {
        record.text2 = QString::number(row.value(0).toInt());
        record.text3 = QString::number(row.value(1).toInt());
        record.text4 = QString::number(row.value(2).toInt());
        record.dateTime = storedTime(row.value(3));
        read = true;
        return true;
    });
    return result == 0 && read ? 0 : -1;
}

int SqliteClass::chapterSummary(SqliteData *&record, int cateId)
{
    const StoreLocker locker(storeMutex);
    const QVariant id = numberText(cateId);
    QSqlQuery query = newQuery();
    if (!runQuery(query,
                  QStringLiteral("select cateId, cateName, ord, (%1), (%2), (%3), (%4) from tCate where cateId = ? "
                                 "order by ord")
                      .arg(chapterQuestionCountSql, chapterRightCountSql, chapterDoneCountSql, chapterLastAnswerTimeSql),
                  {id, id, id, id, id}))
        return -1;
    if (!query.next())
        return 0;
    record = new SqliteData;
    record->text0 = query.value(0).toString();
    record->text1 = query.value(1).toString();
    record->text2 = query.value(3).toString();
    record->text3 = query.value(4).toString();
    record->text4 = query.value(5).toString();
    record->dateTime = storedTime(query.value(6));
    return 0;
}

int SqliteClass::nextChapterSummary(int cateId, SqliteData *&record)
{
    const StoreLocker locker(storeMutex);
    const int faId = firstInt(parentOfChapter, {numberText(cateId)}, 0);
    if (faId == -1)
        return -1;
    QSqlQuery siblings = newQuery();
    if (!runQuery(siblings, QStringLiteral("select cateId from tCate where faId = ? ORDER BY ord "), {numberText(faId)}))
        return -1;
    // The row after the given chapter; the last row when there is none.
    int nextId = faId;
    bool passedGiven = false;
    while (!passedGiven && siblings.next()) {
        nextId = siblings.value(0).toInt();
        passedGiven = nextId == cateId;
    }
    if (passedGiven && siblings.next())
        nextId = siblings.value(0).toInt();

    record->text0 = QString::number(nextId);
    if (writeChapterCounts(*this, nextId, record->text5, record->text7, record->text6) == -1)
        return -1;
    // Only a failed name read fails the move; a failed time read does not.
    chapterLastAnswerTime(record->dateTime, nextId);
    return chapterName(record->text1, nextId) == -1 ? -1 : 0;
}

int SqliteClass::childChapters(QList<SqliteData *> &list, int faId)
{
    const StoreLocker locker(storeMutex);
    return readRows(childrenOfChapter, {numberText(faId)},
                    [&](const Row &row) {
                        list.append(chapterRecord(row, false));
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::childChaptersWithChoice(QList<SqliteData *> &list, int faId)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select cateId,cateName,choose from tCate where faId = ? ORDER BY ord"),
                    {numberText(faId)},
                    [&](const Row &row) {
                        list.append(chapterRecord(row, true));
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::childChaptersWithStats(QList<SqliteData *> &list, int faId)
{
    return readRows(QStringLiteral("select cateId, cateName ,choose from tCate where faId = ? order by ord"),
                    {numberText(faId)},
                    [&](const Row &row) {
                        std::unique_ptr<SqliteData> record(chapterRecord(row, true));
                        const int cateId = row.value(0).toInt();
                        if (chapterStats(*record, cateId) == -1)
                            return false;
                        list.append(record.release());
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::loadQuickBackChapters(int faId)
{
    return readRows(childrenOfChapter, {numberText(faId)},
                    [&](const Row &row) {
                        emit sendQuickQuestionBycateId(chapterRecord(row, false));
                        return true;
                    },
                    StepFailure::EndsRows);
}

int SqliteClass::recentChapters(QList<SqliteData *> &list)
{
    // Each chapter's latest answer, as "select max(c.userTime), ... group by
    // a.cateId order by c.userTime desc" gives them, gathered window by
    // window: over the whole bank at once it would hold the store for long.
    // Windows by group, not by rowid: the group-and-study index then answers
    // them without reading the questions themselves.
    enum { Time, CateId, CateName, QueId, FaId };
    const QString sql = QStringLiteral(
        "select max(c.userTime),a.cateId,a.cateName,c.queId, a.faId from tCate a,tCateList b,tQue c "
        "where a.cateId = b.cateId and b.cateListId = c.cateListId and c.userStatus != '0' and c.IsDel != '1' "
        "and %1 group by a.cateId");
    QHash<QString, Row> latest;
    const int read = readInWindows(QStringLiteral("tQue"), QStringLiteral("c"),
                                   [&](const QString &window, const QVariantList &values) {
                                       return readRows(sql.arg(window), values, [&latest](const Row &row) {
                                           Row &kept = latest[row.value(CateId).toString()];
                                           if (kept.isEmpty() || storedBefore(kept.value(Time), row.value(Time)))
                                               kept = row;
                                           return true;
                                       });
                                   },
                                   QStringLiteral("cateListId"));
    if (read != 0)
        return -1;
    // Newest first; chapters answered at the same time by id.
    QList<Row> rows = latest.values();
    std::sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) {
        if (storedBefore(b.value(Time), a.value(Time)))
            return true;
        if (storedBefore(a.value(Time), b.value(Time)))
            return false;
        return storedBefore(a.value(CateId), b.value(CateId));
    });
    const int shown = 12;
    for (const Row &row : rows.mid(0, shown)) {
        auto *record = new SqliteData;
        record->text0 = row.value(CateId).toString();
        record->text1 = row.value(CateName).toString();
        record->text2 = row.value(QueId).toString();
        record->text3 = row.value(FaId).toString();
        record->dateTime = storedTime(row.value(Time));
        list.append(record);
    }
    return 0;
}
