#include "FixtureBank.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QtTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Rows on top of the standard fixture:
//   chapter 400: group 401 (type 3, ord 1) with 4012, 4011, 4013 by ord and
//                the deleted 4014; group 402 (type 1, ord 2) with 4021, 4022;
//   chapter 500: groups 501 (ord 2) and 502 (ord 1) of the same type;
//   chapter 600: group 601 whose three questions share one ord;
//   group 701 (chapter 211): texts for the keyword search;
//   question 9001 (its group is missing) answered wrongly, a favourite, noted;
//   question 1015 (type 9, absent from tQueType) noted, never answered.
const char extraRows[] = R"SQL(
INSERT INTO tCate (cateId, cateName, faId, ord, choose) VALUES
  (400, '分页章节', 21, 2, '1'), (500, '同型分组', 21, 3, '1'), (600, '同序题目', 21, 4, '1');
INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) VALUES
  (401, 400, 3, '女，40岁，发热3天。', 1), (402, 400, 1, '', 2),
  (501, 500, 1, '', 2), (502, 500, 1, '', 1), (601, 600, 1, '', 1), (701, 211, 1, '', 3);
INSERT INTO tQue (queId, cateListId, queText, answer, prompt, IsDel, ord, userStatus, userAnswer) VALUES
  (4011, 401, '第二问', 'B', '解析二', '0', 2, '0', NULL), (4012, 401, '第一问', 'A', '解析一', '0', 1, '2', 'C'),
  (4013, 401, '第三问', 'C', '', '0', 3, '0', NULL), (4014, 401, '已删除的分页题', 'A', '', '1', 0, '0', NULL),
  (4021, 402, '单选一', 'A', '', '0', 1, '0', NULL), (4022, 402, '单选二', 'B', '', '0', 2, '0', NULL),
  (5011, 501, '后排分组', 'A', '', '0', 1, '0', NULL), (5021, 502, '前排分组', 'A', '', '0', 1, '0', NULL),
  (6003, 601, '同序三', 'A', '', '0', 1, '0', NULL), (6001, 601, '同序一', 'A', '', '0', 1, '0', NULL),
  (6002, 601, '同序二', 'A', '', '0', 1, '0', NULL),
  (7001, 701, 'Aspirin 与出血', 'A', '', '0', 1, '0', NULL), (7002, 701, 'it''s a trap', 'A', '', '0', 2, '0', NULL),
  (7003, 701, '50%葡萄糖', 'A', '', '0', 3, '0', NULL), (7004, 701, 'a_b 类', 'A', '', '0', 4, '0', NULL),
  (7005, 701, 'axb 类', 'A', '', '0', 5, '0', NULL), (7006, 701, '共50例', 'A', '', '0', 6, '0', NULL);
INSERT INTO tQueOpt (optName, optText, queId) VALUES
  ('A', '甲', 4011), ('B', '乙', 4011), ('A', '甲', 4012), ('A', '甲', 4013),
  ('A', '甲', 4021), ('B', '乙', 4021), ('C', '丙', 4021), ('A', '甲', 4022);
UPDATE tQue SET userStatus = '2', userAnswer = 'B', userTime = '2015-10-10 00:00:00', userFav = '1',
  userNote = '孤题笔记' WHERE queId = 9001;
UPDATE tQue SET userNote = '未知题型笔记' WHERE queId = 1015;
)SQL";

using Records = std::vector<std::unique_ptr<MainQuestion>>;

// What one chapter page call gave.
struct Page
{
    int result = 0;
    int emissions = 0;
    int offset = -1;
    int count = -1;
    Records records;
};

template<typename T>
std::vector<std::unique_ptr<T>> owned(const QList<T *> &list)
{
    std::vector<std::unique_ptr<T>> records;
    for (T *record : list)
        records.emplace_back(record);
    return records;
}

template<typename T>
QList<int> queIds(const std::vector<std::unique_ptr<T>> &records)
{
    QList<int> ids;
    for (const auto &record : records) {
        if constexpr (std::is_same_v<T, MainQuestion>) {
            for (const QuestionData *question : record->questions)
                ids << question->queId;
        } else {
            ids << record->queId;
        }
    }
    return ids;
}

// One review list: its loader and its signal.
struct ReviewList
{
    int (*load)(SqliteClass *);
    void (SqliteClass::*signal)(int, MainQuestion *);
};

