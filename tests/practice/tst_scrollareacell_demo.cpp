// Every question group of the demo subject in the question view: practice,
// browse and exam, the cell and its mode, and in the exam an answer that is
// relayed and never written to the bank.
#include "ScrollAreaCellForm.h"

#include "CellFixture.h"
#include "QuestionCellFactory.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"
#include "ViewKit.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString keyword = QStringLiteral("肺");

QString expectedClass(int type)
{
    switch (QuestionCellFactory::kindOf(type)) {
    case QuestionCellFactory::Kind::Choice:
        return QStringLiteral("QuestionCellForm");
    case QuestionCellFactory::Kind::SharedOption:
        return QStringLiteral("B1CellForm");
    case QuestionCellFactory::Kind::FillIn:
        return QStringLiteral("BLANKCellForm");
    case QuestionCellFactory::Kind::TrueFalse:
        return QStringLiteral("YNCellForm");
    case QuestionCellFactory::Kind::CaseAnalysis:
        return QStringLiteral("SIMPLE_CASE_EXPLAINECellForm");
    case QuestionCellFactory::Kind::None:
        break;
    }
    return QStringLiteral("none");
}

bool keywordPainted(QWidget *cell)
{
    const QString painted = QStringLiteral("<font color=\"#FF0000\">%1</font>").arg(keyword);
    for (QLabel *label : cell->findChildren<QLabel *>()) {
        if (label->text().contains(painted))
            return true;
    }
    return false;
}

} // namespace

class TestScrollAreaCellDemo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initResources(); }
    void everyGroupInEveryMode();
};

void TestScrollAreaCellDemo::everyGroupInEveryMode()
{
    TempWorkDir work;
    QVERIFY(CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data"))));
    QList<int> groups;
    {
        QSqlQuery query(QStringLiteral("select cateListId from tCateList order by cateListId"));
        while (query.next())
            groups << query.value(0).toInt();
    }
    QVERIFY(groups.size() > 30);

    QWidget window;
    auto *view = new ScrollAreaCellForm(&window);
    (new QVBoxLayout(&window))->addWidget(view);
    window.resize(700, 480);
    view->setStyle(QStringLiteral("80,153,2,255"), 0);
    view->setKeyword(keyword);
    QVERIFY(showActiveWindow(window));
    QSignalSpy relayed(view, &ScrollAreaCellForm::sendScrollState);

    QSet<QString> classesSeen;
    int painted = 0;
    for (int id : qAsConst(groups)) {
        const auto group = CellFixture::group(id);
        if (!group)
            continue; // a group without questions
        const QString where = QStringLiteral("group %1 type %2").arg(id).arg(group->queTypeId);
        const QString expected = expectedClass(group->queTypeId);
        const bool textHasKeyword = group->questions.first()->queText.contains(keyword);
        const QString bankBefore = CellFixture::userData();

        // Browse: the keyword reaches the cell; nothing is written.
        view->showQuestion(group.get(), 0, 1);
        QVERIFY2(cellClass(viewCell(*view)) == expected, qPrintable(where));
        if (expected == QLatin1String("none"))
            continue;
        classesSeen.insert(expected);
        for (QuestionCellBase *cell : answeringCells(viewCell(*view)))
            QVERIFY2(cell->workMode() == QuestionCellBase::BrowseMode, qPrintable(where));
        if (textHasKeyword) {
            QVERIFY2(keywordPainted(viewCell(*view)), qPrintable(where));
            ++painted;
        }
        QVERIFY2(CellFixture::userData() == bankBefore, qPrintable(where));

        // Practice.
        view->showQuestion(group.get(), 0, 0);
        QVERIFY2(cellClass(viewCell(*view)) == expected, qPrintable(where));
        for (QuestionCellBase *cell : answeringCells(viewCell(*view)))
            QVERIFY2(cell->workMode() == QuestionCellBase::PracticeMode, qPrintable(where));

        // Exam: answered, relayed, kept out of the bank.
        view->showExamQuestion(group.get(), 0, QStringLiteral("(%1)").arg(id), false);
        QVERIFY2(cellClass(viewCell(*view)) == expected, qPrintable(where));
        for (QuestionCellBase *cell : answeringCells(viewCell(*view)))
            QVERIFY2(cell->workMode() == QuestionCellBase::ExamMode, qPrintable(where));
        QCOMPARE(view->answerState(), 0);
        relayed.clear();
        QVERIFY2(answerCell(viewCell(*view)), qPrintable(where));
        QVERIFY2(!relayed.isEmpty(), qPrintable(where));
        QVERIFY2(view->answerState() != 0, qPrintable(where));
        QVERIFY2(relayed.last().at(1).toInt() == view->answerState(), qPrintable(where));
        QVERIFY2(CellFixture::userData() == bankBefore, qPrintable(where));
    }
    QCOMPARE(classesSeen.size(), 5);
    QVERIFY(painted > 0);
    view->clearCells();
    SqliteClass::instance()->closeDatabase();
}

QTEST_MAIN(TestScrollAreaCellDemo)
#include "tst_scrollareacell_demo.moc"
