#include "MainWindowRun.h"

#include "Resources.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdlib>

// Cold start of the main window as main() runs it (MainObject::start(0)):
// welcome screen, bank open, question types, pages, home page with its
// statistics and recent-study rows, up to the home page filled and no event
// left to handle. Each iteration builds a new store and window. "large" is
// the 20,000-question bank with 15,000 answered ($VELMORA_LARGE_BANK when
// set, else written by banktool); "large_first" the same at the first start
// on that bank, with its one-time clean-up; "demo" the demo subject, the
// baseline. Each iteration of the large cases also starts on the demo
// subject, right after: demo_ms beside and per_demo, the ratio of the two.

namespace {

// One start of the main window in the working directory, in ns; -1 when it
// did not open.
qint64 timedStart()
{
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<MainObject> object = mainwindowrun::startMainWindow();
    const qint64 elapsed = timer.nsecsElapsed();
    if (!object)
        return -1;
    mainwindowrun::endMainWindow(object);
    return elapsed;
}

void BM_ColdStart(benchmark::State &state, const QString &subjectDir, bool firstStart, bool withBaseline)
{
    std::unique_ptr<mainwindowrun::ProgramDir> demo;
    if (withBaseline) {
        demo = std::make_unique<mainwindowrun::ProgramDir>(mainwindowrun::demoBankDir());
        if (!demo->isReady() || timedStart() < 0) {
            state.SkipWithError("no demo subject");
            return;
        }
    }
    double demoNs = 0;
    double ownNs = 0;
    // The first start on a bank writes it (clean-up, missing indexes): a
    // fresh copy for each of those; the later starts share one program
    // directory that has had its first start.
    std::unique_ptr<mainwindowrun::ProgramDir> program;
    if (!firstStart) {
        program = std::make_unique<mainwindowrun::ProgramDir>(subjectDir);
        std::unique_ptr<MainObject> object = program->isReady() ? mainwindowrun::startMainWindow() : nullptr;
        if (!object) {
            state.SkipWithError("no subject");
            return;
        }
        mainwindowrun::endMainWindow(object);
    }
    for (auto _ : state) {
        if (firstStart) {
            state.PauseTiming();
            program.reset();
            program = std::make_unique<mainwindowrun::ProgramDir>(subjectDir, true);
            if (!program->isReady()) {
                state.SkipWithError("no subject");
                break;
            }
            state.ResumeTiming();
        }
        program->enter();
        const qint64 own = timedStart();
        if (own < 0) {
            state.SkipWithError("the main window did not open");
            break;
        }
        state.SetIterationTime(double(own) / 1e9);
        ownNs += own;
        if (demo) {
            demo->enter();
            const qint64 baseline = timedStart();
            if (baseline < 0) {
                state.SkipWithError("the main window did not open on the demo subject");
                break;
            }
            demoNs += baseline;
        }
    }
    if (demoNs > 0) {
        state.counters["demo_ms"] = demoNs / 1e6 / state.iterations();
        state.counters["per_demo"] = ownNs / demoNs;
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initResources();
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    const QString large = mainwindowrun::largeBankDir(scratch);
    if (large.isEmpty())
        return EXIT_FAILURE;
    const struct { const char *name; QString dir; bool firstStart; } runs[] = {
        {"demo", mainwindowrun::demoBankDir(), false},
        {"large", large, false},
        {"large_first", large, true},
    };
    for (const auto &run : runs) {
        benchmark::RegisterBenchmark((std::string("ColdStart/") + run.name).c_str(), BM_ColdStart, run.dir,
                                     run.firstStart, run.dir != mainwindowrun::demoBankDir())
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