const ReviewList listLoaders[] = {
    {[](SqliteClass *store) { return store->loadWrongList(); }, &SqliteClass::sendErrorQuestion},
    {[](SqliteClass *store) { return store->loadDoneList(); }, &SqliteClass::sendNewKnowQuestion},
    {[](SqliteClass *store) { return store->loadFavouriteList(); }, &SqliteClass::sendCollectoQuestion},
    {[](SqliteClass *store) { return store->loadNoteList(); }, &SqliteClass::sendNoteQuestion},
};
enum { WrongList, DoneList, FavouriteList, NoteList };

// Makes the option statement of table fail on the rows that match condition
// (at the first row, or in the middle of a question's options); the table
// comes back when the guard goes.
class FailingOptions
{
public:
    FailingOptions(const QString &table, const QString &condition) : table(table)
    {
        ok = run(QStringLiteral("ALTER TABLE %1 RENAME TO %1Rows").arg(table))
             && run(QStringLiteral("CREATE VIEW %1 AS SELECT optId, optName, CASE WHEN %2 "
                                   "THEN abs(-9223372036854775807 - 1) ELSE optText END AS optText, queId "
                                   "FROM %1Rows").arg(table, condition));
    }
    ~FailingOptions()
    {
        run(QStringLiteral("DROP VIEW IF EXISTS %1").arg(table));
        run(QStringLiteral("ALTER TABLE %1Rows RENAME TO %1").arg(table));
    }
    bool ok = false;

private:
    static bool run(const QString &sql) { return SqliteClass::instance()->execSql(sql) == 0; }
    QString table;
};

} // namespace

class TestLoaders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadOptions();
    void groupHeader();
    void loadGroups();
    void loadReportGroupsEmitsEachGroup();
    void answerModes_data();
    void answerModes();
    void loadPaperGroupQuestions();
    void loadChapterPage_data();
    void loadChapterPage();
    void pagesNeitherRepeatNorSkip();
    void reviewLists_data();
    void reviewLists();
    void reviewListRecord_data();
    void reviewListRecord();
    void storedTimes_data();
    void storedTimes();
    void searchQuestions_data();
    void searchQuestions();
    void searchHitTexts();
    void searchWithNullKeyword();
    void failingOptions_data();
    void failingOptions();
    void failingChapterPageEmitsNothing();

private:
    SqliteClass *store() const { return SqliteClass::instance(); }
    QueTypeData *type(int queTypeId) const;
    Page chapterPage(int cateId, int offset, int count);
    // Runs a review list; its records with the indices they came with.
    Records reviewList(int list, QList<int> *indices = nullptr, int *result = nullptr);

    FixtureBank bank;
};

void TestLoaders::initTestCase()
{
    bank.addSql(QString::fromUtf8(extraRows));
    QVERIFY2(bank.open(), qPrintable(bank.error()));
    QCOMPARE(store()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0), 2);
    QCOMPARE(store()->loadQuestionTypes(), 0);
    QVERIFY(type(1));
    QVERIFY(!type(9));
}

QueTypeData *TestLoaders::type(int queTypeId) const
{
    QueTypeData *record = nullptr;
    store()->questionType(record, queTypeId);
    return record;
}

Page TestLoaders::chapterPage(int cateId, int offset, int count)
{
    Page page;
    QObject receiver;
    connect(store(), &SqliteClass::sendQuestionBycateIdBycount, &receiver,
            [&page](const QList<MainQuestion *> &records, int pageOffset, int pageCount) {
                ++page.emissions;
                for (MainQuestion *record : records)
                    page.records.emplace_back(record);
                page.offset = pageOffset;
                page.count = pageCount;
            });
    page.result = store()->loadChapterPage(cateId, offset, count);
    return page;
}

Records TestLoaders::reviewList(int list, QList<int> *indices, int *result)
{
    Records records;
    QObject receiver;
    connect(store(), listLoaders[list].signal, &receiver, [&](int index, MainQuestion *group) {
        records.emplace_back(group);
        if (indices)
            *indices << index;
    });
    const int loaded = listLoaders[list].load(store());
    if (result)
        *result = loaded;
    return records;
}

