// The report of a graded paper and the exam record it leaves in ConfigTable.
#include "ExamRecord.h"
#include "ViewReport.h"

#include "ExamSection.h"
#include "FixtureBank.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QDateTime>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextEdit>
#include <QtTest>

#include <memory>

namespace {

const QString phrase = QString::fromLatin1(FixtureBank::builtinPhrase());

SqliteClass *store()
{
    return SqliteClass::instance();
}

// One drawn question as the exam window holds it: a record of its own,
// sharing the group id and stem with the other questions of its group.
struct Drawn
{
    int group;
    QString stem;
    QString text;
    QStringList options;   // named A, B, C ...
    QString answer;
    QString given;
    int status;
};

// Sections and their records, released with the paper.
class Paper
{
public:
    Paper() = default;
    Paper(const Paper &) = delete;
    Paper &operator=(const Paper &) = delete;
    ~Paper()
    {
        for (ExamSection *section : sections)
            qDeleteAll(section->questions);
        qDeleteAll(sections);
    }

    ExamSection *addSection(int queTypeId)
    {
        auto *section = new ExamSection;
        section->queTypeId = queTypeId;
        sections.append(section);
        return section;
    }

    // queTypeId 9 has no record in the bank: its entries carry none.
    void add(ExamSection *section, const Drawn &drawn)
    {
        auto *entry = new MainQuestion;
        entry->cateListId = drawn.group;
        entry->queTypeId = section->queTypeId;
        store()->questionType(entry->queType, section->queTypeId);
        entry->publicQueText = drawn.stem;
        auto *question = new QuestionData;
        question->cateListId = drawn.group;
        question->queText = drawn.text;
        question->answer = drawn.answer;
        question->userAnswer = drawn.given;
        question->userStatus = drawn.status;
        for (int i = 0; i < drawn.options.size(); ++i) {
            auto *option = new OptionData;
            option->optName = QString(QChar('A' + i));
            option->optText = drawn.options.at(i);
            question->options.append(option);
        }
        entry->questions.append(question);
        section->questions.append(entry);
    }

    // An entry whose question list came back empty.
    void addEmpty(ExamSection *section, int group)
    {
        auto *entry = new MainQuestion;
        entry->cateListId = group;
        entry->queTypeId = section->queTypeId;
        entry->publicQueText = QStringLiteral("不应出现的题干");
        section->questions.append(entry);
    }

