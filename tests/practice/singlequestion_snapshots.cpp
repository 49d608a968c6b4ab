// Draws the chapter practice page at 800 x 437 into PNG files, to look at it
// without a screen: singlequestion_snapshots OUTDIR
// The page shows the demo subject's set with the most question types, with
// one and five questions per page, three backgrounds and two font sizes,
// and once with the end-of-set summary on top.
#include "CellFixture.h"
#include "ConfigIni.h"
#include "DataToUiThreadClass.h"
#include "ReturnQuestionsDialog.h"
#include "Snapshot.h"
#include "SingleQuestionModelFrom.h"
#include "SqlRow.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TempWorkDir.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <cstdio>

namespace {

const QString skin = QStringLiteral("80,153,2,255");

struct Background {
    const char *image;
    const char *colour;
};

SqliteData setRow(int cateId)
{
    SqliteData row;
    row.text0 = QString::number(cateId);
    row.text1 = sqlRow(QStringLiteral("select cateName from tCate where cateId = ?"), {cateId}).value(0);
    const QString joined = QStringLiteral(" from tQue a join tCateList b on a.cateListId = b.cateListId"
                                          " where b.cateId = ? and a.IsDel != '1'");
    row.text5 = QString::number(sqlCount(QStringLiteral("select count(*)") + joined, {cateId}));
    row.text6 = QString::number(sqlCount(QStringLiteral("select count(*)") + joined + QStringLiteral(" and a.userStatus != '0'"), {cateId}));
    row.text7 = QString::number(sqlCount(QStringLiteral("select count(*)") + joined + QStringLiteral(" and a.userStatus = '1'"), {cateId}));
    return row;
}

// A page on the set, loaded and laid out; the caller deletes its host.
SingleQuestionModelFrom *loadedPage(int cateId)
{
    // In a white host, as the main window's page area holds it.
    auto *host = new QWidget;
    host->setObjectName(QStringLiteral("host"));
    host->setStyleSheet(QStringLiteral("#host{background: white;}"));
    host->resize(800, 437);
    auto *layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *page = new SingleQuestionModelFrom;
    layout->addWidget(page);
    page->setSkinColor(skin);
    SqliteData row = setRow(cateId);
    page->startPractice(&row, 0, QStringLiteral("呼吸系统疾病"));
    auto *worker = page->findChild<DataToUiThreadClass *>();
    if (!QTest::qWaitFor([worker] { return worker->isFinished(); }, 20000))
        std::fprintf(stderr, "the page did not load\n");
    QCoreApplication::sendPostedEvents(page, QEvent::MetaCall);
    host->show();
    QTest::qWait(50);
    return page;
}

void saveWithSummary(SingleQuestionModelFrom *page, const QDir &dir, const QString &name)
{
    page->findChild<QPushButton *>(QStringLiteral("pushButton_down"))->click();
    ReturnQuestionsDialog *dialog = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *summary = qobject_cast<ReturnQuestionsDialog *>(window); summary && summary->isVisible())
            dialog = summary;
    }
    QImage image = page->parentWidget()->grab().toImage();
    if (dialog) {
        QTest::qWait(50);
        const QPixmap top = dialog->grab();
        QPainter painter(&image);
        painter.fillRect(image.rect(), QColor(0, 0, 0, 60));
        painter.drawPixmap((image.width() - top.width()) / 2, (image.height() - top.height()) / 2, top);
        dialog->close();
    }
    image.save(dir.filePath(name + QStringLiteral(".png")));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!snapshotToolReady(argc, 1, "singlequestion_snapshots OUTDIR"))
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    dir.mkpath(QStringLiteral("."));

    TempWorkDir work;
    if (!CellFixture::openCopy(QStringLiteral(DEMO_DIR "/data"), work.filePath(QStringLiteral("data")))) {
        std::fprintf(stderr, "cannot open the demo subject\n");
        return 1;
    }
    const int cateId = sqlRow(QStringLiteral("select b.cateId from tCateList b join tQue a on a.cateListId = b.cateListId"
                                             " where a.IsDel != '1' group by b.cateId"
                                             " order by count(distinct b.queTypeId) desc, count(*) desc limit 1"))
                           .value(0)
                           .toInt();
    const Background backgrounds[] = {{"bg1.png", "243,243,243,255"}, {"bg3.png", "227,225,218,255"},
                                      {"bg8.png", "48,48,48,255"}};
    for (int count : {1, 5}) {
        for (const Background &bk : backgrounds) {
            for (int font : {10, 14}) {
                ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), count);
                ConfigIni::write(QStringLiteral("QuestionCell/questionbutton"), QLatin1String(bk.image));
                ConfigIni::write(QStringLiteral("QuestionCell/questioncolor"), QLatin1String(bk.colour));
                ConfigIni::write(QStringLiteral("QuestionCell/questionfont"), font);
                SingleQuestionModelFrom *page = loadedPage(cateId);
                saveSnapshot(page->parentWidget(), dir,
                             QStringLiteral("practice_page_%1per_%2_%3pt")
                                 .arg(count)
                                 .arg(QString::fromLatin1(bk.image).section(QLatin1Char('.'), 0, 0))
                                 .arg(font));
                if (count > 1) {
                    // The end of the page, where the other question types are.
                    QScrollBar *bar = page->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->verticalScrollBar();
                    bar->setValue(bar->maximum());
                    saveSnapshot(page->parentWidget(), dir,
                                 QStringLiteral("practice_page_%1per_%2_%3pt_end")
                                     .arg(count)
                                     .arg(QString::fromLatin1(bk.image).section(QLatin1Char('.'), 0, 0))
                                     .arg(font));
                }
                delete page->parentWidget();
            }
        }
    }
    // The end of the set: every question on one page, then next.
    ConfigIni::write(QStringLiteral("QuestionCell/questionCellCount"), 200);
    ConfigIni::write(QStringLiteral("QuestionCell/questionbutton"), QStringLiteral("bg1.png"));
    ConfigIni::write(QStringLiteral("QuestionCell/questioncolor"), QStringLiteral("243,243,243,255"));
    ConfigIni::write(QStringLiteral("QuestionCell/questionfont"), 12);
    SingleQuestionModelFrom *page = loadedPage(cateId);
    saveWithSummary(page, dir, QStringLiteral("practice_page_summary"));
    delete page->parentWidget();
    SqliteClass::instance()->closeDatabase();
    return 0;
}
