// The store on a bank whose id columns have no declared type and hold their
// ids as text: every read and write finds the same rows as on the standard
// bank, whose id columns are integers.
#include "ExamSection.h"
#include "FixtureBank.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

SqliteClass *store()
{
    return SqliteClass::instance();
}

// One column of a statement's rows, joined by ",".
QString column(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database());
    QStringList values;
    if (!query.exec(sql))
        return QStringLiteral("failed: ") + sql;
    while (query.next())
        values << (query.isNull(0) ? QStringLiteral("NULL") : query.value(0).toString());
    return values.join(QLatin1Char(','));
}

QString joined(QList<int> ids, bool sorted = false)
{
    if (sorted)
        std::sort(ids.begin(), ids.end());
    QStringList texts;
    for (int id : ids)
        texts << QString::number(id);
    return texts.join(QLatin1Char(','));
}

// "group:question(options),question(options)" per group, in order.
QString groupsText(const QList<MainQuestion *> &groups)
{
    QStringList texts;
    for (const MainQuestion *group : groups) {
        QStringList questions;
        for (const QuestionData *question : group->questions)
            questions << QStringLiteral("%1(%2)").arg(question->queId).arg(question->options.size());
        texts << QStringLiteral("%1:%2").arg(group->cateListId).arg(questions.join(QLatin1Char(',')));
    }
    return texts.join(QLatin1Char(';'));
}

// The queIds of drawn or listed one-question records, with their type.
QList<int> recordIds(const QList<MainQuestion *> &records)
{
    QList<int> ids;
    for (const MainQuestion *record : records) {
        for (const QuestionData *question : record->questions)
            ids << question->queId;
    }
    return ids;
}

// Every record a store signal carries during work, as text.
template<typename Describe, typename... Args>
QString emitted(void (SqliteClass::*signal)(Args...), const std::function<int()> &work, Describe describe)
{
    QStringList texts;
    QObject receiver;
    QObject::connect(store(), signal, &receiver, [&](Args... args) { texts << describe(args...); });
    const int result = work();
    return QStringLiteral("%1|%2").arg(result).arg(texts.join(QLatin1Char(';')));
}

QString reviewList(void (SqliteClass::*signal)(int, MainQuestion *), int (SqliteClass::*load)())
{
    return emitted(signal, [load] { return (store()->*load)(); },
                                        [](int index, MainQuestion *group) {
                                            const std::unique_ptr<MainQuestion> owned(group);
                                            return QStringLiteral("%1:%2:%3")
                                                .arg(index)
                                                .arg(group->questions.first()->queId)
                                                .arg(group->queTypeId);
                                        });
}

QString drawn(const std::function<int()> &draw)
{
    QList<int> ids;
    QObject receiver;
    QObject::connect(store(), &SqliteClass::sendTalkQuesion, &receiver,
                     [&](int, const QList<MainQuestion *> &records) {
                         ids << recordIds(records);
                         qDeleteAll(records);
                     });
    const int result = draw();
    return QStringLiteral("%1|%2").arg(result).arg(joined(ids, true));
}

using Operation = std::function<QString()>;

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestUntypedIds : public QObject
{
    Q_OBJECT

private slots:
    void idsAreStoredAsText();
    void sameResults_data();
    void sameResults();
    void chapterPageTiesGoByQueId();

private:
    static QString runOn(FixtureBank &bank, const Operation &operation);
};

QString TestUntypedIds::runOn(FixtureBank &bank, const Operation &operation)
{
    if (!bank.open())
        return bank.error();
    if (store()->openDatabase(bank.path(), phrase, 0) != 2 || store()->loadQuestionTypes() != 0)
        return store()->lastErrorText();
    const QString result = operation();
    store()->closeDatabase();
    return result;
}