    QList<ExamSection *> sections;
};

QString memo(int queTypeId)
{
    QueTypeData *type = nullptr;
    store()->questionType(type, queTypeId);
    return type->memo;
}

const QStringList twoOptions{QStringLiteral("一"), QStringLiteral("二")};

// The paragraphs of one numbered question with options one and two.
QStringList questionText(int number, const QString &text, const QString &answer, const QString &given)
{
    return {QStringLiteral("\t(%1) %2").arg(number).arg(text), QStringLiteral("\t\tA一\n"), QStringLiteral("\t\tB二\n"),
            QStringLiteral("\t\t正确答案：%1 您的答案：%2\n").arg(answer, given)};
}

// Ten questions: 6 right, 3 wrong, 1 unanswered (its state 3); two sections
// of type 1, a group of three under one stem, a quote and a picture in a
// question text, and an entry without a question that must leave no trace.
void tenQuestions(Paper &paper)
{
    ExamSection *a = paper.addSection(1);
    paper.add(a, {401, QString(), QStringLiteral("甲题"), twoOptions, QStringLiteral("A"), QStringLiteral("A"), 1});
    paper.addEmpty(a, 499);
    paper.add(a, {402, QString(), QStringLiteral("乙题"), twoOptions, QStringLiteral("B"), QStringLiteral("A"), 2});
    ExamSection *b = paper.addSection(1);
    paper.add(b, {403, QString(), QStringLiteral("丙题"), twoOptions, QStringLiteral("A"), QStringLiteral("A"), 1});
    paper.add(b, {404, QString(), QStringLiteral("丁题"), twoOptions, QStringLiteral("B"), QStringLiteral("B"), 1});
    ExamSection *c = paper.addSection(3);
    const QString stem = QStringLiteral("男，65岁，咳嗽20年。");
    paper.add(c, {405, stem, QStringLiteral("戊题"), twoOptions, QStringLiteral("A"), QStringLiteral("A"), 1});
    paper.add(c, {405, stem, QStringLiteral("己题"), twoOptions, QStringLiteral("A"), QStringLiteral("B"), 2});
    paper.add(c, {405, stem, QStringLiteral("庚题"), twoOptions, QStringLiteral("B"), QString(), 3});
    ExamSection *d = paper.addSection(2);
    paper.add(d, {406, QString(), QStringLiteral("It's 辛题[img50.png]"), twoOptions, QStringLiteral("A"), QStringLiteral("A"), 1});
    paper.add(d, {407, QString(), QStringLiteral("壬题"), twoOptions, QStringLiteral("B"), QStringLiteral("A"), 2});
    paper.add(d, {408, QString(), QStringLiteral("癸题"), twoOptions, QStringLiteral("A"), QStringLiteral("A"), 1});
}

QStringList tenQuestionsText()
{
    const QString newGroup = QStringLiteral("\n");
    return QStringList{memo(1), newGroup} + questionText(1, QStringLiteral("甲题"), QStringLiteral("A"), QStringLiteral("A"))
        + QStringList{newGroup} + questionText(2, QStringLiteral("乙题"), QStringLiteral("B"), QStringLiteral("A"))
        + QStringList{newGroup} + questionText(1, QStringLiteral("丙题"), QStringLiteral("A"), QStringLiteral("A"))
        + QStringList{newGroup} + questionText(2, QStringLiteral("丁题"), QStringLiteral("B"), QStringLiteral("B"))
        + QStringList{memo(3), QStringLiteral("\n男，65岁，咳嗽20年。")}
        + questionText(1, QStringLiteral("戊题"), QStringLiteral("A"), QStringLiteral("A"))
        + questionText(2, QStringLiteral("己题"), QStringLiteral("A"), QStringLiteral("B"))
        + questionText(3, QStringLiteral("庚题"), QStringLiteral("B"), QString())
        + QStringList{memo(2), newGroup}
        + questionText(1, QStringLiteral("It's 辛题[img50.png]"), QStringLiteral("A"), QStringLiteral("A"))
        + QStringList{newGroup} + questionText(2, QStringLiteral("壬题"), QStringLiteral("B"), QStringLiteral("A"))
        + QStringList{newGroup} + questionText(3, QStringLiteral("癸题"), QStringLiteral("A"), QStringLiteral("A"));
}

QString countLine(int total, int right, int wrong, int unanswered)
{
    return QStringLiteral("\t总题：%1题  正确：%2题  错误：<font color=\"#FF0000\">%3</font>题 "
                          "未做:<font color=\"#FF0000\">%4</font>题  ")
        .arg(total).arg(right).arg(wrong).arg(unanswered);
}

QTextEdit *textOf(const ViewReport &viewer)
{
    return viewer.findChild<QTextEdit *>(QStringLiteral("textEdit"));
}

QString countLineOf(const ViewReport &viewer)
{
    return viewer.findChild<QLabel *>(QStringLiteral("label"))->text();
}

// The exam records as stored, by number: Key, V1 ... V5.
QList<QStringList> storedRecords()
{
    QSqlQuery query(QSqlDatabase::database());
    QList<QStringList> rows;
    if (!query.exec(QStringLiteral("select Key, V1, V2, V3, V4, V5 from ConfigTable where V5 > '0' "
                                   "order by cast(V5 as integer)")))
        return {{QStringLiteral("failed: ") + query.lastError().text()}};
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < 6; ++i)
            row << query.value(i).toString();
        rows << row;
    }
    return rows;
}

} // namespace

class TestExamReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void init();
    void cleanup();

    void report_data();
    void report();
    void recordNumbers_data();
    void recordNumbers();
    void emptyPaper_data();
    void emptyPaper();
    void reusedViewerStartsAnew();
    void failedInsertIsLogged();
    void counts_data();
    void counts();

