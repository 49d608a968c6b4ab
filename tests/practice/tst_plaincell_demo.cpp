// Every true/false, fill-in and case-analysis question of the demo subject
// fills its cell in practice, browse and exam mode without a message in the log.
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
};

QTEST_MAIN(TestPlainCellDemo)
#include "tst_plaincell_demo.moc"
