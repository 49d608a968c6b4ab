// Draws the main window with each of its pages, and the windows around it,
// on a copy of a subject into PNG files, to look at them without a screen:
//   page_snapshots OUTDIR [SUBJECT_DIR]
// SUBJECT_DIR defaults to the build's demo subject. The welcome screen's
// requests go to a local service of its own.
#include "AboutApp.h"
#include "ChoiceDialog.h"
#include "ChineseDesktop.h"
#include "LocalWebService.h"
#include "MainWidget.h"
#include "MoveFunctionsForm.h"
#include "NavigationForm.h"
#include "PushButton.h"
#include "Resources.h"
#include "SqliteClass.h"
#include "WelcomeWidget.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCodec>
#include <cstdio>
#include <functional>

namespace {

// Runs the event loop for a while, or until done says so.
void settle(int ms, const std::function<bool()> &done = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (done && done())
            break;
    }
    QApplication::processEvents();
}

// A window on a mid-grey ground, so translucent edges show, with further
// windows (a panel, a dialog) drawn where they stand on the screen.
void save(QWidget *window, const QDir &dir, const QString &name, const QList<QWidget *> &extra = {})
{
    QApplication::processEvents();
    QImage image(window->size() + QSize(40, 40), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(96, 110, 124));
    QPainter painter(&image);
    painter.drawPixmap(20, 20, window->grab());
    for (QWidget *other : extra)
        painter.drawPixmap(QPoint(20, 20) + other->pos() - window->pos(), other->grab());
    painter.end();
    image.save(dir.filePath(name + QStringLiteral(".png")));
    std::printf("%s\n", qPrintable(dir.filePath(name + QStringLiteral(".png"))));
}

bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(file);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(file, target))
            return false;
    }
    return true;
}

// A few answers over several chapters, some wrong, one a favourite.
void recordAnswers()
{
    SqliteClass *store = SqliteClass::instance();
    QSqlQuery query(QSqlDatabase::database());
    query.exec(QStringLiteral("select min(q.queId) from tQue q join tCateList l on l.cateListId = q.cateListId "
                              "where q.IsDel != '1' group by l.cateId order by l.cateId limit 8"));
    QList<int> ids;
    while (query.next())
        ids << query.value(0).toInt();
    for (int i = 0; i < ids.size(); ++i) {
        store->recordAnswer(ids.at(i), QStringLiteral("A"), i % 3 ? QStringLiteral("1") : QStringLiteral("2"),
                            QStringLiteral("001"));
        const QDateTime when = QDateTime::currentDateTime().addSecs(-3600 * (i + 1));
        store->execSql(QStringLiteral("update tQue set userTime = '%1' where queId = %2")
                           .arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                           .arg(ids.at(i)));
    }
}

void writeConfig(const QString &text)
{
    QFile file(QStringLiteral("Config.ini"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QTextCodec::codecForName("GB2312")->fromUnicode(text));
}

// As a user does: the bar's button, or the panel's syllabus entry for 12.
void openPage(NavigationForm *bar, int id)
{
    if (id == 12) {
        bar->findChild<QPushButton *>(QStringLiteral("pushButton_movefuntions"))->click();
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *panel = qobject_cast<MoveFunctionsForm *>(widget))
                panel->findChild<QPushButton *>(QStringLiteral("pushButton_kaishizhinan"))->click();
        return;
    }
    const QList<PushButton *> buttons = bar->findChildren<PushButton *>();
    for (PushButton *button : buttons)
        if (button->id() == id) {
            button->click();
            return;
        }
    std::fprintf(stderr, "no button for page %d\n", id);
}

