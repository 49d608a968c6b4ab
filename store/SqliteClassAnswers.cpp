#include "SqliteClass.h"
#include "StoreValues.h"

#include "OfflineReportClient.h"
#include "QuestionData.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QtDebug>

using namespace storevalues;

int SqliteClass::recordAnswer(int queId, const QString &answer, const QString &state,
                              const QString &logType)
{
    const QString time = nowText();
    // The log row and the question row hold the same answer: both or neither.
    const int result = runInTransaction([&] {
        if (runStatement(QStringLiteral("insert into tQueLog (queId, type, userStatus, userAnswer, "
                                        "userTime) values(?, ?, ?, ?, ?)"),
                         {numberText(queId), textValue(logType), textValue(state), textValue(answer), time})
            < 0)
            return -1;
        return runStatement(QStringLiteral("Update tQue set userStatus = ? ,userAnswer = ? "
                                           ",userTime = ? where queId=?"),
                            {textValue(state), textValue(answer), time, numberText(queId)});
    });
    // Outside the lock: the receiver may show a message.
    if (result < 0)
        emit sendAnswerNotSaved(threadLastErrorText());
    return result;
}

int SqliteClass::saveNote(int queId, const QString &note)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("update tQue set userNote=? where queId=?"),
                        {textValue(note), numberText(queId)});
}

int SqliteClass::readNote(int queId, QString &note)
{
    const StoreLocker locker(storeMutex);
    return readRows(QStringLiteral("select userNote from tQue where queId=?"), {numberText(queId)},
                    [&](const Row &row) {
                        note = row.value(0).toString();
                        return true;
                    });
}

int SqliteClass::setFavourite(int queId, int flag)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("update tQue set userFav=? where queId=?"),
                        {numberText(flag), numberText(queId)});
}

int SqliteClass::loadQuestionState(QuestionData *&record, int queId)
{
    const StoreLocker locker(storeMutex);
    const QString sql = QStringLiteral(
        "select answer,userAnswer,userStatus,userNote,userFav  from tQue where queId = ? and "
        "IsDel != '1' ");
    QSqlQuery query = newQuery();
    if (!runQuery(query, sql, {numberText(queId)}))
        return -1;
    record = new QuestionData;
    while (query.next()) {
        record->queId = queId;
        record->answer = query.value(0).toString();
        record->userAnswer = query.value(1).toString();
        record->userStatus = query.value(2).toInt();
        record->userNote = query.value(3).toString();
        record->userFav = query.value(4).toInt() != 0;
        if (loadOptions(record->options, queId) != 0)
            return -1;
    }
    return rowsComplete(query, sql) ? 0 : -1;
}

int SqliteClass::saveOfflineFeedback(const QString &text, const QString &type,
                                     const QString &time)
{
    const StoreLocker locker(storeMutex);
    return runStatement(
        QStringLiteral("insert into tQueLog ( type, userNote, userTime) values(?, ?, ?)"),
        {textValue(type), textValue(text), time});
}

int SqliteClass::saveOfflineErrorReport(const QString &text, const QString &type, int conType,
                                        int queId, const QString &queText)
{
    const StoreLocker locker(storeMutex);
    return runStatement(QStringLiteral("insert into tQueLog (type, userNote, queId,userAnswer,"
                                       "userFav) values(?, ?, ?, ?, ?)"),
                        {textValue(type), textValue(text), numberText(queId), textValue(queText),
                         numberText(conType)});
}

int SqliteClass::postOfflineQueue()
{
    const StoreLocker locker(storeMutex);
    // Without a client the queue waits for a later start. One post at a
    // time: while one is out, its reply goes on through the queue.
    if (!login || queuePosting)
        return 0;
    // An empty text, not a null one: null would compare as unknown.
    return postQueuedReportAfter(QStringLiteral(""), -1);
}

int SqliteClass::postQueuedReportAfter(const QString &type, qint64 rowId)
{
    const StoreLocker locker(storeMutex);
    queuePosting = false;
    // Feedback ("002") before error reports ("003"), each in the order queued.
    const QString sql = QStringLiteral(
        "select rowid,type,userNote,userTime,queId,userAnswer,userFav from tQueLog where type in "
        "('002', '003') and (type, rowid) > (?, ?) order by type, rowid limit 1");
    Row queued;
    if (readRows(sql, {type, rowId}, [&queued](const Row &row) {
            queued = row;
            return true;
        })
        != 0)
        return -1;
    if (queued.isEmpty())
        return 0;
    const qint64 postedRowId = queued.value(0).toLongLong();
    const QString postedType = queued.value(1).toString();
    const QString text = queued.value(2).toString();

    // The next row goes out when this one's reply is in, and only the
    // service's confirmation of this very row removes it; anything else
    // leaves it for the next start. Matching the text too keeps the delete
    // off another bank's row should the connection have been switched.
    queuePosting = true;
    login->setReplyHandler([this, postedRowId, postedType, text](int status) {
        const StoreLocker locker(storeMutex);
        if (status == 0
            && runStatement(QStringLiteral("delete from tQueLog where rowid = ? and type = ? "
                                           "and userNote is ?"),
                            {postedRowId, postedType, text})
                   != 0)
            qDebug() << lastErrorText();
        if (postQueuedReportAfter(postedType, postedRowId) != 0)
            qDebug() << lastErrorText();
    });
    if (postedType == QLatin1String("002"))
        login->submitFeedback(text, queued.value(3).toString());
    else
        login->submitErrorReport(text, queued.value(6).toInt(), queued.value(4).toInt(),
                                 queued.value(5).toString());
    return 0;
}
