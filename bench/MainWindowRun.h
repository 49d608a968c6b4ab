#pragma once

// Runs the real main window on a subject for the start-up, page and memory
// benchmarks: a working directory with its own Config.ini and "data" (a copy
// of the subject), MainObject::start(0) as main() calls it, and the clicks a
// user makes on the navigation bar. Everything stays on 127.0.0.1: the web
// service's address is a closed local port.

#include "DataToUiThreadClass.h"
#include "HomePageWidget.h"
#include "MainObject.h"
#include "MainWidget.h"
#include "MoveFunctionsForm.h"
#include "NavigationForm.h"
#include "PushButton.h"
#include "SqliteClass.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLayout>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace mainwindowrun {

// The 20,000-question bank: $VELMORA_LARGE_BANK when set, else one that
// banktool of the same build writes into scratch. Empty when there is none.
inline QString largeBankDir(QTemporaryDir &scratch)
{
    const QString fromEnvironment = qEnvironmentVariable("VELMORA_LARGE_BANK");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString banktool = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/bank/banktool");
    if (QProcess::execute(banktool, {QStringLiteral("large"), scratch.path(), QStringLiteral("20000"),
                                     QStringLiteral("15000")})
        != 0) {
        std::fprintf(stderr, "cannot write the large bank; set VELMORA_LARGE_BANK\n");
        return QString();
    }
    return scratch.path();
}

// The demo subject the build makes (a few dozen questions): the baseline.
inline QString demoBankDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../demo/data");
}

// The demo subject with "--demo" among the arguments, else the large bank.
inline QString chosenBankDir(int argc, char **argv, QTemporaryDir &scratch)
{
    const bool demo = std::find(argv + 1, argv + argc, std::string("--demo")) != argv + argc;
    return demo ? demoBankDir() : largeBankDir(scratch);
}

inline bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo &entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

// The same benchmark program run on the demo subject, the baseline, in a
// process of its own (the store and the window are one per process, and the
// process measures its own peak): each benchmark's JSON result by the name
// it was registered with, "large" for "demo", so that a large case finds its
// baseline. Empty
// when the run failed. The arguments pass on (a filter, say).
inline QHash<QString, QJsonObject> demoBaseline(int argc, char **argv)
{
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("demo.json"));
    QStringList arguments{QStringLiteral("--demo")};
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    arguments << QStringLiteral("--benchmark_out=") + file << QStringLiteral("--benchmark_out_format=json");
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    QHash<QString, QJsonObject> results;
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "the baseline run on the demo subject failed\n");
        return results;
    }
    QFile json(file);
    if (!json.open(QIODevice::ReadOnly))
        return results;
    const QJsonArray runs = QJsonDocument::fromJson(json.readAll()).object().value(QStringLiteral("benchmarks")).toArray();
    for (const QJsonValue &run : runs) {
        const QJsonObject result = run.toObject();
        QString name = result.value(QStringLiteral("name")).toString().section(QStringLiteral("/iterations:"), 0, 0);
        results.insert(name.replace(QStringLiteral("/demo"), QStringLiteral("/large")), result);
    }
    return results;
}

// A program directory holding the subject as "./data"; the working directory
// while it lives. The updater is skipped; the one-time clean-up of the bank
// is marked done, as on every start after the first, unless firstStart.
class ProgramDir
{
public:
    explicit ProgramDir(const QString &subjectDir, bool firstStart = false)
    {
        previous = QDir::currentPath();
        ready = dir.isValid() && copyTree(subjectDir, dir.filePath(QStringLiteral("data")));
        QFile ini(dir.filePath(QStringLiteral("Config.ini")));
        ready = ready && ini.open(QIODevice::WriteOnly)
                && ini.write(firstStart ? "[AppModel]\nmodel=1\nIsChoose=1\n"
                                        : "[AppModel]\nmodel=1\nIsChoose=1\n[Remove]\nType=1\n")
                       > 0;
        ini.close();
        ready = ready && QDir::setCurrent(dir.path());
        qputenv("VELMORA_SERVICE_HOST", "127.0.0.1:1");
    }
    ~ProgramDir() { QDir::setCurrent(previous); }

    bool isReady() const { return ready; }
    // Makes it the working directory again, after another's.
    void enter() const { QDir::setCurrent(dir.path()); }

private:
    QTemporaryDir dir;
    QString previous;
    bool ready = false;
};

inline MainWidget *shownMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<MainWidget *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// Runs every event that is due now, posted ones and those they post.
inline void drainEvents()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    for (int round = 0; round < 100000; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!dispatcher->hasPendingEvents())
            return;
    }
}

inline bool anyWorkerRunning(const QWidget *page)
{
    const QList<DataToUiThreadClass *> workers = page->findChildren<DataToUiThreadClass *>();
    return std::any_of(workers.begin(), workers.end(), [](const DataToUiThreadClass *w) { return w->isRunning(); });
}

// Waits, handling events, until done() holds; false after timeoutMs. The
// thread sleeps between events (a tick wakes it to look again) rather than
// polling, which would take a core from the workers.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(2);
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The home page is filled once its load of the recent rows has ended and
// every row and the end it sent have been handled.
inline bool homeFilled(MainWidget *window)
{
    auto *home = window ? window->findChild<HomePageWidget *>() : nullptr;
    if (!home)
        return false;
    auto *worker = home->findChild<DataToUiThreadClass *>();
    if (!worker || worker->isRunning())
        return false;
    drainEvents();
    return !worker->isRunning();
}