void TestLoaders::loadOptions()
{
    QList<OptionData *> list;
    QCOMPARE(store()->loadOptions(list, 1018), 0);
    QCOMPARE(store()->loadOptions(list, 1010), 0); // a fill-in question has none
    QCOMPARE(store()->loadPaperOptions(list, 5008), 0);
    const auto options = owned(list);

    QCOMPARE(int(options.size()), 7);
    const QStringList names{"A", "B", "C", "D", "E", "A", "B"};
    const QStringList texts{"[img50.png]", "[img100.png]", "[img101.png]", "[img150.png]", "[missing.png]",
                            "正确", "错误"};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(options[i]->optName, names[i]);
        QCOMPARE(options[i]->optText, texts[i]);
        QCOMPARE(options[i]->queId, i < 5 ? 1018 : 5008);
        QVERIFY(!options[i]->selected);
    }
    QVERIFY(options[0]->optId > 0);
    QCOMPARE(options[1]->optId, options[0]->optId + 1);
}

void TestLoaders::groupHeader()
{
    QueTypeData *found = nullptr;
    QString stem;
    QCOMPARE(store()->groupHeader(found, stem, 103), 0);
    QCOMPARE(found, type(3));
    QCOMPARE(stem, QStringLiteral("男，65岁，反复咳嗽、咳痰20年，气急5年。[img101.png]"));

    QCOMPARE(store()->groupHeader(found, stem, 112), 0);
    QCOMPARE(found, nullptr);
    QCOMPARE(stem, QString());

    // No row: both stay as they were.
    QueTypeData sentinel;
    found = &sentinel;
    stem = QStringLiteral("kept");
    QCOMPARE(store()->groupHeader(found, stem, 998), 0);
    QCOMPARE(found, &sentinel);
    QCOMPARE(stem, QStringLiteral("kept"));
}

void TestLoaders::loadGroups()
{
    QList<MainQuestion *> list;
    QCOMPARE(store()->loadGroups(list, 111), 0);
    QCOMPARE(store()->loadGroups(list, 500), 0);
    const Records groups = owned(list);

    QList<int> ids;
    for (const auto &group : groups)
        ids << group->cateListId;
    // By the groups' ord, not their id or type.
    QCOMPARE(ids, (QList<int>{102, 103, 101, 104, 105, 106, 502, 501}));

    const MainQuestion &stemGroup = *groups[1];
    QCOMPARE(stemGroup.cateId, 111);
    QCOMPARE(stemGroup.queTypeId, 3);
    QCOMPARE(stemGroup.kind, 1);
    QCOMPARE(stemGroup.queType, type(3));
    QVERIFY(stemGroup.publicQueText.endsWith(QStringLiteral("[img101.png]")));
    QCOMPARE(stemGroup.questions.size(), 2);
    QCOMPARE(stemGroup.questions[0]->queId, 1004);
    QCOMPARE(stemGroup.questions[1]->queId, 1003);
    QCOMPARE(stemGroup.questions[0]->cateListId, 103);
    QCOMPARE(stemGroup.questions[0]->options.size(), 5);
    QCOMPARE(stemGroup.questions[0]->userTime, QDateTime(QDate(2015, 10, 2), QTime(9, 30)));
    QVERIFY(stemGroup.questions[1]->userTime.isNull());
    // The deleted question of group 104 is left out.
    QCOMPARE(groups[3]->questions.size(), 1);
    QCOMPARE(groups[3]->questions[0]->queId, 1005);
}

void TestLoaders::loadReportGroupsEmitsEachGroup()
{
    Records groups;
    QObject receiver;
    connect(store(), &SqliteClass::sendQuickQuestion, &receiver, [&](MainQuestion *group) {
        // Complete when handed over.
        QCOMPARE(group->questions.isEmpty(), false);
        groups.emplace_back(group);
    });
    QCOMPARE(store()->loadReportGroups(400), 0);

    QCOMPARE(int(groups.size()), 2);
    QCOMPARE(groups[0]->cateListId, 401);
    QCOMPARE(queIds(groups), (QList<int>{4012, 4011, 4013, 4021, 4022}));
    QCOMPARE(groups[0]->questions[1]->options.size(), 2);
}

