// Every choice question of the demo subject fills the cell in practice,
// browse and exam mode, one row per option, without a message in the log.
#include "QuestionCellForm.h"

#include "CellFixture.h"
#include "LogCapture.h"
#include "MainQuestion.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

class TestQuestionCellDemo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void everyChoiceQuestionFills()
    {
        TempWorkDir work;
        QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
        QList<int> groups;
        QSqlQuery query(QStringLiteral("select cateListId from tCateList where queTypeId in (1, 2, 3, 4, 6)"));
        while (query.next())
            groups << query.value(0).toInt();
        QVERIFY(groups.size() > 20);

        int cells = 0;
        LogCapture log;
        for (int id : qAsConst(groups)) {
            const auto group = CellFixture::group(id);
            QVERIFY2(group, qPrintable(QString::number(id)));
            for (QuestionData *question : qAsConst(group->questions)) {
                for (int mode : {0, 1, 2}) {
                    QuestionCellForm cell;
                    cell.setStyle(QStringLiteral("80,153,2,255"));
                    if (mode == 2)
                        cell.setExamQuestion(0, QStringLiteral("1"), 0, group.get(), question, question->options);
                    else
                        cell.setQuestion(1, group.get(), question, question->options, mode);
                    auto *table = cell.findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
                    QCOMPARE(table->rowCount(), question->options.size());
                    for (int row = 0; row < table->rowCount(); ++row)
                        QVERIFY(table->cellWidget(row, 0));
                    ++cells;
                }
            }
        }
        QVERIFY2(log.lines().isEmpty(), qPrintable(log.lines().join(QLatin1Char('\n'))));
        QVERIFY(cells > 60);
        SqliteClass::instance()->closeDatabase();
    }
};

QTEST_MAIN(TestQuestionCellDemo)
#include "tst_questioncell_demo.moc"
