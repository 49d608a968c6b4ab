#include "ExamSection.h"
#include "MainQuestion.h"
#include "OptionData.h"
#include "QueTypeData.h"
#include "QuestionData.h"
#include "SqliteData.h"

#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts the objects made with new that are still alive, so a record that a
// destructor forgets shows up in every build, not only under a leak checker.
// Qt's containers and strings allocate with malloc and are not counted.
namespace {
std::atomic<long> liveObjects{0};
}

void *operator new(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    ++liveObjects;
    return p;
}

void operator delete(void *p) noexcept
{
    if (!p)
        return;
    --liveObjects;
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    operator delete(p);
}

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void setQueTypeDerivesKind_data();
    void setQueTypeDerivesKind();
    void groupOwnsQuestionsAndOptions();
    void newQuestionDefaults();
    void newRecordsStartAtZero();
};

void TestRecords::setQueTypeDerivesKind_data()
{
    QTest::addColumn<int>("queTypeId");
    QTest::addColumn<int>("kind");
    const QList<QPair<int, int>> table = {
        {1, 0}, {2, 0}, {7, 0}, {11, 0},
        {3, 1}, {4, 1}, {6, 1},
        {10, 3}, {15, 3},
        {5, 0}, {8, 0}, {9, 0}, {12, 0}, {13, 0}, {14, 0},
        {16, 0},
        {0, 0}, {17, 0}, {-1, 0},
    };
    for (const auto &row : table)
        QTest::addRow("type %d", row.first) << row.first << row.second;
}

void TestRecords::setQueTypeDerivesKind()
{
    QFETCH(int, queTypeId);
    QFETCH(int, kind);
    MainQuestion group;
    // Start from a kind no type gives, so every row shows a real write.
    group.kind = 99;
    group.setQueType(queTypeId);
    QCOMPARE(group.kind, kind);
}

void TestRecords::groupOwnsQuestionsAndOptions()
{
    const long before = liveObjects;
    auto *type = new QueTypeData;
    auto *group = new MainQuestion;
    group->queType = type;
    for (int q = 0; q < 2; ++q) {
        auto *question = new QuestionData;
        for (int o = 0; o < 4; ++o)
            question->options.append(new OptionData);
        group->questions.append(question);
    }
    QCOMPARE(liveObjects - before, 12L);

    delete group;
    // All ten records are gone; the type record is not the group's.
    QCOMPARE(liveObjects - before, 1L);
    QCOMPARE(type->queTypeId, 0);
    delete type;
}

void TestRecords::newQuestionDefaults()
{
    const QuestionData question;
    QVERIFY(question.prompt.isEmpty());
    QVERIFY(!question.prompt.isNull());
    QCOMPARE(question.userStatus, 0);
    QVERIFY(question.userTime.isNull());
    QVERIFY(!question.IsDel);
    QVERIFY(!question.userFav);
    QVERIFY(question.options.isEmpty());
    QVERIFY(question.queText.isEmpty());
}

void TestRecords::newRecordsStartAtZero()
{
    const MainQuestion group;
    QCOMPARE(group.queType, nullptr);
    QCOMPARE(group.cateListId, 0);
    QCOMPARE(group.queTypeId, 0);
    QVERIFY(group.questions.isEmpty());

    const ExamSection section;
    QCOMPARE(section.count, 0);
    QCOMPARE(section.queTypeId, 0);
    QVERIFY(section.questions.isEmpty());

    const OptionData option;
    QVERIFY(!option.selected);

    const SqliteData row;
    QVERIFY(row.dateTime.isNull());
    QVERIFY(row.text0.isEmpty() && row.text7.isEmpty());
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