void TestUntypedIds::idsAreStoredAsText()
{
    FixtureBank bank;
    bank.setUntypedIds();
    const QString types = runOn(bank, [] {
        return column(QStringLiteral("select distinct typeof(queId) || typeof(cateListId) from tQue")) + "|"
               + column(QStringLiteral("select type from pragma_table_info('tQue') where name = 'queId'")) + "|"
               + column(QStringLiteral("select count(*) from tQue where queId = 1001"));
    });
    // Text ids that an integer never equals.
    QCOMPARE(types, QStringLiteral("texttext||0"));
}

void TestUntypedIds::sameResults_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QString>("expected");

    QTest::newRow("record an answer")
        << Operation([] {
               const int result = store()->recordAnswer(1003, QStringLiteral("D"), QStringLiteral("1"),
                                                        QStringLiteral("001"));
               return QStringLiteral("%1|%2|%3").arg(result).arg(
                   column(QStringLiteral("select userStatus || userAnswer from tQue where queId = '1003'")),
                   column(QStringLiteral("select count(*) from tQueLog where queId = '1003'")));
           })
        << "0|1D|1";
    QTest::newRow("read options") << Operation([] {
        QList<OptionData *> options;
        const int result = store()->loadOptions(options, 1001);
        QStringList texts;
        for (const OptionData *option : qAsConst(options))
            texts << option->optName + option->optText;
        qDeleteAll(options);
        return QStringLiteral("%1|%2").arg(result).arg(texts.join(QLatin1Char(',')));
    }) << "0|A空气污染,B吸烟,C感染,D遗传,E职业粉尘";
    QTest::newRow("note round trip") << Operation([] {
        const int saved = store()->saveNote(1003, QStringLiteral("新笔记"));
        QString note;
        const int read = store()->readNote(1003, note);
        return QStringLiteral("%1|%2|%3").arg(saved).arg(read).arg(note);
    }) << "0|0|新笔记";
    QTest::newRow("favourite") << Operation([] {
        const int result = store()->setFavourite(1002, 1);
        return QStringLiteral("%1|%2").arg(result).arg(
            column(QStringLiteral("select userFav from tQue where queId = '1002'")));
    }) << "0|1";
    QTest::newRow("question state") << Operation([] {
        QuestionData *loaded = nullptr;
        const int result = store()->loadQuestionState(loaded, 1001);
        const std::unique_ptr<QuestionData> record(loaded);
        return QStringLiteral("%1|%2|%3|%4|%5|%6")
            .arg(result)
            .arg(record->queId)
            .arg(record->userAnswer)
            .arg(record->userStatus)
            .arg(record->userNote)
            .arg(record->options.size());
    }) << "0|1001|B|1|It's 100% sure_1|5";
    QTest::newRow("group header") << Operation([] {
        QueTypeData *type = nullptr;
        QString stem;
        const int result = store()->groupHeader(type, stem, 104);
        return QStringLiteral("%1|%2|%3").arg(result).arg(type ? type->queTypeName : QString(), stem);
    }) << "0|A4型题|女，30岁，突发胸闷、呼气性呼吸困难2小时。";
    QTest::newRow("whole groups") << Operation([] {
        QList<MainQuestion *> groups;
        const int result = store()->loadGroups(groups, 111);
        const QString text = groupsText(groups);
        qDeleteAll(groups);
        return QStringLiteral("%1|%2").arg(result).arg(text);
    }) << "0|102:1002(5);103:1004(5),1003(5);101:1001(5);104:1005(5);105:1007(5);106:1008(5),1009(5)";
    QTest::newRow("report groups") << Operation([] {
        return emitted(&SqliteClass::sendQuickQuestion, [] { return store()->loadReportGroups(111); },
                                       [](MainQuestion *group) {
                                           const std::unique_ptr<MainQuestion> owned(group);
                                           return groupsText({group});
                                       });
    }) << "0|102:1002(5);103:1004(5),1003(5);101:1001(5);104:1005(5);105:1007(5);106:1008(5),1009(5)";
    QTest::newRow("chapter page") << Operation([] {
        return emitted(
            &SqliteClass::sendQuestionBycateIdBycount, [] { return store()->loadChapterPage(111, 1, 6); },
            [](QList<MainQuestion *> page, int offset, int count) {
                const QString text = groupsText(page);
                qDeleteAll(page);
                return QStringLiteral("%1 %2 %3").arg(offset).arg(count).arg(text);
            });
    }) << "0|1 6 102:1002(5);103:1004(5);103:1003(5);104:1005(5);105:1007(5);106:1008(5)";
    QTest::newRow("wrong list") << Operation([] {
        return reviewList(&SqliteClass::sendErrorQuestion, &SqliteClass::loadWrongList);
    }) << "0|0:1002:2;1:1004:3;2:1010:10;3:1011:11";
    QTest::newRow("answered list") << Operation([] {
        return reviewList(&SqliteClass::sendNewKnowQuestion, &SqliteClass::loadDoneList);
    }) << "0|0:1001:1;1:1002:2;2:1004:3;3:1005:4;4:1007:6;5:1008:7;6:1010:10;7:1011:11;8:1018:2;9:1020:11";
    QTest::newRow("favourite list") << Operation([] {
        return reviewList(&SqliteClass::sendCollectoQuestion, &SqliteClass::loadFavouriteList);
    }) << "0|0:1013:14;1:1001:1";
    QTest::newRow("note list") << Operation([] {
        return reviewList(&SqliteClass::sendNoteQuestion, &SqliteClass::loadNoteList);
    }) << "0|0:1001:1;1:1002:2";
    QTest::newRow("search") << Operation([] {
        QList<SqliteData *> hits;
        const int result = store()->searchQuestions(QStringLiteral("药"), hits);
        QStringList texts;
        for (const SqliteData *hit : qAsConst(hits))
            texts << hit->text5 + ":" + hit->text2 + ":" + hit->text0;
        qDeleteAll(hits);
        texts.sort();
        return QStringLiteral("%1|%2").arg(result).arg(texts.join(QLatin1Char(',')));
    }) << "0|1019:A1型题:药代练习一,1020:判断题:药代练习一";
    QTest::newRow("simulated-exam questions")
        << Operation([] { return drawn([] { return store()->drawExamQuestions(50, 1); }); }) << "0|1001,1017,1021";
    QTest::newRow("simulated-exam groups")
        << Operation([] { return drawn([] { return store()->drawExamQuestions(5, 3); }); }) << "0|1003,1004";
    QTest::newRow("man-machine groups")
        << Operation([] { return drawn([] { return store()->drawRandomGroups(10, 7); }); }) << "0|1008,1009";
    QTest::newRow("man-machine questions")
        << Operation([] { return drawn([] { return store()->drawRandomQuestions(50, 1); }); })
        << "0|1001,1017,1019,1021,1022";
    QTest::newRow("prediction paper") << Operation([] {
        QList<ExamSection *> sections;
        const int typesResult = store()->paperQuestionTypes(sections, 1);
        QList<int> types;
        for (const ExamSection *section : qAsConst(sections))
            types << section->queTypeId;
        qDeleteAll(sections);
        return QStringLiteral("%1|%2|%3")
            .arg(typesResult)
            .arg(joined(types), drawn([] { return store()->loadPaperQuestions(1, 3); }));
    }) << "0|1,3|0|5002,5003";
    QTest::newRow("papers of a variant") << Operation([] {
        QList<SqliteData *> papers;
        const int result = store()->paperChapters(papers, 0, 1);
        QStringList ids;
        for (const SqliteData *paper : qAsConst(papers))
            ids << paper->text0;
        qDeleteAll(papers);
        return QStringLiteral("%1|%2").arg(result).arg(ids.join(QLatin1Char(',')));
    }) << "0|1,3";
    QTest::newRow("chapter statistics") << Operation([] {
        SqliteData *loaded = nullptr;
        const int result = store()->chapterSummary(loaded, 111);
        const std::unique_ptr<SqliteData> summary(loaded);
        QList<SqliteData *> sets;
        const int setsResult = store()->childChaptersWithStats(sets, 11);
        QStringList texts;
        for (const SqliteData *set : qAsConst(sets))
            texts << QStringList{set->text0, set->text2, set->text3, set->text4}.join(QLatin1Char(':'));
        qDeleteAll(sets);
        return QStringLiteral("%1|%2 %3 %4 %5|%6|%7")
            .arg(result)
            .arg(summary->text0, summary->text2, summary->text3, summary->text4)
            .arg(setsResult)
            .arg(texts.join(QLatin1Char(',')));
    }) << "0|111 8 4 6|0|112:6:0:2,111:8:4:6";
    QTest::newRow("quick-memorisation chapters") << Operation([] {
        return emitted(&SqliteClass::sendQuickQuestionBycateId,
                                     [] { return store()->loadQuickBackChapters(1); },
                                     [](SqliteData *chapter) {
                                         const std::unique_ptr<SqliteData> owned(chapter);
                                         return chapter->text0;
                                     });
    }) << "0|12;11;13";
    QTest::newRow("clear a chapter's records") << Operation([] {
        const int result = store()->clearChapterRecords(QStringLiteral("1,1,1"), 121);
        return QStringLiteral("%1|%2").arg(result).arg(
            column(QStringLiteral("select userStatus from tQue where cateListId in ('113', '114') order by queId")));
    }) << "0|0,0,0";
    QTest::newRow("simulated-exam set-up") << Operation([] {
        const int chosen = store()->setChapterChosen(211, 1);
        const int count = store()->setExamCount(6, 7);
        return QStringLiteral("%1|%2|%3|%4|%5")
            .arg(chosen)
            .arg(count)
            .arg(column(QStringLiteral("select choose from tCate where cateId = '211'")),
                 column(QStringLiteral("select exam_count from tQueType where queTypeId = '6'")))
            .arg(store()->groupCountOfType(1));
    }) << "0|0|1|7|5";
}

