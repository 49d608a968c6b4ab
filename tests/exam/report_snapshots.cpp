// Draws the report viewer with demo content into PNG files, to look at it
// without a screen: report_snapshots OUTDIR DEMO_SUBJECT_DIR
// Writes nothing into the demo subject: the report is built in the mode that
// keeps no record.
#include "BuiltinPassphrase.h"
#include "ConfigIni.h"
#include "ExamSection.h"
#include "MainQuestion.h"
#include "QuestionData.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "ViewReport.h"
#include "WaitingForm.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QScrollBar>
#include <QTextEdit>
#include <cstdio>

namespace {

QDir outDir;
const QString demoChapter = QStringLiteral("慢性阻塞性肺疾病与支气管哮喘");

void save(QWidget *widget, const QString &name)
{
    QApplication::processEvents();
    widget->grab().save(outDir.filePath(name + QStringLiteral(".png")));
}

int chapterId(const QString &name)
{
    QSqlQuery query(QSqlDatabase::database());
    query.prepare(QStringLiteral("select cateId from tCate where cateName = ?"));
    query.addBindValue(name);
    return query.exec() && query.next() ? query.value(0).toInt() : -1;
}

bool listChapter(ViewReport &viewer, int cateId)
{
    viewer.showChapterQuestions(cateId);
    auto *busy = viewer.findChild<WaitingForm *>();
    QElapsedTimer clock;
    clock.start();
    while (busy->isVisible() && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return !busy->isVisible();
}

void saveListings(int cateId)
{
    ViewReport viewer;
    viewer.setTitle(demoChapter);
    viewer.setSkinColor(QStringLiteral("80,153,2,255"));
    viewer.show();
    if (!listChapter(viewer, cateId))
        std::fprintf(stderr, "report_snapshots: the listing did not end\n");
    save(&viewer, QStringLiteral("ViewReport_listing"));
    // Down to the question with the chest film.
    QTextEdit *text = viewer.findChild<QTextEdit *>();
    const QTextCursor film = text->document()->find(QStringLiteral("胸片如下"));
    text->verticalScrollBar()->setValue(text->cursorRect(film).top() + text->verticalScrollBar()->value() - 40);
    save(&viewer, QStringLiteral("ViewReport_listing_image"));

    ConfigIni::write(QStringLiteral("QuestionCell/ViewReportFontColor"), QStringLiteral("30,50,120,255"));
    ConfigIni::write(QStringLiteral("QuestionCell/ViewReportBkColor"), QStringLiteral("250,246,232,255"));
    viewer.setSkinColor(QStringLiteral("255,127,167,255"));
    listChapter(viewer, cateId);
    save(&viewer, QStringLiteral("ViewReport_listing_pink_colours"));
}

// The chapter's groups as one exam part, half answered right.
QString reportHtml(int cateId)
{
    QList<MainQuestion *> groups;
    SqliteClass::instance()->loadGroups(groups, cateId);
    ExamSection section;
    for (int i = 0; i < groups.size(); ++i) {
        QuestionData *first = groups.at(i)->questions.value(0);
        if (!first)
            continue;
        first->userStatus = i % 3 == 0 ? 0 : (i % 2 ? 1 : 2);
        first->userAnswer = first->userStatus == 1 ? first->answer : (first->userStatus == 2 ? QStringLiteral("A") : QString());
        section.questions.append(groups.at(i));
    }
    ViewReport builder;
    builder.buildExamReport({&section}, 2);
    const QString html = SqliteClass::instance()->reportImagesToHtml(builder.findChild<QTextEdit *>()->toHtml());
    qDeleteAll(groups);
    return html;
}

// In the 778 x 450 page, and in the narrowest report panel of the past exams
// page (the 816 pixels of the page area less its list).
void saveEmbeddedReport(const QString &html, int width)
{
    ConfigIni::write(QStringLiteral("QuestionCell/ViewReportFontColor"), QString());
    ConfigIni::write(QStringLiteral("QuestionCell/ViewReportBkColor"), QString());
    QWidget host;
    host.resize(width, 450);
    QPalette ground = host.palette();
    ground.setColor(QPalette::Window, QColor(234, 244, 235));
    host.setPalette(ground);
    host.setAutoFillBackground(true);
    auto *viewer = new ViewReport(&host);
    viewer->setGeometry(host.rect());
    viewer->setSkinColor(QStringLiteral("80,153,2,255"));
    viewer->showReportHtml(html);
    viewer->hideTitleBar();
    host.show();
    save(&host, QStringLiteral("ViewReport_embedded_report_%1").arg(width));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: report_snapshots OUTDIR DEMO_SUBJECT_DIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    outDir = QDir(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    const QString subject = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    // The colours go to a Config.ini of its own.
    QTemporaryDir workDir;
    QDir::setCurrent(workDir.path());
    SqliteClass *store = SqliteClass::instance();
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    if (store->openDatabase(subject, phrase, 0) != 2 || store->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "report_snapshots: cannot read the demo subject: %s\n", qPrintable(store->lastErrorText()));
        return 1;
    }
    const int cateId = chapterId(demoChapter);
    if (cateId < 0) {
        std::fprintf(stderr, "report_snapshots: no chapter %s\n", qPrintable(demoChapter));
        return 1;
    }
    saveListings(cateId);
    const QString html = reportHtml(cateId);
    saveEmbeddedReport(html, 778);
    saveEmbeddedReport(html, 576);
    return 0;
}
