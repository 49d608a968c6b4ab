#include "ExamSection.h"
#include "LargeBankStore.h"
#include "NewTalkExamForm.h"
#include "QueTypeData.h"
#include "QuestionTypeTipDialog.h"
#include "SimulatedExaminatinWidget.h"
#include "Skin.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "WaitingForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <unistd.h>

// From the start of an exam to its first question on screen (loading over,
// the window laid out and painted with the paper dialog on top), on the
// 20,000-question bank with every chapter chosen:
// - manMachine2: the man-machine paper of type 2 (60 questions, 10 B1
//   groups, 8 case groups);
// - simulatedDefault: the simulated-exam set-up page's "开始考试" with the
//   counts it offers (each type's stored exam count), from the click;
// - simulatedEveryType: every type of the bank at its stored exam count;
// - predictionPaper: the bank's first prediction paper (120 questions).
// $VELMORA_LARGE_BANK when set, else one written by banktool into a
// temporary directory. The same cases then run on an unkeyed copy of the
// bank (".../unkeyed", made by bankctl), the plain baseline that tells the
// page decryption's share.

namespace {

using Start = std::function<NewTalkExamForm *()>;

SqliteClass *store()
{
    return SqliteClass::instance();
}

void closeExamWindows()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QuestionTypeTipDialog *>(widget) || qobject_cast<NewTalkExamForm *>(widget))
            delete widget;
    }
}

// Until the window's overlay is gone and what that left to lay out and
// paint is done; false when the window closed itself (no question).
bool waitFirstQuestion(NewTalkExamForm *started)
{
    QPointer<NewTalkExamForm> window = started;
    WaitingForm *overlay = window->findChild<WaitingForm *>();
    while (window && overlay->isVisible())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!window)
        return false;
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    return window;
}

// Time is the mean; the median and the slowest run tell a busy machine's
// outliers from the draw's own cost.
void BM_TalkExamLoad(benchmark::State &state, const Start &start)
{
    std::vector<double> runs;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        NewTalkExamForm *window = start();
        const bool shown = window && waitFirstQuestion(window);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        runs.push_back(seconds * 1e3);
        if (!shown) {
            state.SkipWithError("the paper had no question");
            break;
        }
        closeExamWindows();
    }
    if (runs.empty())
        return;
    std::sort(runs.begin(), runs.end());
    state.counters["median_ms"] = runs.at(runs.size() / 2);
    state.counters["max_ms"] = runs.back();
}

NewTalkExamForm *newWindow()
{
    auto *window = new NewTalkExamForm;
    window->show();
    window->setSkinColor(QString::fromLatin1(defaultSkinColor));
    return window;
}

QList<ExamSection *> everyType()
{
    QList<int> types;
    store()->questionTypesInBank(types);
    QList<ExamSection *> parts;
    for (const int type : types) {
        QueTypeData *record = nullptr;
        store()->questionType(record, type);
        auto *part = new ExamSection;
        part->queTypeId = type;
        part->count = record && record->examCount > 0 ? record->examCount : 5;
        part->name = record ? record->queTypeName : QString();
        parts << part;
    }
    return parts;
}

// The set-up page as the user finds it: chapter tree loaded, counts offered.
SimulatedExaminatinWidget *setUpPage()
{
    auto *page = new SimulatedExaminatinWidget;
    page->setSkinColor(QString::fromLatin1(defaultSkinColor));
    page->show();
    WaitingForm *overlay = page->findChild<WaitingForm *>();
    while (overlay && overlay->isVisible())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return page;
}

NewTalkExamForm *clickStart(SimulatedExaminatinWidget *page)
{
    page->findChild<QPushButton *>(QStringLiteral("pushButton_startExam"))->click();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<NewTalkExamForm *>(widget))
            return window;
    }
    return nullptr;
}

int firstPaper()
{
    QList<SqliteData *> papers;
    store()->paperChapters(papers, 0, 0);
    const int id = papers.isEmpty() ? -1 : papers.first()->text0.toInt();
    qDeleteAll(papers);
    return id;
}

void registerAll(SimulatedExaminatinWidget *page, int paper, const std::string &suffix)
{
    const auto add = [&suffix](const char *name, const Start &start) {
        benchmark::RegisterBenchmark((name + suffix).c_str(), BM_TalkExamLoad, start)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);
    };
    add("TalkExamLoad/manMachine2", [] {
        NewTalkExamForm *window = newWindow();
        window->startManMachineExam(2);
        return window;
    });
    add("TalkExamLoad/simulatedDefault", [page] { return clickStart(page); });
    add("TalkExamLoad/simulatedEveryType", [] {
        NewTalkExamForm *window = newWindow();
        const QList<ExamSection *> parts = everyType();
        window->startSimulatedExam(parts);
        qDeleteAll(parts);
        return window;
    });
    add("TalkExamLoad/predictionPaper", [paper] {
        NewTalkExamForm *window = newWindow();
        window->startPredictionPaper(paper, 2);
        return window;
    });
}

// Reopens the store on an unkeyed copy of the bank it has open, in plainDir.
bool openUnkeyedCopy(const QTemporaryDir &plainDir)
{
    const QString bank = store()->databaseDir() + QStringLiteral("MedicalDB.db");
    const QString plain = QDir(plainDir.path()).filePath(QStringLiteral("MedicalDB.db"));
    const QString bankctl = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/bankctl");
    store()->closeDatabase();
    if (QProcess::execute(bankctl, {QStringLiteral("decrypt"), bank, plain}) != 0
        || store()->openDatabase(plainDir.path(), QString(), 0) != 2 || store()->loadQuestionTypes() != 0) {
        std::fprintf(stderr, "cannot open an unkeyed copy of %s\n", qPrintable(bank));
        return false;
    }
    return true;
}

// As the program's log does, drops Qt's warning at every parse of a skin
// colour rgb(r,g,b,a); the rest goes to stderr.
void dropColourWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg
        && message.startsWith(QLatin1String(
            "QCssParser::parseColorValue: Specified color without alpha value but alpha given: 'rgb ")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropColourWarnings);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    if (!openLargeBank(scratch, {QStringLiteral("20000"), QStringLiteral("15000")}))
        return EXIT_FAILURE;
    // Every chapter chosen, whatever an earlier run of the page left.
    if (store()->execSql(QStringLiteral("update tCate set choose='1'")) != 0)
        return EXIT_FAILURE;
    const int paper = firstPaper();
    if (paper < 0) {
        std::fprintf(stderr, "the bank has no prediction paper\n");
        return EXIT_FAILURE;
    }

    // The program has shown windows before its first exam: fonts and
    // images are loaded, which the first case would otherwise pay for.
    NewTalkExamForm *warmUp = newWindow();
    warmUp->startPredictionPaper(paper, 2);
    waitFirstQuestion(warmUp);
    closeExamWindows();

    SimulatedExaminatinWidget *page = setUpPage();
    registerAll(page, paper, std::string());
    // One reporter for both runs: the library's own does not survive a second.
    benchmark::ConsoleReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_Defaults
                                                               : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    delete page;

    QTemporaryDir plainDir;
    if (!openUnkeyedCopy(plainDir))
        return EXIT_FAILURE;
    benchmark::ClearRegisteredBenchmarks();
    page = setUpPage();
    registerAll(page, paper, "/unkeyed");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    delete page;
    closeExamWindows();
    delete store();
    benchmark::Shutdown();
    return 0;
}
