// Draws the question list into PNG files, to look at it without a screen:
// questionsform_snapshots OUTDIR
// A set of a copy of the demo subject with some questions answered, a
// favourite and a note; the free-text set of the fixture bank.
#include "QuestionsForm.h"

#include "CellFixture.h"
#include "DataToUiThreadClass.h"
#include "FixtureBank.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <cstdio>

namespace {

const QString skin = QStringLiteral("80,153,2,255");

// A set of the demo with choices and a few other kinds, not too long to draw.
SqliteData demoSet()
{
    SqliteData set;
    QSqlQuery query(QStringLiteral(
        "select c.cateId, c.cateName from tCate c join tCateList l on l.cateId = c.cateId "
        "join tQue q on q.cateListId = l.cateListId where q.IsDel = '0' group by c.cateId "
        "having count(*) between 6 and 40 order by count(distinct l.queTypeId) desc, count(*) limit 1"));
    if (query.next()) {
        set.text0 = query.value(0).toString();
        set.text1 = query.value(1).toString();
    }
    return set;
}

// A favourite on the first question of the set and a note on the second.
void markSet(const SqliteData &set)
{
    QSqlQuery query;
    query.exec(QStringLiteral("select q.queId from tQue q join tCateList l on l.cateListId = q.cateListId "
                              "where l.cateId = %1 and q.IsDel = '0' order by l.ord, q.ord limit 2")
                   .arg(set.text0.toInt()));
    QList<int> ids;
    while (query.next())
        ids << query.value(0).toInt();
    SqliteClass *store = SqliteClass::instance();
    if (ids.size() == 2) {
        store->execSql(QStringLiteral("update tQue set userFav = '1', userNote = '' where queId = %1").arg(ids[0]));
        store->execSql(QStringLiteral("update tQue set userNote = '记住' where queId = %1").arg(ids[1]));
    }
}

bool load(QuestionsForm &form, const SqliteData &set)
{
    SqliteData copy = set;
    form.startQuestionSet(&copy);
    DataToUiThreadClass *worker = form.findChild<DataToUiThreadClass *>();
    if (!worker || !QTest::qWaitFor([worker] { return worker->isFinished(); }, 60000))
        return false;
    QCoreApplication::processEvents();
    return true;
}

QTableWidget *table(QuestionsForm &form, const char *name)
{
    return form.findChild<QTableWidget *>(QLatin1String(name));
}

void showSideList(QuestionsForm &form, bool shown)
{
    if (table(form, "tableWidget_button")->isHidden() == shown)
        form.findChild<QPushButton *>(QStringLiteral("pushButton_showbutton"))->click();
}

void scrollTo(QuestionsForm &form, int row)
{
    table(form, "tableWidget_questions")->verticalScrollBar()->setValue(row);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!snapshotToolReady(argc, 1, "questionsform_snapshots OUTDIR"))
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));

    TempWorkDir work;
    {
        if (!CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data")))) {
            std::fprintf(stderr, "cannot open the demo subject\n");
            return 1;
        }
        const SqliteData set = demoSet();
        markSet(set);
        QuestionsForm form;
        form.setSkinColor(skin);
        form.resize(960, 450);
        form.show();
        if (!load(form, set)) {
            std::fprintf(stderr, "the demo set did not load\n");
            return 1;
        }
        // The first three answered in order, as a user does.
        for (int row = 0; row < 3; ++row)
            form.receiveQuestionCellClicked(row, row == 1 ? 1 : 0);
        saveSnapshot(&form, dir, QStringLiteral("questionsform_demo_list_hidden"));
        showSideList(form, true);
        scrollTo(form, 0);
        saveSnapshot(&form, dir, QStringLiteral("questionsform_demo_list_shown"));
        scrollTo(form, 3);
        saveSnapshot(&form, dir, QStringLiteral("questionsform_demo_list_shown_row4"));
        for (int i = 0; i < 3671; ++i)
            form.receiveTimeOut();
        scrollTo(form, table(form, "tableWidget_questions")->rowCount() - 1);
        saveSnapshot(&form, dir, QStringLiteral("questionsform_demo_last_row_clock"));
        showSideList(form, false);
        saveSnapshot(&form, dir, QStringLiteral("questionsform_demo_last_row_list_hidden"));
    }
    SqliteClass::instance()->closeDatabase();

    // Fill-in, true/false and case questions of the fixture bank.
    FixtureBank bank;
    if (!bank.open()
        || SqliteClass::instance()->openDatabase(bank.path(), QString::fromLatin1(FixtureBank::builtinPhrase()), 0) != 2
        || SqliteClass::instance()->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "cannot open the fixture bank\n");
        return 1;
    }
    {
        QuestionsForm form;
        form.setSkinColor(skin);
        form.resize(960, 450);
        form.show();
        SqliteData set;
        set.text0 = QStringLiteral("112");
        set.text1 = QStringLiteral("呼吸练习二");
        if (!load(form, set))
            return 1;
        showSideList(form, true);
        for (int row : {0, 2, 4}) {
            scrollTo(form, row);
            saveSnapshot(&form, dir, QStringLiteral("questionsform_freetext_row%1").arg(row + 1));
        }
    }
    SqliteClass::instance()->closeDatabase();
    delete SqliteClass::instance();
    return 0;
}
