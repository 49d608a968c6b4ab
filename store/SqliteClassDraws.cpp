#include "SqliteClass.h"
#include "StoreValues.h"

#include "ExamSection.h"
#include "MainQuestion.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteData.h"

#include <QSqlQuery>
#include <QtDebug>

#include <memory>

using namespace storevalues;

namespace {

// A drawn question starts unanswered, whatever the bank recorded.
QuestionData *newDrawnQuestion(int queId, const QString &queText, const QString &answer,
                               const QString &prompt)
{
    auto *question = new QuestionData;
    question->queId = queId;
    question->queText = queText;
    question->answer = answer;
    question->prompt = prompt;
    return question;
}

} // namespace

int SqliteClass::drawExamQuestions(int count, int queTypeId)
{
    QList<MainQuestion *> drawn;
    const int result = isGroupType(queTypeId) ? randomChosenGroups(drawn, count, queTypeId)
                                              : randomChosenQuestions(drawn, count, queTypeId);
    // The part gets its list even when the draw failed part-way.
    emit sendTalkQuesion(queTypeId, drawn);
    return result;
}

int SqliteClass::randomChosenQuestions(QList<MainQuestion *> &out, int count, int queTypeId)
{
    // An inner join: a group without an undeleted question yields no row
    // (it would otherwise become a blank question and use up the count).
    return readRandomRows(
        QStringLiteral("tCate.cateId,tCateList.cateListId,tQue.queText,tQue.queId,tCateList.publicQueText,"
                       "tQue.answer,tQue.prompt"),
        QStringLiteral("from tCate inner join tCateList on  tCate.cateId = tCateList.cateId and tCate.choose = '1' "
                       "and tCateList.queTypeId = ? inner join tQue on tQue.cateListId = tCateList.cateListId "
                       "and tQue.IsDel != '1' where %1"),
        // Deleted questions are left to the row statement: the keys come
        // from the question index alone.
        QStringLiteral("select tQue.rowid from tCate inner join tCateList on tCate.cateId = tCateList.cateId "
                       "and tCate.choose = '1' and tCateList.queTypeId = ? "
                       "inner join tQue on tQue.cateListId = tCateList.cateListId"),
        {numberText(queTypeId)}, QStringLiteral("tQue"), count, [&](const Row &row) {
        std::unique_ptr<MainQuestion> group(newGroup(
            row.value(1).toInt(), row.value(0).toInt(), queTypeId, row.value(4).toString()));
        std::unique_ptr<QuestionData> question(
            newDrawnQuestion(row.value(3).toInt(), row.value(2).toString(),
                             row.value(5).toString(), row.value(6).toString()));
        if (loadOptions(question->options, question->queId) != 0)
            return false;
        group->questions << question.release();
        out << group.release();
        return true;
    });
}

int SqliteClass::randomChosenGroups(QList<MainQuestion *> &out, int count, int queTypeId)
{
    return drawGroups(true, count, queTypeId, &out);
}

int SqliteClass::loadGroupQuestionRecords(QList<MainQuestion *> &out, const MainQuestion *group,
                                          int cateListId, int answerMode)
{
    QList<QuestionData *> questions;
    const int result = loadGroupQuestions(questions, cateListId, answerMode);
    for (QuestionData *question : qAsConst(questions)) {
        // A drawn question starts unanswered.
        question->userStatus = 0;
        MainQuestion *record = newGroup(group->cateListId, group->cateId, group->queTypeId,
                                        group->publicQueText);
        record->questions << question;
        out << record;
    }
    return result;
}

int SqliteClass::drawRandomGroups(int count, int queTypeId)
{
    return drawGroups(false, count, queTypeId, nullptr);
}

int SqliteClass::drawGroups(bool chosenOnly, int count, int queTypeId, QList<MainQuestion *> *out)
{
    const QString fromWhere = QStringLiteral("from tCate a,tCateList b  where  a.cateId = b.cateId and ")
                              + (chosenOnly ? QStringLiteral("a.choose='1' and ") : QString())
                              + QStringLiteral("b.queTypeId =? and %1");
    return readRandomRows(QStringLiteral("a.cateId,b.publicQueText,b.cateListId"), fromWhere,
                          QStringLiteral("select b.rowid ") + fromWhere.arg(QStringLiteral("1")),
                          {numberText(queTypeId)}, QStringLiteral("b"), count, [&](const Row &row) {
        MainQuestion group;
        group.cateId = row.value(0).toInt();
        group.queTypeId = queTypeId;
        group.cateListId = row.value(2).toInt();
        group.publicQueText = row.value(1).toString();
        // A group that fails to load gives what it made; the draw goes on.
        QList<MainQuestion *> records;
        loadGroupQuestionRecords(out ? *out : records, &group, group.cateListId, 1);
        if (!out)
            emit sendTalkQuesion(queTypeId, records);
        return true;
    });
}

