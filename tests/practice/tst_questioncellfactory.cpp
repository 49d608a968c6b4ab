// The one rule from a question type to its cell, as every page uses it.
#include "QuestionCellFactory.h"

#include "B1CellForm.h"
#include "PlainCellBase.h"
#include "QuestionCellForm.h"
#include "Resources.h"

#include <QtTest>
#include <memory>

class TestQuestionCellFactory : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void rule_data();
    void rule();
    void contextEndsTheConnections();
};

void TestQuestionCellFactory::rule_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("cellClass");
    const QMap<int, QString> cells = {
        {1, "QuestionCellForm"}, {2, "QuestionCellForm"}, {3, "QuestionCellForm"}, {4, "QuestionCellForm"},
        {6, "QuestionCellForm"}, {7, "B1CellForm"}, {10, "BLANKCellForm"}, {11, "YNCellForm"},
        {12, "SIMPLE_CASE_EXPLAINECellForm"}, {14, "SIMPLE_CASE_EXPLAINECellForm"},
        {16, "SIMPLE_CASE_EXPLAINECellForm"}};
    for (int type : {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 99})
        QTest::addRow("%d", type) << type << cells.value(type, QStringLiteral("none"));
}

// The class of the rule; state and error signals reach the receivers given,
// and only the choice and shared-option cells send error reports.
void TestQuestionCellFactory::rule()
{
    QFETCH(int, type);
    QFETCH(QString, cellClass);
    QStringList calls;
    QObject context;
    std::unique_ptr<QWidget> cell(QuestionCellFactory::create(
        type, &context, [&](int a, int b, QString c) { calls << QStringLiteral("state %1 %2 %3").arg(a).arg(b).arg(c); },
        [&](int a, int b, QString c) { calls << QStringLiteral("error %1 %2 %3").arg(a).arg(b).arg(c); }));
    QCOMPARE(cell ? QString::fromLatin1(cell->metaObject()->className()) : QStringLiteral("none"), cellClass);
    QCOMPARE(QuestionCellFactory::kindOf(type) == QuestionCellFactory::Kind::None, !cell);
    QCOMPARE(QuestionCellFactory::answerState(cell.get()), 0);
    if (!cell)
        return;
    QVERIFY(!cell->parent());
    const char *stateSignal = qobject_cast<QuestionCellForm *>(cell.get()) ? "sendState"
                              : qobject_cast<B1CellForm *>(cell.get())      ? "sendB1State"
                                                                             : "sendAnswerState";
    QVERIFY(QMetaObject::invokeMethod(cell.get(), stateSignal, Q_ARG(int, 4), Q_ARG(int, 2), Q_ARG(QString, "B")));
    QVERIFY(QMetaObject::invokeMethod(cell.get(), "sendChangeError", Q_ARG(int, 1), Q_ARG(int, 1002),
                                      Q_ARG(QString, "text")));
    const bool reports = cellClass == QLatin1String("QuestionCellForm") || cellClass == QLatin1String("B1CellForm");
    QStringList expected{QStringLiteral("state 4 2 B")};
    if (reports)
        expected << QStringLiteral("error 1 1002 text");
    QCOMPARE(calls, expected);
}

void TestQuestionCellFactory::contextEndsTheConnections()
{
    int calls = 0;
    auto context = std::make_unique<QObject>();
    std::unique_ptr<QWidget> cell(
        QuestionCellFactory::create(1, context.get(), [&](int, int, QString) { ++calls; }, {}));
    QVERIFY(QMetaObject::invokeMethod(cell.get(), "sendState", Q_ARG(int, 0), Q_ARG(int, 1), Q_ARG(QString, "A")));
    QCOMPARE(calls, 1);
    context.reset();
    QVERIFY(QMetaObject::invokeMethod(cell.get(), "sendState", Q_ARG(int, 0), Q_ARG(int, 1), Q_ARG(QString, "A")));
    QCOMPARE(calls, 1);
    // No error receiver: the signal goes nowhere.
    QVERIFY(QMetaObject::invokeMethod(cell.get(), "sendChangeError", Q_ARG(int, 0), Q_ARG(int, 1), Q_ARG(QString, "t")));
}

QTEST_MAIN(TestQuestionCellFactory)
#include "tst_questioncellfactory.moc"
