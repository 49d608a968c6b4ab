// Every choice question and shared-option group of the demo subject fills
// its cell in every mode, one row per option, without a message in the log.
#include "B1CellForm.h"
#include "B1CellOptionForm.h"
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

namespace {

// The groups of the given types from a copy of the demo subject, opened in the store.
QList<int> openDemoCopy(const TempWorkDir &work, const QString &types)
{
    QList<int> groups;
    if (!CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))))
        return groups;
    QSqlQuery query(QStringLiteral("select cateListId from tCateList where queTypeId in (%1)").arg(types));
    while (query.next())
        groups << query.value(0).toInt();
    return groups;
}

} // namespace

class TestQuestionCellDemo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }

    void everyChoiceQuestionFills()
    {
        TempWorkDir work;
        const QList<int> groups = openDemoCopy(work, QStringLiteral("1, 2, 3, 4, 6"));
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

    void everySharedOptionGroupFills()
    {
        TempWorkDir work;
        const QList<int> groups = openDemoCopy(work, QStringLiteral("7"));
        QVERIFY(groups.size() >= 5);
        LogCapture log;
        for (int id : qAsConst(groups)) {
            const auto group = CellFixture::group(id);
            QVERIFY2(group, qPrintable(QString::number(id)));
            for (int mode : {0, 1, 2}) {
                B1CellForm cell;
                cell.setStyle(QStringLiteral("80,153,2,255"));
                cell.setKeyword(QStringLiteral("的"));
                cell.setData(2, QStringLiteral("1"), 1, group.get(), mode);
                cell.showAllAnswers();
                QCOMPARE(cell.findChildren<B1CellOptionForm *>().size(), group->questions.size());
                auto *table = cell.findChild<QTableWidget *>(QStringLiteral("tableWidget_questions"));
                QCOMPARE(table->rowCount(), group->questions.first()->options.size());
                for (int row = 0; row < table->rowCount(); ++row)
                    QVERIFY(table->cellWidget(row, 0));
            }
        }
        // The skin colour's alpha in rgb() draws right; the program's log drops that warning.
        const QStringList lines = log.lines().filter(
            QRegularExpression(QStringLiteral("^(?!QCssParser::parseColorValue: Specified color without alpha value)")));
        QVERIFY2(lines.isEmpty(), qPrintable(lines.join(QLatin1Char('\n'))));
        SqliteClass::instance()->closeDatabase();
    }
};

QTEST_MAIN(TestQuestionCellDemo)
#include "tst_questioncell_demo.moc"
