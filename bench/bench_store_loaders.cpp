#include "BuiltinPassphrase.h"
#include "CipherPath.h"
#include "LargeBankStore.h"
#include "MainQuestion.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Chapter practice and the keyword search on a 20,000-question bank. The bank
// is the one in $VELMORA_LARGE_BANK when set, else one written by banktool
// from the same build into a temporary directory. Each runs with the cipher
// on its portable code ("hw:0") and on the processor's AES and SHA
// instructions ("hw:1").

namespace {

// A question set of the large bank (chapter 1, section 1, set 1) and a page
// from its middle.
const int practiceSet = 10101;
const int pageOffset = 20;
const int pageSize = 10;

SqliteClass *store()
{
    return SqliteClass::instance();
}

void BM_ChapterPage(benchmark::State &state)
{
    const CipherPath code(state, state.range(0) != 0);
    if (!code.usable)
        return;
    int records = 0;
    QObject receiver;
    QObject::connect(store(), &SqliteClass::sendQuestionBycateIdBycount, &receiver,
                     [&records](const QList<MainQuestion *> &page, int, int) {
                         records = page.size();
                         qDeleteAll(page);
                     });
    for (auto _ : state) {
        if (store()->loadChapterPage(practiceSet, pageOffset, pageSize) != 0)
            state.SkipWithError(qPrintable(store()->lastErrorText()));
    }
    state.counters["records"] = records;
}
// With repetitions, "min" is the run least disturbed by other work.
double fastest(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

BENCHMARK(BM_ChapterPage)->ArgName("hw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest);

void BM_SearchTwoCharacters(benchmark::State &state)
{
    const CipherPath code(state, state.range(0) != 0);
    if (!code.usable)
        return;
    int hits = 0;
    for (auto _ : state) {
        QList<SqliteData *> found;
        if (store()->searchQuestions(QStringLiteral("咳嗽"), found) != 0)
            state.SkipWithError(qPrintable(store()->lastErrorText()));
        hits = found.size();
        qDeleteAll(found);
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_SearchTwoCharacters)
    ->ArgName("hw")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", fastest);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    if (!openLargeBank(scratch))
        return EXIT_FAILURE;

    benchmark::RunSpecifiedBenchmarks();
    store()->closeDatabase();
    benchmark::Shutdown();
    return 0;
}
