#include "SqliteClass.h"
#include "StoreValues.h"

#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteData.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <memory>

using namespace storevalues;

namespace {

const int notRead = -1;

// Where a statement puts each question column; notRead leaves the field as
// constructed.
struct QuestionColumns
{
    int queId;
    int queText;
    int answer;
    int IsDel;
    int userNote;
    int userStatus;
    int userAnswer;
    int userTime;
    int userFav;
    int prompt;
};

// The column order of the group statements of tQue and ytQue.
const QuestionColumns groupColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

QuestionColumns withoutUserAnswer(QuestionColumns columns)
{
    columns.userAnswer = notRead;
    return columns;
}

// The one way a question record is read from a row.
std::unique_ptr<QuestionData> questionFromRow(const QVariantList &row, const QuestionColumns &columns)
{
    auto question = std::make_unique<QuestionData>();
    const auto read = [&row](int column, auto &field, auto convert) {
        if (column != notRead)
            field = convert(row.value(column));
    };
    const auto toInt = [](const QVariant &value) { return value.toInt(); };
    const auto toText = [](const QVariant &value) { return value.toString(); };
    const auto toFlag = [](const QVariant &value) { return value.toInt() != 0; };
    read(columns.queId, question->queId, toInt);
    read(columns.queText, question->queText, toText);
    read(columns.answer, question->answer, toText);
    read(columns.IsDel, question->IsDel, toFlag);
    read(columns.userNote, question->userNote, toText);
    read(columns.userStatus, question->userStatus, toInt);
    read(columns.userAnswer, question->userAnswer, toText);
    read(columns.userTime, question->userTime, storedTime);
    read(columns.userFav, question->userFav, toFlag);
    read(columns.prompt, question->prompt, toText);
    return question;
}

// The chapter's groups in their order; tCateList is read by position.
const QString groupsSql = QStringLiteral("select * from tCateList where cateId = ? order by ord");

// Where a review list's key rows put their columns.
enum KeyColumn { KeyRowId, KeyUserTime };

} // namespace

// What distinguishes the four review lists: their statement is "select
// columns from tQue a, tCateList b where condition order by a.userTime".
struct SqliteClass::QuestionList
{
    QString columns;
    QString condition;
    QuestionColumns questionColumns;
    int cateListIdColumn;
    // The favourite and note lists also give the group its id.
    bool setsGroupId;
    // The favourite statement selects favourites only.
    bool favourites;
    void (SqliteClass::*signal)(int, MainQuestion *);
};

int SqliteClass::loadOptions(QList<OptionData *> &options, int queId)
{
    return loadOptionsFrom(QStringLiteral("select optId,optName,optText from tQueOpt where queId = ?"),
                           options, queId);
}

int SqliteClass::loadPaperOptions(QList<OptionData *> &options, int queId)
{
    return loadOptionsFrom(QStringLiteral("select optId,optName,optText from ytQueOpt where queId = ?"),
                           options, queId);
}

int SqliteClass::loadOptionsFrom(const QString &sql, QList<OptionData *> &options, int queId)
{
    return readRows(sql, {numberText(queId)}, [&](const Row &row) {
        auto *option = new OptionData;
        option->optId = row.value(0).toInt();
        option->queId = queId;
        option->optName = row.value(1).toString();
        option->optText = row.value(2).toString();
        options << option;
        return true;
    });
}

int SqliteClass::loadGroupQuestions(QList<QuestionData *> &questions, int cateListId, int answerMode)
{
    const QString sql = QStringLiteral(
        "select tQue.queId,tQue.queText,tQue.answer,tQue.IsDel,tQue.userNote,tQue.userStatus,tQue.userAnswer,"
        "tQue.userTime,tQue.userFav,tQue.prompt from tQue where tQue.cateListId = ? and tQue.IsDel != '1' "
        "order by ord");
    const QuestionColumns columns = answerMode == 1 ? withoutUserAnswer(groupColumns) : groupColumns;
    return readRows(sql, {numberText(cateListId)}, [&](const Row &row) {
        std::unique_ptr<QuestionData> question = questionFromRow(row, columns);
        question->cateListId = cateListId;
        if (loadOptions(question->options, question->queId) != 0)
            return false;
        questions << question.release();
        return true;
    });
}

int SqliteClass::loadGroups(QList<MainQuestion *> &groups, int cateId)
{
    return loadWholeGroups(cateId, &groups);
}

int SqliteClass::loadReportGroups(int cateId)
{
    return loadWholeGroups(cateId, nullptr);
}

int SqliteClass::loadWholeGroups(int cateId, QList<MainQuestion *> *groups)
{
    return readRows(groupsSql, {numberText(cateId)}, [&](const Row &row) {
        std::unique_ptr<MainQuestion> group(
            newGroup(row.value(0).toInt(), cateId, row.value(2).toInt(), row.value(3).toString()));
        if (loadGroupQuestions(group->questions, group->cateListId, 0) != 0)
            return false;
        if (groups)
            *groups << group.release();
        else
            emit sendQuickQuestion(group.release());
        return true;
    });
}