// The main window as main() makes it, up to the home page filled and nothing
// left to do; null when it did not open.
inline std::unique_ptr<MainObject> startMainWindow()
{
    auto object = std::make_unique<MainObject>();
    if (object->start(0) != 0)
        return nullptr;
    MainWidget *window = shownMainWindow();
    if (!window || !waitUntil([window] { return homeFilled(window); }))
        return nullptr;
    return object;
}

// Lateness of a timer that should fire every 5 ms: how long the GUI thread
// was held by something else.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(intervalMs);
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 now = clock.nsecsElapsed();
            worstNs = std::max(worstNs, now - last - qint64(intervalMs) * 1000000);
            last = now;
        });
    }
    void start()
    {
        worstNs = 0;
        clock.start();
        last = 0;
        timer.start();
    }
    // Counts a wait that has not ended in a timeout yet.
    double stopMs()
    {
        timer.stop();
        worstNs = std::max(worstNs, clock.nsecsElapsed() - last - qint64(intervalMs) * 1000000);
        return double(worstNs) / 1e6;
    }

private:
    static constexpr int intervalMs = 5;
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worstNs = 0;
};

// The twelve navigation targets: the bar's buttons 0 to 11 and the syllabus
// from the more-functions panel.
inline void clickPage(MainWidget *window, int id)
{
    auto *bar = window->findChild<NavigationForm *>();
    if (id == 12) {
        QTest::mouseClick(bar->findChild<QPushButton *>(QStringLiteral("pushButton_movefuntions")), Qt::LeftButton);
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *panel = qobject_cast<MoveFunctionsForm *>(widget))
                QTest::mouseClick(panel->findChild<QPushButton *>(QStringLiteral("pushButton_kaishizhinan")),
                                  Qt::LeftButton);
        }
        return;
    }
    const char *const names[] = {"pushButton_HomePage", "pushButton_ExamQuestions", "pushButton_ErrorQuestion",
                                 "pushButton_Collection", "pushButton_UserText", "pushButton_SimulatedExamination",
                                 "pushButton_Talk", "pushButton_FindQuestion", "pushButton_wenguzhixin",
                                 "pushButton_kuaisubeiti", "pushButton_xuexibaogao", "pushButton_yati"};
    QTest::mouseClick(bar->findChild<PushButton *>(QLatin1String(names[id])), Qt::LeftButton);
}

// The page in the page area.
inline QWidget *shownPage(MainWidget *window)
{
    auto *layout = window->findChild<QLayout *>(QStringLiteral("verticalLayout_main"));
    QLayoutItem *item = layout ? layout->itemAt(0) : nullptr;
    return item ? item->widget() : nullptr;
}

// The page shows its first rows: a list page a row of its list, the others
// once they are on show.
inline bool firstRowsShown(int id, QWidget *page)
{
    if (!page || !page->isVisible())
        return false;
    const auto table = [page] { return page->findChild<QTableWidget *>(QStringLiteral("tableWidget")); };
    const auto tree = [page] { return page->findChild<QTreeWidget *>(QStringLiteral("treeWidget")); };
    switch (id) {
    case 0: case 1: case 2: case 3: case 4: case 8: case 10: case 11:
        return table() && table()->rowCount() > 0;
    case 5: case 9: case 12:
        return tree() && tree()->topLevelItemCount() > 0;
    default:
        return true;
    }
}

inline bool pageFilled(QWidget *page)
{
    if (anyWorkerRunning(page))
        return false;
    drainEvents();
    return !anyWorkerRunning(page);
}

struct Visit
{
    bool ok = false;
    double firstRowsMs = 0;
    double filledMs = 0;
    double worstStallMs = 0;
};

// One click on the page's button: the time to its first rows (painted), the
// time until its loads have ended and been handled, and the longest time the
// GUI thread was held meanwhile.
inline Visit visitPage(MainWidget *window, int id)
{
    Visit visit;
    StallMeter meter;
    QElapsedTimer clock;
    meter.start();
    clock.start();
    clickPage(window, id);
    QWidget *page = nullptr;
    // An empty list counts once its load has ended and nothing is left to handle.
    const auto shown = [&] {
        page = shownPage(window);
        return firstRowsShown(id, page)
               || (page && page->isVisible() && !anyWorkerRunning(page)
                   && !QAbstractEventDispatcher::instance()->hasPendingEvents());
    };
    if (!waitUntil(shown))
        return visit;
    window->repaint();
    visit.firstRowsMs = double(clock.nsecsElapsed()) / 1e6;
    if (!waitUntil([&] { return pageFilled(page); }))
        return visit;
    window->repaint();
    visit.filledMs = double(clock.nsecsElapsed()) / 1e6;
    visit.worstStallMs = meter.stopMs();
    visit.ok = true;
    return visit;
}

// Peak and current resident memory of this process in MB (VmHWM, VmRSS).
inline double statusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// Ends the main window and the store, as the end of main() does.
inline void endMainWindow(std::unique_ptr<MainObject> &object)
{
    object.reset();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->testAttribute(Qt::WA_DeleteOnClose))
            widget->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete SqliteClass::instance();
}

} // namespace mainwindowrun
