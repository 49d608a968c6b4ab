#include "LargeBankStore.h"
#include "MainQuestion.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdlib>

// Chapter practice and the keyword search on a 20,000-question bank. The bank
// is the one in $VELMORA_LARGE_BANK when set, else one written by banktool
// from the same build into a temporary directory.

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
BENCHMARK(BM_ChapterPage)->Unit(benchmark::kMillisecond);

void BM_SearchTwoCharacters(benchmark::State &state)
{
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
BENCHMARK(BM_SearchTwoCharacters)->Unit(benchmark::kMillisecond);

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
