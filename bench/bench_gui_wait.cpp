#include "DataToUiThreadClass.h"
#include "LargeBankStore.h"
#include "MainQuestion.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <functional>

// How long a store call on the GUI thread waits while a worker job fills a
// review list: the longest single call of readNote, recordAnswer and
// setFavourite during one run of job 3 (wrong answers), 6 (search) or 9
// (answered questions); "job0" is the same calls with no job running, which
// is what a write costs by itself (its commit waits for the disk). The time
// of an iteration is that longest call; job_ms is how long the job took.
// The bank is 20,000 questions with 15,000 answered: $VELMORA_LARGE_BANK
// when set, else one written by banktool into a temporary directory.

namespace {

// Answered in the large bank, so the lists keep their size.
const int answeredQuestion = 6;

SqliteClass *store()
{
    return SqliteClass::instance();
}

// Takes over every record the job sends, as a page would, and frees it.
class Receiver : public QObject
{
public:
    explicit Receiver(DataToUiThreadClass *worker)
    {
        const auto dropGroup = [](int, MainQuestion *group) { delete group; };
        connect(store(), &SqliteClass::sendErrorQuestion, this, dropGroup);
        connect(store(), &SqliteClass::sendNewKnowQuestion, this, dropGroup);
        connect(worker, &DataToUiThreadClass::sendFindQuestion, this, [](SqliteData *hit) { delete hit; });
    }
};

using GuiCall = std::function<int(int round)>;

// Calls call about every two milliseconds, as a busy window might, until
// done() holds; the longest call in nanoseconds, -1 when one failed.
qint64 longestCall(const GuiCall &call, int &calls, const std::function<bool()> &done)
{
    qint64 longest = 0;
    QElapsedTimer timer;
    while (!done()) {
        timer.start();
        if (call(calls++) != 0)
            return -1;
        longest = std::max(longest, timer.nsecsElapsed());
        QThread::usleep(2000);
    }
    return longest;
}

// job 0: no job, the calls alone for a second, to tell the job's part.
void BM_GuiWait(benchmark::State &state, int job, const GuiCall &call)
{
    double worstMs = 0;
    double jobMs = 0;
    int calls = 0;
    for (auto _ : state) {
        QElapsedTimer jobTime;
        jobTime.start();
        DataToUiThreadClass worker;
        Receiver receiver(&worker);
        if (job == 6)
            worker.setKeywordJob(6, QStringLiteral("咳嗽"));
        else
            worker.setJob(job, -1);
        worker.start(QThread::InheritPriority);
        const qint64 longest = longestCall(call, calls, [&] {
            return job == 0 ? jobTime.elapsed() > 1000 : worker.isFinished();
        });
        worker.wait();
        jobMs += double(jobTime.nsecsElapsed()) / 1e6;
        QCoreApplication::sendPostedEvents(&receiver);
        if (longest < 0) {
            state.SkipWithError(qPrintable(store()->lastErrorText()));
            break;
        }
        state.SetIterationTime(double(longest) / 1e9);
        worstMs = std::max(worstMs, double(longest) / 1e6);
    }
    state.counters["worst_ms"] = worstMs;
    state.counters["job_ms"] = jobMs / double(state.iterations());
    state.counters["calls"] = calls;
}

void registerAll()
{
    const QList<QPair<const char *, GuiCall>> calls = {
        {"readNote",
         [](int) {
             QString note;
             return store()->readNote(answeredQuestion, note);
         }},
        {"recordAnswer",
         [](int) {
             return store()->recordAnswer(answeredQuestion, QStringLiteral("A"), QStringLiteral("2"),
                                          QStringLiteral("001"));
         }},
        {"setFavourite", [](int round) { return store()->setFavourite(answeredQuestion, round % 2); }},
    };
    for (const int job : {0, 3, 6, 9}) {
        for (const auto &call : calls) {
            const std::string name = "GuiWait/job" + std::to_string(job) + "/" + call.first;
            benchmark::RegisterBenchmark(name.c_str(), BM_GuiWait, job, call.second)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(5);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    if (!openLargeBank(scratch, {QStringLiteral("20000"), QStringLiteral("15000")}))
        return EXIT_FAILURE;

    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    store()->closeDatabase();
    benchmark::Shutdown();
    return 0;
}
