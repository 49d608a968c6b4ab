// Every true/false, fill-in and case-analysis question of the demo subject
// fills its cell in practice, browse and exam mode without a message in the
// log; every typed answer is judged against the stored one.
#include "BLANKCellForm.h"
#include "SIMPLE_CASE_EXPLAINECellForm.h"
#include "YNCellForm.h"

#include "CellFixture.h"
#include "LogCapture.h"
#include "PlainCellKit.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QInputMethodEvent>
#include <QRadioButton>
#include <QSqlQuery>
#include <QtTest>

namespace {

template <class Cell>
void fillCell(MainQuestion *group, Fill how)
{
    CellPage<Cell> page(QStringLiteral("的"));
    page.fill(group, how);
    QVERIFY(!label(page.cell, "textEdit_title")->text().isEmpty());
    QVERIFY(label(page.cell, "label_rigthanswer")->text().startsWith(QStringLiteral("正确答案: ")));
    QVERIFY(shown(page.cell, "pushButton_showanswer") == (how != Fill::Exam));
}

// Puts the text into the box as an input method commits it.
void commitText(QTextEdit *box, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

// Full-width forms of the printable ASCII characters, as some input methods type them.
QString fullWidth(const QString &text)
{
    QString wide;
    for (QChar c : text)
        wide += c.unicode() > 0x20 && c.unicode() < 0x7F ? QChar(ushort(c.unicode() + 0xFEE0)) : c;
    return wide;
}

// Types the answer into the cell's box and presses "显示答案"; the state sent.
template <class Cell>
int answerWith(MainQuestion *group, const QString &typed, Fill how)
{
    CellPage<Cell> page;
    page.fill(group, how);
    if (!page.showActive())
        return -1;
    QSignalSpy sent(page.cell, &Cell::sendAnswerState);
    commitText(answerBox(page.cell), typed);
    QTest::mouseClick(button(page.cell, "pushButton_showanswer"), Qt::LeftButton);
    return sent.isEmpty() ? -1 : sent.last().at(1).toInt();
}

} // namespace

class TestPlainCellDemo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void everyQuestionFills()
    {
        TempWorkDir work;
        QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
        QList<QPair<int, int>> groups;
        QSqlQuery query(QStringLiteral("select cateListId, queTypeId from tCateList where queTypeId in (10, 11, 12, 14, 16)"));
        while (query.next())
            groups.append({query.value(0).toInt(), query.value(1).toInt()});
        QSet<int> types;
        for (const auto &group : qAsConst(groups))
            types.insert(group.second);
        QCOMPARE(types, (QSet<int>{10, 11, 12, 14, 16}));

        LogCapture log;
        for (const auto &[id, type] : qAsConst(groups)) {
            const auto group = CellFixture::group(id);
            QVERIFY2(group, qPrintable(QString::number(id)));
            for (Fill how : {Fill::Practice, Fill::Browse, Fill::Exam}) {
                if (type == 10)
                    fillCell<BLANKCellForm>(group.get(), how);
                else if (type == 11)
                    fillCell<YNCellForm>(group.get(), how);
                else
                    fillCell<SIMPLE_CASE_EXPLAINECellForm>(group.get(), how);
                if (QTest::currentTestFailed())
                    QFAIL(qPrintable(QStringLiteral("group %1").arg(id)));
            }
        }
        QVERIFY2(log.lines().isEmpty(), qPrintable(log.lines().join(QLatin1Char('\n'))));
        SqliteClass::instance()->closeDatabase();
    }

    void typedAnswersAreJudged_data()
    {
        QTest::addColumn<int>("cateListId");
        QTest::addColumn<int>("queId");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("state");
        TempWorkDir work;
        QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
        QSqlQuery query(QStringLiteral("select cateListId, queTypeId from tCateList where queTypeId in (10, 12, 14, 16)"
                                       " order by cateListId"));
        QSet<int> types;
        while (query.next()) {
            // The cell shows the group's first question.
            const int group = query.value(0).toInt();
            const int type = query.value(1).toInt();
            const auto records = CellFixture::group(group);
            if (!records || records->questions.isEmpty() || records->questions.first()->answer.isEmpty())
                continue;
            const int queId = records->questions.first()->queId;
            const QString stored = records->questions.first()->answer;
            types.insert(type);
            auto row = [&](const char *how, const QString &typed, int state) {
                QTest::addRow("%d %s", queId, how) << group << queId << type << typed << state;
            };
            row("exact", stored, 1);
            row("extra blanks", QStringLiteral("  %1 \n").arg(QString(stored).replace(QLatin1Char(' '), QStringLiteral("  \t"))), 1);
            row("full-width", fullWidth(stored), 1);
            const QChar first = stored.at(0) == QChar(0x67D0) ? QChar(0x7532) : QChar(0x67D0); // 某, else 甲
            row("one character changed", first + stored.mid(1), 2);
        }
        QCOMPARE(types, (QSet<int>{10, 12, 14, 16}));
        SqliteClass::instance()->closeDatabase();
    }

    // In practice and when browsing a search hit, as the cell records it.
    void typedAnswersAreJudged()
    {
        QFETCH(int, cateListId);
        QFETCH(int, queId);
        QFETCH(int, type);
        QFETCH(QString, typed);
        TempWorkDir work;
        QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
        const auto group = CellFixture::group(cateListId);
        QVERIFY(group);
        const int state = type == 10 ? answerWith<BLANKCellForm>(group.get(), typed, Fill::Practice)
                                     : answerWith<SIMPLE_CASE_EXPLAINECellForm>(group.get(), typed, Fill::Practice);
        QTEST(state, "state");
        QTEST(userColumns(queId).section(QLatin1Char('|'), 0, 0).toInt(), "state");
        SqliteClass::instance()->closeDatabase();
    }
};

QTEST_MAIN(TestPlainCellDemo)
#include "tst_plaincell_demo.moc"