void TestLoaders::answerModes_data()
{
    QTest::addColumn<bool>("paper");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("userAnswer");

    QTest::newRow("bank, mode 0") << false << 0 << "C";
    QTest::newRow("bank, mode 1") << false << 1 << "";
    QTest::newRow("bank, mode 2") << false << 2 << "C";
    QTest::newRow("paper, mode 0") << true << 0 << "B";
    QTest::newRow("paper, mode 1") << true << 1 << "";
    QTest::newRow("paper, mode 2") << true << 2 << "";
}

void TestLoaders::answerModes()
{
    QFETCH(bool, paper);
    QFETCH(int, mode);
    QFETCH(QString, userAnswer);

    // 1004 and 5001 hold the answers "C" and "B".
    if (paper) {
        MainQuestion group;
        QList<MainQuestion *> list;
        QCOMPARE(store()->loadPaperGroupQuestions(list, &group, 201, mode), 0);
        const Records records = owned(list);
        QCOMPARE(int(records.size()), 1);
        QCOMPARE(records[0]->questions[0]->userAnswer, userAnswer);
    } else {
        QList<QuestionData *> list;
        QCOMPARE(store()->loadGroupQuestions(list, 103, mode), 0);
        const auto questions = owned(list);
        QCOMPARE(questions[0]->queId, 1004);
        QCOMPARE(questions[0]->userAnswer, userAnswer);
        QCOMPARE(questions[0]->userStatus, 2);
    }
}

void TestLoaders::loadPaperGroupQuestions()
{
    MainQuestion group;
    group.cateListId = 202;
    group.cateId = 1;
    group.queTypeId = 3;
    group.publicQueText = QStringLiteral("女，45岁，反复上腹痛5年。");
    QList<MainQuestion *> list;
    QCOMPARE(store()->loadPaperGroupQuestions(list, &group, 202, 1), 0);
    QCOMPARE(store()->loadPaperGroupQuestions(list, &group, 201, 0), 0);
    const Records records = owned(list);

    // One record per undeleted question, by ord.
    QCOMPARE(queIds(records), (QList<int>{5003, 5002, 5001}));
    for (const auto &record : records) {
        QCOMPARE(record->cateListId, 202);
        QCOMPARE(record->cateId, 1);
        QCOMPARE(record->queTypeId, 3);
        QCOMPARE(record->kind, 1);
        QCOMPARE(record->queType, type(3));
        QCOMPARE(record->publicQueText, group.publicQueText);
        QCOMPARE(record->questions.size(), 1);
    }
    QCOMPARE(records[0]->questions[0]->cateListId, 202);
    QCOMPARE(records[0]->questions[0]->options.size(), 5);
    QCOMPARE(records[0]->questions[0]->options[2]->optText, QStringLiteral("胃镜"));
    // 5001 is stored as answered right; paper questions start unanswered.
    QCOMPARE(records[2]->questions[0]->userStatus, 0);
    QCOMPARE(records[2]->questions[0]->prompt, QStringLiteral("白蛋白含量多、分子小。"));
    QCOMPARE(group.questions.size(), 0);
}

void TestLoaders::loadChapterPage_data()
{
    QTest::addColumn<int>("cateId");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("ids");

    // Type 1 before type 3, then the question's ord; the deleted one is skipped.
    QTest::newRow("first page") << 400 << 0 << 4 << QList<int>{4021, 4022, 4012, 4011};
    QTest::newRow("second page") << 400 << 4 << 4 << QList<int>{4013};
    QTest::newRow("past the end") << 400 << 5 << 4 << QList<int>{};
    // Groups of one type by id, although ord puts 502 first.
    QTest::newRow("groups by id") << 500 << 0 << 10 << QList<int>{5011, 5021};
    QTest::newRow("empty chapter") << 3 << 0 << 10 << QList<int>{};
}

