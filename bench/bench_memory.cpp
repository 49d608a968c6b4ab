#include "MainWindowRun.h"

#include "NewTalkExamForm.h"
#include "Resources.h"
#include "WaitingForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

// Peak resident memory (VmHWM) of one process that starts the main window,
// visits every page (each filled before the next) and opens a simulated exam
// from the simulated-exam page, as a user would. One iteration: the peak is
// the process's. Counters in MB: peak_mb, and rss_start_mb / rss_pages_mb /
// rss_exam_mb, the resident size after start, after the pages, with the
// exam open. On the 20,000-question bank it first runs itself with "--demo"
// (the demo subject), the baseline, in a process of its own that measures
// its own peak: demo_peak_mb beside peak_mb, and their ratio.

namespace {

QString subjectDir;
// The demo subject's run, for the large bank's.
QHash<QString, QJsonObject> baseline;

NewTalkExamForm *shownExam()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *exam = qobject_cast<NewTalkExamForm *>(widget); exam && exam->isVisible())
            return exam;
    }
    return nullptr;
}

void BM_PeakMemory(benchmark::State &state, const QString &name)
{
    mainwindowrun::ProgramDir program(subjectDir);
    if (!program.isReady()) {
        state.SkipWithError("no subject");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<MainObject> object = mainwindowrun::startMainWindow();
        MainWidget *window = mainwindowrun::shownMainWindow();
        if (!object || !window) {
            state.SkipWithError("the main window did not open");
            return;
        }
        state.counters["rss_start_mb"] = mainwindowrun::statusMb("VmRSS:");
        for (const int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}) {
            if (!mainwindowrun::visitPage(window, id).ok) {
                state.SkipWithError("a page did not fill");
                return;
            }
        }
        state.counters["rss_pages_mb"] = mainwindowrun::statusMb("VmRSS:");
        mainwindowrun::visitPage(window, 5);
        QTest::mouseClick(mainwindowrun::shownPage(window)->findChild<QPushButton *>(
                              QStringLiteral("pushButton_startExam")),
                          Qt::LeftButton);
        NewTalkExamForm *exam = nullptr;
        if (!mainwindowrun::waitUntil([&] {
                exam = shownExam();
                return exam && !exam->findChild<WaitingForm *>()->isVisible();
            })) {
            state.SkipWithError("the exam did not open");
            return;
        }
        mainwindowrun::drainEvents();
        state.counters["rss_exam_mb"] = mainwindowrun::statusMb("VmRSS:");
        state.counters["peak_mb"] = mainwindowrun::statusMb("VmHWM:");
        mainwindowrun::endMainWindow(object);
    }
    const QJsonObject demo = baseline.value(name);
    if (!demo.isEmpty()) {
        const double demoPeak = demo.value(QStringLiteral("peak_mb")).toDouble();
        state.counters["demo_peak_mb"] = demoPeak;
        state.counters["peak_per_demo"] = demoPeak > 0 ? state.counters["peak_mb"] / demoPeak : 0;
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initResources();
    QTemporaryDir scratch;
    subjectDir = mainwindowrun::chosenBankDir(argc, argv, scratch);
    if (subjectDir.isEmpty())
        return EXIT_FAILURE;
    const bool demo = subjectDir == mainwindowrun::demoBankDir();
    if (!demo)
        baseline = mainwindowrun::demoBaseline(argc, argv);
    benchmark::Initialize(&argc, argv);
    const QString name = demo ? QStringLiteral("PeakMemory/demo") : QStringLiteral("PeakMemory/large");
    benchmark::RegisterBenchmark(qPrintable(name), BM_PeakMemory, name)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