private:
    void openBank(bool withFixture);

    std::unique_ptr<FixtureBank> bank;
    std::unique_ptr<TempWorkDir> workDir;
};

void TestExamReport::init()
{
    workDir = std::make_unique<TempWorkDir>();
    openBank(true);
}

void TestExamReport::cleanup()
{
    store()->closeDatabase();
    bank.reset();
    workDir.reset();
}

void TestExamReport::openBank(bool withFixture)
{
    store()->closeDatabase();
    bank = std::make_unique<FixtureBank>();
    if (!withFixture)
        bank->setSchemaOnly();
    QVERIFY2(bank->open(), qPrintable(bank->error()));
    QCOMPARE(store()->openDatabase(bank->path(), phrase, 0), 2);
    QCOMPARE(store()->loadQuestionTypes(), 0);
}

void TestExamReport::report_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("kind");
    QTest::newRow("computer-based") << 0 << "0";
    QTest::newRow("simulated") << 1 << "1";
    QTest::newRow("prediction paper") << 2 << QString();
}

void TestExamReport::report()
{
    QFETCH(int, mode);
    QFETCH(QString, kind);
    Paper paper;
    tenQuestions(paper);
    const QList<QStringList> before = storedRecords();
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);

    ViewReport viewer;
    viewer.buildExamReport(paper.sections, mode);

    QCOMPARE(textOf(viewer)->toPlainText().split(QLatin1Char('\n')),
             tenQuestionsText().join(QLatin1Char('\n')).split(QLatin1Char('\n')));
    QCOMPARE(countLineOf(viewer), countLine(10, 6, 3, 1));
    QCOMPARE(textOf(viewer)->textCursor().position(), 0);
    QVERIFY(viewer.isHidden());

    const QList<QStringList> after = storedRecords();
    if (kind.isEmpty()) {
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(after.size(), before.size() + 1);
    const QStringList record = after.last();
    QCOMPARE(record.at(0), QStringLiteral("11"));
    QCOMPARE(record.at(5), QStringLiteral("11"));
    const QDateTime saved = QDateTime::fromString(record.at(1), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY2(saved >= start && saved <= QDateTime::currentDateTime(), qPrintable(record.at(1)));
    QCOMPARE(record.at(2), kind);
    QCOMPARE(record.at(4), QStringLiteral("10/6/1"));
    // Byte for byte what the viewer exports, with its picture placed and the
    // quote kept.
    const QString report = record.at(3);
    QCOMPARE(report, store()->reportImagesToHtml(textOf(viewer)->toHtml()));
    QVERIFY(report.contains(QStringLiteral("It's 辛题")));
    QVERIFY2(report.contains(QStringLiteral("<img src=\"%1images/img50.png\" />").arg(bank->databaseDir())), qPrintable(report));

    // The past exams page reads it back the same.
    QString readReport, readCounts;
    QCOMPARE(store()->readExamRecord(11, readReport, readCounts), 0);
    QCOMPARE(readReport, report);
    ExamRecord counts;
    QVERIFY(counts.readCounts(readCounts));
    QCOMPARE(counts.wrong(), 3);
}

void TestExamReport::recordNumbers_data()
{
    QTest::addColumn<bool>("withFixture");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("after records up to 10") << true << QStringList{"11", "12"};
    QTest::newRow("first records") << false << QStringList{"1", "2"};
}

void TestExamReport::recordNumbers()
{
    QFETCH(bool, withFixture);
    QFETCH(QStringList, numbers);
    openBank(withFixture);
    for (const QString &number : numbers) {
        Paper paper;
        tenQuestions(paper);
        ViewReport viewer;
        viewer.buildExamReport(paper.sections, 1);
        const QStringList last = storedRecords().last();
        QCOMPARE(last.at(0), number);
        QCOMPARE(last.at(5), number);
    }
}

void TestExamReport::emptyPaper_data()
{
    QTest::addColumn<int>("sections");
    QTest::newRow("no section") << 0;
    QTest::newRow("empty sections") << 2;
}

void TestExamReport::emptyPaper()
{
    QFETCH(int, sections);
    Paper paper;
    for (int i = 0; i < sections; ++i)
        paper.addSection(1);
    ViewReport viewer;
    viewer.buildExamReport(paper.sections, 0);
    QCOMPARE(countLineOf(viewer), countLine(0, 0, 0, 0));
    QVERIFY(textOf(viewer)->document()->isEmpty());
    const QStringList record = storedRecords().last();
    QCOMPARE(record.at(2), QStringLiteral("0"));
    QCOMPARE(record.at(4), QStringLiteral("0/0/0"));
    QCOMPARE(record.at(3), textOf(viewer)->toHtml());
}

void TestExamReport::reusedViewerStartsAnew()
{
    Paper first;
    tenQuestions(first);
    // Ends on type 2, which the second paper opens with; then a type that
    // the bank does not describe gets an empty heading.
    Paper second;
    ExamSection *part = second.addSection(2);
    second.add(part, {601, QString(), QStringLiteral("子题"), twoOptions, QStringLiteral("A"), QStringLiteral("B"), 2});
    ExamSection *unknown = second.addSection(9);
    second.add(unknown, {602, QString(), QStringLiteral("丑题"), twoOptions, QStringLiteral("A"), QStringLiteral("A"), 1});

    ViewReport viewer;
    viewer.buildExamReport(first.sections, 2);
    viewer.buildExamReport(second.sections, 1);

    const QStringList expected = QStringList{memo(2), QStringLiteral("\n")}
        + questionText(1, QStringLiteral("子题"), QStringLiteral("A"), QStringLiteral("B"))
        + QStringList{QString(), QStringLiteral("\n")}
        + questionText(1, QStringLiteral("丑题"), QStringLiteral("A"), QStringLiteral("A"));
    QCOMPARE(textOf(viewer)->toPlainText().split(QLatin1Char('\n')), expected.join(QLatin1Char('\n')).split(QLatin1Char('\n')));
    QCOMPARE(countLineOf(viewer), countLine(2, 1, 1, 0));
    const QStringList record = storedRecords().last();
    QCOMPARE(record.at(4), QStringLiteral("2/1/0"));
    QVERIFY(!record.at(3).contains(QStringLiteral("甲题")));
}

void TestExamReport::failedInsertIsLogged()
{
    QCOMPARE(store()->execSql(QStringLiteral("CREATE TEMP TRIGGER refuseRecords BEFORE INSERT ON ConfigTable "
                                             "BEGIN SELECT RAISE(ABORT, 'records refused'); END")),
             0);
    const QList<QStringList> before = storedRecords();
    Paper paper;
    tenQuestions(paper);
    ViewReport viewer;
    LogCapture log;
    viewer.buildExamReport(paper.sections, 1);
    QVERIFY2(log.contains(QStringLiteral("[Error:]InsertExamTable:")), qPrintable(log.lines().join('\n')));
    QVERIFY(log.contains(QStringLiteral("records refused")));
    QCOMPARE(viewer.saveExamRecord(1), -1);
    QCOMPARE(viewer.saveExamRecord(2), 0);
    QCOMPARE(storedRecords(), before);
    QCOMPARE(store()->execSql(QStringLiteral("DROP TRIGGER refuseRecords")), 0);
}

void TestExamReport::counts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("read");
    QTest::addColumn<int>("wrong");
    QTest::newRow("three numbers") << "10/6/1" << true << 3;
    QTest::newRow("zeros") << "0/0/0" << true << 0;
    QTest::newRow("two numbers") << "10/6" << false << 0;
    QTest::newRow("commas") << "20,15,5" << false << 0;
    QTest::newRow("letters") << "a/b/c" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
}

void TestExamReport::counts()
{
    QFETCH(QString, text);
    QFETCH(bool, read);
    QFETCH(int, wrong);
    ExamRecord record;
    QCOMPARE(record.readCounts(text), read);
    QCOMPARE(record.wrong(), wrong);
    if (read)
        QCOMPARE(record.countsText(), text);
}

QTEST_MAIN(TestExamReport)
#include "tst_examreport.moc"
