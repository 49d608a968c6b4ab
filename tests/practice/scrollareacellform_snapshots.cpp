// Draws the question view at its form size into PNG files, one question of
// each type of the demo subject in practice, browse, exam and submitted-exam
// mode, in both styles: scrollareacellform_snapshots OUTDIR
#include "ScrollAreaCellForm.h"

#include "CellFixture.h"
#include "MainQuestion.h"
#include "QuestionData.h"
#include "Snapshot.h"
#include "SqliteClass.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QVBoxLayout>
#include <cstdio>

namespace {

// One group of each type, one whose question names the keyword where there is one.
QMap<int, int> groupPerType(const QString &keyword)
{
    QMap<int, int> groups;
    QSqlQuery query(QStringLiteral("select l.cateListId, l.queTypeId, q.queText from tCateList l join tQue q "
                                   "on q.cateListId = l.cateListId order by l.cateListId, q.ord"));
    QSet<int> withKeyword;
    while (query.next()) {
        const int group = query.value(0).toInt();
        const int type = query.value(1).toInt();
        const bool hit = query.value(2).toString().contains(keyword);
        if (!groups.contains(type) || (hit && !withKeyword.contains(type))) {
            groups[type] = group;
            if (hit)
                withKeyword.insert(type);
        }
    }
    return groups;
}

enum class Show { Practice, Browse, Exam, Submitted };

void snap(int cateListId, Show how, int styleMode, const QDir &dir, const QString &name)
{
    const auto group = CellFixture::group(cateListId);
    if (!group)
        return;
    // The study pages lay the view on their own light ground.
    QWidget page;
    page.setObjectName(QStringLiteral("page"));
    page.setStyleSheet(QStringLiteral("#page{background-color: rgb(246, 244, 240);}"));
    auto *layout = new QVBoxLayout(&page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *view = new ScrollAreaCellForm(&page);
    layout->addWidget(view);
    page.resize(678, 458);
    view->setStyle(QStringLiteral("80,153,2,255"), styleMode);
    view->setKeyword(how == Show::Browse ? QStringLiteral("肺") : QString());
    if (how == Show::Exam || how == Show::Submitted)
        view->showExamQuestion(group.get(), 4, QStringLiteral("5"), how == Show::Submitted);
    else
        view->showQuestion(group.get(), 4, how == Show::Browse ? 1 : 0);
    saveSnapshot(&page, dir, name);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!snapshotToolReady(argc, 1, "scrollareacellform_snapshots OUTDIR"))
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));

    TempWorkDir work;
    if (!CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data")))) {
        std::fprintf(stderr, "cannot open the demo subject\n");
        return 1;
    }
    const QMap<int, int> groups = groupPerType(QStringLiteral("肺"));
    const QList<QPair<Show, QString>> shows = {{Show::Practice, QStringLiteral("practice")},
                                               {Show::Browse, QStringLiteral("browse")},
                                               {Show::Exam, QStringLiteral("exam")},
                                               {Show::Submitted, QStringLiteral("submitted")}};
    for (auto it = groups.cbegin(); it != groups.cend(); ++it) {
        for (const auto &[how, showName] : shows) {
            for (int styleMode : {0, 1})
                snap(it.value(), how, styleMode, dir,
                     QStringLiteral("view_type%1_%2_style%3").arg(it.key(), 2, 10, QLatin1Char('0')).arg(showName).arg(styleMode));
        }
    }
    // A reading colour and size the user picked.
    work.writeConfig("[QuestionCell]\r\nquestioncolor=227,225,218,255\r\nquestionfont=14\r\n");
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        snap(it.value(), Show::Practice, 0, dir,
             QStringLiteral("view_type%1_practice_style0_tinted").arg(it.key(), 2, 10, QLatin1Char('0')));
    SqliteClass::instance()->closeDatabase();
    return 0;
}