int SqliteClass::drawRandomQuestions(int count, int queTypeId)
{
    return readRandomRows(
        QStringLiteral("tQue.queId,tQue.queText,tQue.answer,tQue.IsDel,tQue.prompt"),
        QStringLiteral("from tQue,tCateList where  tQue.cateListId = tCateList.cateListId and tCateList.queTypeId=? "
                       "and tQue.IsDel != '1' and %1"),
        QStringLiteral("select tQue.rowid from tCateList inner join tQue on tQue.cateListId = tCateList.cateListId "
                       "where tCateList.queTypeId = ?"),
        {numberText(queTypeId)}, QStringLiteral("tQue"), count, [&](const Row &row) {
        std::unique_ptr<QuestionData> question(
            newDrawnQuestion(row.value(0).toInt(), row.value(1).toString(),
                             row.value(2).toString(), row.value(4).toString()));
        if (loadOptions(question->options, question->queId) != 0)
            return false;
        MainQuestion *group = newGroup(0, 0, queTypeId, QString());
        group->questions << question.release();
        emit sendTalkQuesion(queTypeId, {group});
        return true;
    });
}

int SqliteClass::loadPaperQuestions(int paperCateId, int queTypeId)
{
    const QString sql = QStringLiteral(
        "select a.cateId,b.queTypeId, b.publicQueText,b.cateListId from ytCate a,ytCateList b  "
        "where a.cateId=b.cateId  and a.cateId = ?  and b.queTypeId = ? ");
    const int result = readRows(sql, {numberText(paperCateId), numberText(queTypeId)}, [&](const Row &row) {
        MainQuestion group;
        group.cateId = row.value(0).toInt();
        group.queTypeId = row.value(1).toInt();
        group.cateListId = row.value(3).toInt();
        group.publicQueText = row.value(2).toString();
        QList<MainQuestion *> records;
        loadPaperGroupQuestions(records, &group, group.cateListId, 1);
        emit sendTalkQuesion(group.queTypeId, records);
        return true;
    });
    if (result != 0 && !stopRequested())
        qDebug() << lastErrorText();
    return result;
}

int SqliteClass::paperQuestionTypes(QList<ExamSection *> &out, int paperCateId)
{
    const StoreLocker locker(storeMutex);
    const QString sql = QStringLiteral(
        "select DISTINCT (queTypeId) from ytCateList where cateId =? ORDER BY queTypeId");
    QSqlQuery query = newQuery();
    if (!runQuery(query, sql, {numberText(paperCateId)})) {
        qDebug() << lastErrorText();
        return -1;
    }
    while (query.next()) {
        auto *section = new ExamSection;
        section->queTypeId = query.value(0).toInt();
        // A type the bank does not describe gets an empty name and help text.
        if (const QueTypeData *type = typeRecord(section->queTypeId)) {
            section->name = type->queTypeName;
            section->description = type->memo;
        }
        out << section;
    }
    return rowsComplete(query, sql) ? 0 : -1;
}

int SqliteClass::paperChapters(QList<SqliteData *> &out, int faId, int hType)
{
    const StoreLocker locker(storeMutex);
    QString sql = QStringLiteral("select cateId,cateName  from ytCate where faId = ? ");
    QVariantList values{numberText(faId)};
    if (hType != 0) {
        sql += QStringLiteral("and H_type = ? ");
        values << numberText(hType);
    }
    sql += QStringLiteral("order by ord ");
    QSqlQuery query = newQuery();
    if (!runQuery(query, sql, values)) {
        qDebug() << lastErrorText();
        return -1;
    }
    while (query.next()) {
        auto *paper = new SqliteData;
        paper->text0 = query.value(0).toString();
        paper->text1 = query.value(1).toString();
        out << paper;
    }
    return rowsComplete(query, sql) ? 0 : -1;
}