MainQuestion *SqliteClass::newGroup(int cateListId, int cateId, int queTypeId, const QString &stem) const
{
    auto *group = new MainQuestion;
    group->cateListId = cateListId;
    group->cateId = cateId;
    group->queTypeId = queTypeId;
    group->setQueType(queTypeId);
    group->queType = typeRecord(queTypeId);
    group->publicQueText = stem;
    return group;
}

QueTypeData *SqliteClass::typeRecord(int queTypeId) const
{
    const StoreLocker locker(storeMutex);
    return questionTypes.value(queTypeId);
}

int SqliteClass::groupHeader(QueTypeData *&type, QString &stem, int cateListId)
{
    int queTypeId = 0;
    return readGroupHeader(cateListId, queTypeId, type, stem);
}

int SqliteClass::readGroupHeader(int cateListId, int &queTypeId, QueTypeData *&type, QString &stem)
{
    const QString sql = QStringLiteral("select queTypeId,publicQueText from tCateList where cateListId=?");
    return readRows(sql, {numberText(cateListId)}, [&](const Row &row) {
        queTypeId = row.value(0).toInt();
        type = typeRecord(queTypeId);
        stem = row.value(1).toString();
        return true;
    });
}

int SqliteClass::loadChapterPage(int cateId, int offset, int count)
{
    // queId last: rows that tie on every other key keep one order from page
    // to page, so none is repeated or skipped.
    const QString sql = QStringLiteral(
        "select tCateList.queTypeId,tCateList.publicQueText,tQue.queId, tQue.queText,tQue.answer,tQue.IsDel,"
        "tQue.userNote,tQue.userFav,tQue.prompt,tQue.userAnswer,tQue.userStatus,tQue.cateListId  "
        "from tCateList ,tQue where tCateList.cateId = ? and tCateList.cateListId ==tQue.cateListId "
        "and tQue.IsDel != '1' order by tCateList.queTypeId ,tQue.cateListId, tQue.ord, tQue.queId LIMIT ?,?");
    const QuestionColumns columns = {2, 3, 4, 5, 6, 10, 9, notRead, 7, 8};
    QList<MainQuestion *> page;
    const int read = readRows(sql, {numberText(cateId), numberText(offset), numberText(count)}, [&](const Row &row) {
        std::unique_ptr<MainQuestion> record(
            newGroup(row.value(11).toInt(), cateId, row.value(0).toInt(), row.value(1).toString()));
        std::unique_ptr<QuestionData> question = questionFromRow(row, columns);
        if (loadOptions(question->options, question->queId) != 0)
            return false;
        record->questions << question.release();
        page << record.release();
        return true;
    });
    if (read != 0) {
        qDeleteAll(page);
        return -1;
    }
    emit sendQuestionBycateIdBycount(page, offset, count);
    return 0;
}

int SqliteClass::loadWrongList()
{
    return loadQuestionList(
        {QStringLiteral("a.queId,a.queText,a.answer,a.IsDel,a.userNote,a.userAnswer,a.userTime,a.userFav,"
                        "a.cateListId,a.prompt,b.queTypeId,b.publicQueText "),
         QStringLiteral("a.userStatus = '2' and a.cateListId = b.cateListId and a.IsDel != '1'"),
         {0, 1, 2, 3, 4, notRead, notRead, 6, 7, 9}, 8, false, false, &SqliteClass::sendErrorQuestion});
}

int SqliteClass::loadDoneList()
{
    return loadQuestionList(
        {QStringLiteral("a.queId,a.queText,a.answer,a.IsDel,a.userNote,a.userAnswer,a.userTime,a.userFav,"
                        "a.cateListId,a.prompt,a.userStatus ,b.queTypeId,b.publicQueText "),
         QStringLiteral("a.userStatus != '0' and a.cateListId = b.cateListId and a.IsDel != '1'"),
         {0, 1, 2, 3, 4, 10, notRead, 6, 7, 9}, 8, false, false, &SqliteClass::sendNewKnowQuestion});
}

int SqliteClass::loadFavouriteList()
{
    return loadQuestionList(
        {QStringLiteral("a.queId,a.queText,a.answer,a.IsDel,a.userNote,a.userAnswer,a.userTime,a.prompt,"
                        "a.cateListId,b.queTypeId,b.publicQueText "),
         QStringLiteral("a.userFav = '1' and a.cateListId = b.cateListId and a.IsDel != '1'"),
         {0, 1, 2, 3, 4, notRead, 5, 6, notRead, 7}, 8, true, true, &SqliteClass::sendCollectoQuestion});
}

int SqliteClass::loadNoteList()
{
    return loadQuestionList(
        {QStringLiteral("a.queId,a.queText,a.answer,a.IsDel,a.userNote,a.userAnswer,a.userTime,a.userFav,"
                        "a.prompt,a.cateListId,b.queTypeId,b.publicQueText "),
         QStringLiteral("a.userNote != '' and a.cateListId = b.cateListId and a.IsDel != '1'"),
         {0, 1, 2, 3, 4, notRead, 5, 6, 7, 8}, 9, true, false, &SqliteClass::sendNoteQuestion});
}

