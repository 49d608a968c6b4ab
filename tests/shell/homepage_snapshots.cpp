// Draws the home page, a recent-study row and the exam date dialog on a copy
// of the demo subject into PNG files, to look at them without a screen:
//   homepage_snapshots DEMO_DATA_DIR OUTDIR
#include "BuiltinPassphrase.h"
#include "HomePageTableCell.h"
#include "HomePageWidget.h"
#include "Resources.h"
#include "SetExamTime.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString green = QStringLiteral("80,153,2,255");
const QString pink = QStringLiteral("255,127,167,255");

// On a mid-grey ground, so translucent edges show; a page on the white of
// the main window's page area.
void save(QWidget *widget, const QDir &dir, const QString &name, bool page = false)
{
    widget->show();
    QApplication::processEvents();
    QImage image(widget->size() + QSize(40, 40), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(96, 110, 124));
    QPainter painter(&image);
    if (page)
        painter.fillRect(QRect(QPoint(20, 20), widget->size()), Qt::white);
    painter.drawPixmap(20, 20, widget->grab());
    painter.end();
    image.save(dir.filePath(name + QStringLiteral(".png")));
    widget->hide();
}

// One load of the page, run to its end (the streak line is rewritten then).
bool load(HomePageWidget &page)
{
    QLabel *state = page.findChild<QLabel *>(QStringLiteral("label_studystate"));
    state->clear();
    page.initData();
    QElapsedTimer clock;
    clock.start();
    while (state->text().isEmpty() && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    return !state->text().isEmpty();
}

// One page, loaded and drawn once per (file name, skin colour).
bool drawPage(const QDir &out, const QList<QPair<QString, QString>> &shots)
{
    HomePageWidget page;
    page.resize(987, 600);
    for (const auto &shot : shots) {
        page.setSkinColor(shot.second);
        if (!load(page))
            return false;
        save(&page, out, shot.first, true);
    }
    return true;
}

// A dozen answers over several chapters and hours, and an exam date ahead.
void study(SqliteClass *store)
{
    QSqlQuery query(QSqlDatabase::database());
    // The longest question of each chapter: long case texts must not push the button away.
    query.exec(QStringLiteral("select q.queId, max(length(q.queText)) from tQue q join tCateList l "
                              "on l.cateListId = q.cateListId where q.IsDel != '1' group by l.cateId "
                              "order by l.cateId limit 12"));
    QList<int> ids;
    while (query.next())
        ids << query.value(0).toInt();
    for (int i = 0; i < ids.size(); ++i) {
        store->recordAnswer(ids.at(i), QStringLiteral("A"), i % 3 ? QStringLiteral("1") : QStringLiteral("2"),
                            QStringLiteral("001"));
        const QDateTime when = QDateTime::currentDateTime().addDays(-1).addSecs(-3600 * i);
        store->execSql(QStringLiteral("update tQue set userTime = '%1' where queId = %2")
                           .arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                           .arg(ids.at(i)));
    }
    SqliteData examDate;
    examDate.text0 = QDate::currentDate().addDays(45).toString(QStringLiteral("yyyy-MM-dd"));
    store->InsertOrUpdateConfigTable(QStringLiteral("ExamTime"), &examDate);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: homepage_snapshots DEMO_DATA_DIR OUTDIR\n");
        return 2;
    }
    initResources();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir demo(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[2])));

    // A fresh working directory with a copy of the demo bank.
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QDir().mkdir(QStringLiteral("data"));
    if (!QFile::copy(demo.filePath(QStringLiteral("MedicalDB.db")), QStringLiteral("data/MedicalDB.db"))) {
        std::fprintf(stderr, "no MedicalDB.db in %s\n", argv[1]);
        return 1;
    }
    SqliteClass *store = SqliteClass::instance();
    if (store->openDatabase(QStringLiteral("data"), QString::fromLatin1(builtinPassphrase), 0) != 2) {
        std::fprintf(stderr, "cannot open the demo bank\n");
        return 1;
    }

    if (!drawPage(out, {{QStringLiteral("home_untouched"), green}}))
        return 1;
    study(store);
    if (!drawPage(out, {{QStringLiteral("home_studied"), green}, {QStringLiteral("home_studied_pink"), pink}}))
        return 1;

    HomePageTableCell cell;
    cell.setData(0, QStringLiteral("呼吸系统"), QStringLiteral("慢性阻塞性肺疾病"),
                 QStringLiteral("慢性阻塞性肺疾病最主要的危险因素是[a.png]"), QDateTime::currentDateTime());
    cell.setSkinColor(green);
    save(&cell, out, QStringLiteral("home_row"), true);

    auto *dialog = new SetExamTime;
    dialog->setSkinColor(pink);
    dialog->setDate(QDate::currentDate().addDays(45));
    save(dialog, out, QStringLiteral("exam_date_dialog"));
    delete dialog;
    return 0;
}