void TestLoaders::loadChapterPage()
{
    QFETCH(int, cateId);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(QList<int>, ids);

    const Page page = chapterPage(cateId, offset, count);
    QCOMPARE(page.result, 0);
    QCOMPARE(page.emissions, 1);
    QCOMPARE(page.offset, offset);
    QCOMPARE(page.count, count);
    const Records &records = page.records;
    QCOMPARE(queIds(records), ids);
    for (const auto &record : records) {
        QCOMPARE(record->questions.size(), 1);
        QCOMPARE(record->cateId, cateId);
        QCOMPARE(record->queType, type(record->queTypeId));
    }
    if (cateId == 400 && offset == 0) {
        const MainQuestion &first = *records[0];
        QCOMPARE(first.cateListId, 402);
        QCOMPARE(first.kind, 0);
        QCOMPARE(first.questions[0]->options.size(), 3);
        const MainQuestion &stemmed = *records[2];
        QCOMPARE(stemmed.cateListId, 401);
        QCOMPARE(stemmed.queTypeId, 3);
        QCOMPARE(stemmed.kind, 1);
        QCOMPARE(stemmed.publicQueText, QStringLiteral("女，40岁，发热3天。"));
        const QuestionData &question = *stemmed.questions[0];
        QCOMPARE(question.queText, QStringLiteral("第一问"));
        QCOMPARE(question.answer, QStringLiteral("A"));
        QCOMPARE(question.prompt, QStringLiteral("解析一"));
        QCOMPARE(question.userAnswer, QStringLiteral("C"));
        QCOMPARE(question.userStatus, 2);
    }
}

void TestLoaders::pagesNeitherRepeatNorSkip()
{
    // The three questions of group 601 tie on type, group and ord.
    QList<int> seen;
    for (int offset = 0; offset < 3; ++offset)
        seen << queIds(chapterPage(600, offset, 1).records);
    QCOMPARE(seen, (QList<int>{6001, 6002, 6003}));
}

void TestLoaders::reviewLists_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QList<int>>("ids");

    // By answer time, never answered first; no deleted question and none
    // whose group is missing (9001).
    QTest::newRow("wrong") << int(WrongList) << QList<int>{4012, 1002, 1004, 1010, 1011};
    QTest::newRow("done") << int(DoneList)
                          << QList<int>{4012, 1001, 1002, 1004, 1005, 1007, 1008, 1010, 1011, 1018, 1020};
    QTest::newRow("favourites") << int(FavouriteList) << QList<int>{1013, 1001};
    // Neither a NULL nor an empty note counts.
    QTest::newRow("notes") << int(NoteList) << QList<int>{1015, 1001, 1002};
}

void TestLoaders::reviewLists()
{
    QFETCH(int, list);
    QFETCH(QList<int>, ids);

    QList<int> indices;
    int result = -1;
    const Records records = reviewList(list, &indices, &result);
    QCOMPARE(result, 0);
    QCOMPARE(queIds(records), ids);
    QList<int> expectedIndices;
    for (int i = 0; i < ids.size(); ++i)
        expectedIndices << i;
    QCOMPARE(indices, expectedIndices);
    for (const auto &record : records)
        QCOMPARE(record->questions.size(), 1);
}

void TestLoaders::reviewListRecord_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("queId");
    QTest::addColumn<int>("groupId");      // the question's group, alone in it
    QTest::addColumn<int>("cateListId");   // of the record: set by two lists only
    QTest::addColumn<int>("queTypeId");
    QTest::addColumn<QString>("userAnswer");
    QTest::addColumn<int>("userStatus");
    QTest::addColumn<bool>("userFav");
    QTest::addColumn<QString>("userNote");

    QTest::newRow("wrong: no answer")
        << int(WrongList) << 1002 << 102 << 0 << 2 << "" << 0 << false << "50%的人选错_注意";
    QTest::newRow("done: state")
        << int(DoneList) << 1001 << 101 << 0 << 1 << "" << 1 << true << "It's 100% sure_1";
    QTest::newRow("favourite")
        << int(FavouriteList) << 1001 << 101 << 101 << 1 << "B" << 0 << true << "It's 100% sure_1";
    QTest::newRow("note") << int(NoteList) << 1002 << 102 << 102 << 2 << "A" << 0 << false << "50%的人选错_注意";
    QTest::newRow("note of an unknown type")
        << int(NoteList) << 1015 << 112 << 112 << 9 << "" << 0 << false << "未知题型笔记";
}