void TestUntypedIds::sameResults()
{
    QFETCH(Operation, operation);
    QFETCH(QString, expected);

    FixtureBank standard;
    QCOMPARE(runOn(standard, operation), expected);
    FixtureBank untyped;
    untyped.setUntypedIds();
    QCOMPARE(runOn(untyped, operation), expected);
}

void TestUntypedIds::chapterPageTiesGoByQueId()
{
    // queId is no row id here, and the rows go in out of order: only the
    // queId tie-break keeps pages from repeating or skipping a question.
    FixtureBank bank;
    bank.setUntypedIds();
    bank.addSql(QStringLiteral(
        "INSERT INTO tCate (cateId, cateName, faId, ord) VALUES (600, '同序题目', 21, 4);"
        "INSERT INTO tCateList (cateListId, cateId, queTypeId, publicQueText, ord) VALUES (601, 600, 1, '', 1);"
        "INSERT INTO tQue (queId, cateListId, queText, answer, IsDel, ord, userStatus) VALUES"
        "  (6003, 601, '同序三', 'A', '0', 1, '0'), (6001, 601, '同序一', 'A', '0', 1, '0'),"
        "  (6002, 601, '同序二', 'A', '0', 1, '0');"));
    const QString pages = runOn(bank, [] {
        QStringList texts;
        for (int offset = 0; offset < 3; ++offset) {
            texts << emitted(
                &SqliteClass::sendQuestionBycateIdBycount,
                [offset] { return store()->loadChapterPage(600, offset, 1); },
                [](QList<MainQuestion *> page, int, int) {
                    const QString ids = joined(recordIds(page));
                    qDeleteAll(page);
                    return ids;
                });
        }
        return texts.join(QLatin1Char(' '));
    });
    QCOMPARE(pages, QStringLiteral("0|6001 0|6002 0|6003"));
}

QTEST_GUILESS_MAIN(TestUntypedIds)
#include "tst_untyped_ids.moc"
