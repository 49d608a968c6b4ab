#include "MainWindowRun.h"

#include "Resources.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

// Page switching in the main window: for each of the twelve navigation
// targets, from the click on its button (the syllabus: the more-functions
// panel's entry) to its first rows painted, worker jobs included. Counters:
// first_ms the first visit (pages 11 and 12 are built then), filled_ms until
// the page's loads have ended and every row is in, stall_ms the longest time
// the GUI thread was held during click and fill (a 5 ms timer's lateness).
// Each iteration comes from the question-bank page (from home for page 1).
// "large" is the 20,000-question bank, "demo" the demo subject, the
// baseline: on the large bank the program first runs itself with "--demo"
// in a process of its own and shows the demo's figures beside each page's
// (demo_first_ms, demo_filled_ms, demo_stall_ms).

namespace {

const char *const pageNames[] = {"0home", "1bank", "2wrong", "3favourite", "4notes", "5simulated", "6talk",
                                 "7search", "8answered", "9memorise", "10report", "11papers", "12syllabus"};

struct Run
{
    std::unique_ptr<MainObject> object;
    MainWidget *window = nullptr;
    QHash<QString, QJsonObject> baseline;
};

Run &run()
{
    static Run current;
    return current;
}

void BM_PageSwitch(benchmark::State &state, int id, const QString &name)
{
    MainWidget *window = run().window;
    if (!window) {
        state.SkipWithError("no main window");
        return;
    }
    double first = -1;
    double filled = 0;
    double stall = 0;
    int visits = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const mainwindowrun::Visit away = mainwindowrun::visitPage(window, id == 1 ? 0 : 1);
        state.ResumeTiming();
        const mainwindowrun::Visit visit = mainwindowrun::visitPage(window, id);
        if (!away.ok || !visit.ok) {
            state.SkipWithError("the page did not fill");
            break;
        }
        state.SetIterationTime(visit.firstRowsMs / 1e3);
        if (first < 0)
            first = visit.firstRowsMs;
        filled += visit.filledMs;
        stall = std::max(stall, visit.worstStallMs);
        ++visits;
    }
    state.counters["first_ms"] = first;
    state.counters["filled_ms"] = visits ? filled / visits : 0;
    state.counters["stall_ms"] = stall;
    const QJsonObject demo = run().baseline.value(name);
    for (const char *figure : {"first_ms", "filled_ms", "stall_ms"}) {
        if (demo.contains(QLatin1String(figure)))
            state.counters[std::string("demo_") + figure] = demo.value(QLatin1String(figure)).toDouble();
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initResources();
    // "--demo" runs on the demo subject, the baseline.
    QTemporaryDir scratch;
    const QString subject = mainwindowrun::chosenBankDir(argc, argv, scratch);
    if (subject.isEmpty())
        return EXIT_FAILURE;
    const bool demo = subject == mainwindowrun::demoBankDir();
    if (!demo)
        run().baseline = mainwindowrun::demoBaseline(argc, argv);
    benchmark::Initialize(&argc, argv);
    mainwindowrun::ProgramDir program(subject);
    if (!program.isReady())
        return EXIT_FAILURE;
    run().object = mainwindowrun::startMainWindow();
    run().window = mainwindowrun::shownMainWindow();

    for (int id = 0; id <= 12; ++id) {
        const QString name = QStringLiteral("PageSwitch/%1/%2").arg(demo ? "demo" : "large", pageNames[id]);
        benchmark::RegisterBenchmark(qPrintable(name), BM_PageSwitch, id, name)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    benchmark::RunSpecifiedBenchmarks();
    mainwindowrun::endMainWindow(run().object);
    benchmark::Shutdown();
    return 0;
}