void TestLoaders::reviewListRecord()
{
    QFETCH(int, list);
    QFETCH(int, queId);
    QFETCH(int, groupId);
    QFETCH(int, cateListId);
    QFETCH(int, queTypeId);
    QFETCH(QString, userAnswer);
    QFETCH(int, userStatus);
    QFETCH(bool, userFav);
    QFETCH(QString, userNote);

    const Records records = reviewList(list);
    const auto found = std::find_if(records.begin(), records.end(), [queId](const auto &record) {
        return record->questions[0]->queId == queId;
    });
    QVERIFY(found != records.end());
    const MainQuestion &group = **found;
    const QuestionData &question = *group.questions[0];
    QCOMPARE(group.cateListId, cateListId);
    QCOMPARE(group.queTypeId, queTypeId);
    QCOMPARE(group.queType, type(queTypeId));
    QCOMPARE(question.userAnswer, userAnswer);
    QCOMPARE(question.userStatus, userStatus);
    QCOMPARE(question.userFav, userFav);
    QCOMPARE(question.userNote, userNote);
    QVERIFY(question.options.isEmpty());

    // The columns every list reads, against the stored row.
    QList<QuestionData *> stored;
    QCOMPARE(store()->loadGroupQuestions(stored, groupId, 0), 0);
    const auto storedQuestions = owned(stored);
    const QuestionData &row = *storedQuestions[0];
    QCOMPARE(question.queText, row.queText);
    QCOMPARE(question.answer, row.answer);
    QCOMPARE(question.prompt, row.prompt);
    QCOMPARE(question.userTime, row.userTime);
    QCOMPARE(question.IsDel, false);
    QCOMPARE(group.publicQueText, QString());
}

void TestLoaders::storedTimes_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDateTime>("read"); // null: not a time
    const QDateTime morning(QDate(2026, 6, 15), QTime(8, 9, 10));
    QTest::newRow("stored form") << "'2026-06-15 08:09:10'" << morning;
    QTest::newRow("last second of a leap day") << "'2028-02-29 23:59:59'" << QDateTime(QDate(2028, 2, 29), QTime(23, 59, 59));
    QTest::newRow("NULL") << "NULL" << QDateTime();
    QTest::newRow("empty") << "''" << QDateTime();
    QTest::newRow("no such day") << "'2026-02-30 08:00:00'" << QDateTime();
    QTest::newRow("no such hour") << "'2026-06-15 24:00:00'" << QDateTime();
    QTest::newRow("letter in the year") << "'20a6-06-15 08:09:10'" << QDateTime();
    QTest::newRow("sign in the month") << "'2026--6-15 08:09:10'" << QDateTime();
    QTest::newRow("T between") << "'2026-06-15T08:09:10'" << QDateTime();
    QTest::newRow("words") << "'昨天'" << QDateTime();
}

void TestLoaders::storedTimes()
{
    QFETCH(QString, stored);
    QFETCH(QDateTime, read);
    const QString set = QStringLiteral("UPDATE tQue SET userTime = %1 WHERE queId = 1004");
    QCOMPARE(store()->execSql(set.arg(stored)), 0);
    QList<QuestionData *> list;
    const int result = store()->loadGroupQuestions(list, 103, 0);
    const auto questions = owned(list);
    QCOMPARE(store()->execSql(set.arg(QStringLiteral("'2015-10-02 09:30:00'"))), 0);
    QCOMPARE(result, 0);
    const auto found = std::find_if(questions.begin(), questions.end(),
                                    [](const auto &question) { return question->queId == 1004; });
    QVERIFY(found != questions.end());
    QCOMPARE((*found)->userTime.isValid(), read.isValid());
    if (read.isValid()) {
        QCOMPARE((*found)->userTime, read);
        QCOMPARE((*found)->userTime.timeSpec(), Qt::LocalTime);
    }
}

void TestLoaders::searchQuestions_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QList<int>>("ids");

    QTest::newRow("Chinese") << "药" << QList<int>{1019, 1020};
    QTest::newRow("as written") << "Aspirin" << QList<int>{7001};
    QTest::newRow("other case") << "aspirin" << QList<int>{7001};
    QTest::newRow("quote") << "it's" << QList<int>{7002};
    QTest::newRow("percent is a wildcard") << "50%" << QList<int>{7003, 7006};
    QTest::newRow("underscore is a wildcard") << "a_b" << QList<int>{7004, 7005};
    QTest::newRow("leading percent") << "%2" << QList<int>{1007};
    // 1015 has no type row, 1022 no chapter, 9001 no group; 1006 is deleted.
    QTest::newRow("only complete rows") << "题目" << QList<int>{1021};
    QTest::newRow("deleted") << "已删除" << QList<int>{};
}