// The home page, with its load run to the end (the streak line comes last).
void openHome(QWidget *window, NavigationForm *bar)
{
    auto *state = window->findChild<QLabel *>(QStringLiteral("label_studystate"));
    state->clear();
    openPage(bar, 0);
    settle(20000, [state] { return !state->text().isEmpty(); });
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: page_snapshots OUTDIR [SUBJECT_DIR]\n");
        return 2;
    }
    initResources();
    ChineseDesktop::apply();
    QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 10));
    // Absolute: the working directory changes below.
    const QDir out(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    QDir().mkpath(out.path());
    const QString subject = QDir::current().absoluteFilePath(
        argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(VELMORA_DEMO_SUBJECT_DIR));

    LocalWebService service;
    if (!service.listen())
        return 1;
    qputenv("VELMORA_SERVICE_HOST", service.host().toUtf8());

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    if (!QFile::exists(subject + QStringLiteral("/MedicalDB.db")) || !copyTree(subject, QStringLiteral("data"))) {
        std::fprintf(stderr, "no subject in %s\n", qPrintable(subject));
        return 1;
    }
    const QString config = QStringLiteral(
        "[AppModel]\nmodel=1\n[ContactUs]\nContact1=客服电话：400-800-1234\\n服务时间：工作日 9:00-18:00\n"
        "[Version]\nPROGRAM=1.0.0\n");
    writeConfig(config);

    {
        WelcomeWidget welcome;
        if (welcome.initWelcome(QStringLiteral("data")) != 1) {
            std::fprintf(stderr, "the subject's bank did not open\n");
            return 1;
        }
        settle(300);
        save(&welcome, out, QStringLiteral("welcome"));
        recordAnswers();
    }
    SqliteClass::instance()->closeDatabase();

    auto *window = new MainWidget;
    if (window->start() != 0 || !window->isVisible()) {
        std::fprintf(stderr, "the main window did not open\n");
        return 1;
    }
    NavigationForm *bar = window->findChild<NavigationForm *>();
    QWidget *spacer = window->findChild<QWidget *>(QStringLiteral("widget_right2"));
    auto slidIn = [&] { return spacer->width() >= 200; };
    settle(3000, slidIn);

    for (int id = 0; id <= 12; ++id) {
        if (id != 10 && id != 12) {
            bar->slideIn();
            settle(2000, slidIn);
        }
        openPage(bar, id);
        if (id == 0) {
            const QLabel *state = window->findChild<QLabel *>(QStringLiteral("label_studystate"));
            settle(20000, [&] { return !state->text().isEmpty(); });
        } else if (id == 1) {
            const QTableWidget *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
            settle(20000, [&] { return table && table->rowCount() > 0; });
        }
        settle(600);
        save(window, out, QStringLiteral("page-%1").arg(id, 2, 10, QLatin1Char('0')));
    }

    openHome(window, bar);
    bar->slideOut();
    settle(2000, [&] { return spacer->width() <= 10; });
    save(window, out, QStringLiteral("window-bar-collapsed"));
    bar->slideIn();
    settle(2000, slidIn);
    save(window, out, QStringLiteral("window-bar-expanded"));

    bar->findChild<QPushButton *>(QStringLiteral("pushButton_movefuntions"))->click();
    settle(300);
    QList<QWidget *> panels;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<MoveFunctionsForm *>(widget) && widget->isVisible())
            panels << widget;
    save(window, out, QStringLiteral("window-panel"), panels);
    bar->closeMoreFunctions();

    window->receiveAboutApp();
    settle(300);
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<AboutApp *>(widget) && widget->isVisible()) {
            save(window, out, QStringLiteral("window-about"), {widget});
            widget->close();
        }

    window->findChild<QPushButton *>(QStringLiteral("pushButton_exit"))->click();
    settle(300);
    if (auto *confirm = qobject_cast<ChoiceDialog *>(QApplication::activeModalWidget())) {
        save(window, out, QStringLiteral("window-exit"), {confirm});
        confirm->close();
    }

    const QList<QPair<QString, QString>> skins = {
        {QStringLiteral("blue"), QStringLiteral("81,153,2,255")},
        {QStringLiteral("green"), QStringLiteral("0,132,255,255")},
        {QStringLiteral("pink"), QStringLiteral("255,127,167,255")},
        {QStringLiteral("back"), QStringLiteral("87,87,87,255")},
        {QString(), QStringLiteral("87,87,87,255")},
    };
    for (const auto &skin : skins) {
        window->receiveSkinDialogColor(skin.first, skin.second);
        openHome(window, bar);
        settle(800);
        save(window, out, QStringLiteral("home-%1").arg(skin.first.isEmpty() ? QStringLiteral("colour") : skin.first));
    }
    delete window;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete SqliteClass::instance();
    return 0;
}
