#include "BuiltinPassphrase.h"
#include "CipherPath.h"
#include "LargeBankStore.h"
#include "MainQuestion.h"
#include "SqliteClass.h"
#include "SqliteData.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Chapter practice and the keyword search on a 20,000-question bank. The bank
// is the one in $VELMORA_LARGE_BANK when set, else one written by banktool
// from the same build into a temporary directory. Each runs with the cipher
// on its portable code ("hw:0") and on the processor's AES and SHA
// instructions ("hw:1"). The search also runs, iteration by iteration, on
// an unkeyed copy of the bank (made by bankctl), its baseline: unkeyed_ms
// beside it and keyed_per_unkeyed, the cipher's share.

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

// The large bank and its unkeyed copy.
struct Banks
{
    QString keyedDir;
    QString plainDir;
};

Banks &banks()
{
    static Banks current;
    return current;
}

bool reopen(const QString &dir, const QString &phrase)
{
    store()->closeDatabase();
    return store()->openDatabase(dir, phrase, 0) == 2 && store()->loadQuestionTypes() == 0;
}

// The search's time in ns on the bank open now, after one untimed run that
// fills the page cache as the program's earlier searches would; -1 when it
// failed.
qint64 searchTime(int &hits)
{
    QElapsedTimer clock;
    for (int run = 0; run < 2; ++run) {
        QList<SqliteData *> found;
        clock.start();
        const int result = store()->searchQuestions(QStringLiteral("咳嗽"), found);
        const qint64 elapsed = clock.nsecsElapsed();
        hits = found.size();
        qDeleteAll(found);
        if (result != 0)
            return -1;
        if (run == 1)
            return elapsed;
    }
    return -1;
}

void BM_SearchTwoCharacters(benchmark::State &state)
{
    const CipherPath code(state, state.range(0) != 0);
    if (!code.usable)
        return;
    const QString phrase = QString::fromLatin1(builtinPassphrase, builtinPassphraseLength);
    int hits = 0;
    int plainHits = 0;
    double keyedNs = 0;
    double plainNs = 0;
    for (auto _ : state) {
        if (!reopen(banks().keyedDir, phrase)) {
            state.SkipWithError(qPrintable(store()->lastErrorText()));
            break;
        }
        const qint64 keyed = searchTime(hits);
        if (!reopen(banks().plainDir, QString())) {
            state.SkipWithError(qPrintable(store()->lastErrorText()));
            break;
        }
        const qint64 plain = searchTime(plainHits);
        if (keyed < 0 || plain < 0 || hits != plainHits) {
            state.SkipWithError("the search failed or found other rows on the unkeyed copy");
            break;
        }
        state.SetIterationTime(double(keyed) / 1e9);
        keyedNs += keyed;
        plainNs += plain;
    }
    state.counters["hits"] = hits;
    state.counters["unkeyed_ms"] = state.iterations() ? plainNs / 1e6 / state.iterations() : 0;
    state.counters["keyed_per_unkeyed"] = plainNs > 0 ? keyedNs / plainNs : 0;
    reopen(banks().keyedDir, phrase);
}
BENCHMARK(BM_SearchTwoCharacters)
    ->ArgName("hw")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// Writes an unkeyed copy of the open bank into dir; false when bankctl failed.
bool writeUnkeyedCopy(const QString &dir)
{
    const QString bank = store()->databaseDir() + QStringLiteral("MedicalDB.db");
    const QString bankctl = QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/bankctl");
    return QProcess::execute(bankctl, {QStringLiteral("decrypt"), bank, QDir(dir).filePath(QStringLiteral("MedicalDB.db"))})
           == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    QTemporaryDir plain;
    if (!openLargeBank(scratch))
        return EXIT_FAILURE;
    banks().keyedDir = store()->databaseDir();
    banks().plainDir = plain.path();
    if (!writeUnkeyedCopy(plain.path())) {
        std::fprintf(stderr, "cannot write an unkeyed copy of the bank\n");
        return EXIT_FAILURE;
    }

    benchmark::RunSpecifiedBenchmarks();
    store()->closeDatabase();
    benchmark::Shutdown();
    return 0;
}