void TestLoaders::searchQuestions()
{
    QFETCH(QString, keyword);
    QFETCH(QList<int>, ids);

    QList<SqliteData *> list;
    QCOMPARE(store()->searchQuestions(keyword, list), 0);
    const auto hits = owned(list);
    QList<int> found;
    for (const auto &hit : hits)
        found << hit->text5.toInt();
    std::sort(found.begin(), found.end());
    QCOMPARE(found, ids);
}

void TestLoaders::searchWithNullKeyword()
{
    // An empty keyword lists every complete row, whether the text is null or not.
    QList<SqliteData *> emptyList;
    QCOMPARE(store()->searchQuestions(QStringLiteral(""), emptyList), 0);
    const auto emptyHits = owned(emptyList);
    QVERIFY(!emptyHits.empty());
    QList<SqliteData *> nullList;
    QCOMPARE(store()->searchQuestions(QString(), nullList), 0);
    const auto nullHits = owned(nullList);
    QCOMPARE(int(nullHits.size()), int(emptyHits.size()));
}

void TestLoaders::searchHitTexts()
{
    QList<SqliteData *> list;
    QCOMPARE(store()->searchQuestions(QStringLiteral("确诊首选"), list), 0);
    const auto hits = owned(list);
    QCOMPARE(int(hits.size()), 1);
    const SqliteData &hit = *hits[0];
    QCOMPARE(hit.text0, QStringLiteral("呼吸练习一"));
    QCOMPARE(hit.text1, QStringLiteral("确诊首选的检查是"));
    QCOMPARE(hit.text2, QStringLiteral("A3型题"));
    QCOMPARE(hit.text3, QStringLiteral("111"));
    QCOMPARE(hit.text4, QStringLiteral("男，65岁，反复咳嗽、咳痰20年，气急5年。[img101.png]"));
    QCOMPARE(hit.text5, QStringLiteral("1004"));
    QCOMPARE(hit.text6, QStringLiteral("3"));
    QCOMPARE(hit.text7, QStringLiteral("肺功能检查是判断气流受限的主要客观指标。"));
    QVERIFY(hit.dateTime.isNull());
}

void TestLoaders::failingOptions_data()
{
    QTest::addColumn<QString>("condition");

    QTest::newRow("first option fails") << "queId = 4021";
    QTest::newRow("later option fails") << "queId = 4021 AND optName = 'B'";
}

void TestLoaders::failingOptions()
{
    QFETCH(QString, condition);

    const FailingOptions failing(QStringLiteral("tQueOpt"), condition);
    QVERIFY(failing.ok);

    // 4021 belongs to the second group of chapter 400.
    QList<MainQuestion *> list;
    QCOMPARE(store()->loadGroups(list, 400), -1);
    const Records groups = owned(list);
    QCOMPARE(int(groups.size()), 1);
    QCOMPARE(groups[0]->cateListId, 401);
    QCOMPARE(groups[0]->questions.size(), 3);
    QVERIFY2(store()->lastErrorText().contains(QStringLiteral("from tQueOpt")), qPrintable(store()->lastErrorText()));

    Records emitted;
    QObject receiver;
    connect(store(), &SqliteClass::sendQuickQuestion, &receiver,
            [&](MainQuestion *group) { emitted.emplace_back(group); });
    QCOMPARE(store()->loadReportGroups(400), -1);
    QCOMPARE(int(emitted.size()), 1);
    QCOMPARE(emitted[0]->cateListId, 401);

    QList<OptionData *> options;
    QCOMPARE(store()->loadOptions(options, 4021), -1);
    qDeleteAll(options);
}

void TestLoaders::failingChapterPageEmitsNothing()
{
    const FailingOptions failing(QStringLiteral("tQueOpt"), QStringLiteral("queId = 4012"));
    QVERIFY(failing.ok);

    const Page failed = chapterPage(400, 0, 4);
    QCOMPARE(failed.result, -1);
    QCOMPARE(failed.emissions, 0);

    // The page before the failing question still loads.
    const Page before = chapterPage(400, 0, 2);
    QCOMPARE(before.result, 0);
    QCOMPARE(queIds(before.records), (QList<int>{4021, 4022}));
}

QTEST_GUILESS_MAIN(TestLoaders)
#include "tst_loaders.moc"