int SqliteClass::loadQuestionList(const QuestionList &list)
{
    // The list's rows by answer time, as "order by a.userTime" would give
    // them; the engine would sort the whole table in one step, so the keys
    // are read window by window and sorted here, and the rows then read a
    // few at a time by key (one that no longer belongs to the list is left
    // out).
    const QString fromWhere =
        QStringLiteral("from tQue a, tCateList b where ") + list.condition + QStringLiteral(" and %1");
    QList<Row> keys;
    if (readKeys(QStringLiteral(", a.userTime"), fromWhere, {}, QStringLiteral("tQue"), QStringLiteral("a"), keys)
        != 0)
        return -1;
    // Stable: rows of one time keep the table's order.
    std::stable_sort(keys.begin(), keys.end(), [](const Row &a, const Row &b) {
        return storedBefore(a.value(KeyUserTime), b.value(KeyUserTime));
    });
    int index = 0;
    return readRowsInOrder(list.columns, fromWhere, {}, QStringLiteral("a"), keys,
                           [&](const Row &row) { return emitListRow(list, row, index++); });
}

// One row of a review list (its columns, then the group's type and stem,
// then the rowid) as a record of its own, emitted with its index. The type
// comes with the row: a statement of its own per row would cost a long
// list more than the list's own read.
bool SqliteClass::emitListRow(const QuestionList &list, const Row &row, int index)
{
    auto group = std::make_unique<MainQuestion>();
    std::unique_ptr<QuestionData> question = questionFromRow(row, list.questionColumns);
    if (list.favourites)
        question->userFav = true;
    const int cateListId = row.value(list.cateListIdColumn).toInt();
    group->queTypeId = row.value(row.size() - 3).toInt();
    group->queType = typeRecord(group->queTypeId);
    if (list.setsGroupId)
        group->cateListId = cateListId;
    group->publicQueText = row.value(row.size() - 2).toString();
    group->questions << question.release();
    emit (this->*list.signal)(index, group.release());
    return true;
}

int SqliteClass::searchQuestions(const QString &keyword, QList<SqliteData *> &hits)
{
    // The keyword is bound: a quote in it cannot end the pattern, while "%"
    // and "_" stay LIKE wildcards. The questions are searched window by
    // window, each a short statement.
    const QString sql = QStringLiteral(
        "select a.cateName, c.queText, d.queTypeId,a.cateId, b.publicQueText,c.queId,c.prompt "
        "from tCate a, tCateList b, tQue c,tQueType d where a.cateId = b.cateId and b.cateListId = c.cateListId "
        "and b.queTypeId = d.queTypeId and  c.IsDel != '1' and c.queText LIKE '%' || ? || '%' and %1");
    return readInWindows(QStringLiteral("tQue"), QStringLiteral("c"), [&](const QString &window, QVariantList values) {
        values.prepend(textValue(keyword));
        return readRows(sql.arg(window), values, [&](const Row &row) {
            auto *hit = new SqliteData;
            const int queTypeId = row.value(2).toInt();
            hit->text0 = row.value(0).toString();
            hit->text1 = row.value(1).toString();
            hit->text2 = typeName(queTypeId);
            hit->text3 = row.value(3).toString();
            hit->text4 = row.value(4).toString();
            hit->text5 = row.value(5).toString();
            hit->text6 = QString::number(queTypeId);
            hit->text7 = row.value(6).toString();
            hits << hit;
            return true;
        });
    });
}

QString SqliteClass::typeName(int queTypeId) const
{
    const StoreLocker locker(storeMutex);
    const QueTypeData *type = questionTypes.value(queTypeId);
    return type ? type->queTypeName : QString();
}

int SqliteClass::loadPaperGroupQuestions(QList<MainQuestion *> &records, const MainQuestion *group,
                                         int cateListId, int answerMode)
{
    const QString sql = QStringLiteral(
        "select ytQue.queId,ytQue.queText,ytQue.answer,ytQue.IsDel,ytQue.userNote,ytQue.userStatus,"
        "ytQue.userAnswer,ytQue.userTime,ytQue.userFav,ytQue.prompt from ytQue where ytQue.cateListId = ? "
        "and IsDel != '1' order by ytQue.ord");
    // Paper questions always start unanswered.
    QuestionColumns columns = groupColumns;
    columns.userStatus = notRead;
    if (answerMode != 0)
        columns = withoutUserAnswer(columns);
    return readRows(sql, {numberText(cateListId)}, [&](const Row &row) {
        std::unique_ptr<MainQuestion> record(
            newGroup(group->cateListId, group->cateId, group->queTypeId, group->publicQueText));
        std::unique_ptr<QuestionData> question = questionFromRow(row, columns);
        question->cateListId = cateListId;
        if (loadPaperOptions(question->options, question->queId) != 0)
            return false;
        record->questions << question.release();
        records << record.release();
        return true;
    });
}

bool SqliteClass::rowsComplete(const QSqlQuery &query, const QString &sql)
{
    // A step that fails mid-way ends next() like the last row does.
    if (!query.lastError().isValid())
        return true;
    setLastError(QStringLiteral("%1:%2").arg(sql, query.lastError().text()));
    return false;
}
