#include "SqliteClass.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

// A data repair of the 20,000-question large bank: the user's copy (3,000
// questions answered) merged into a new version of the same bank (same
// questions, regenerated texts, nothing answered). The banks come from
// banktool; set BANKTOOL when it is not at its place in the build tree.

namespace {

const char questionCount[] = "20000";

QString userBank;
QString newBank;
QString target;

QString banktoolPath()
{
    const QString fromEnvironment = qEnvironmentVariable("BANKTOOL");
    return fromEnvironment.isEmpty()
        ? QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/bank/banktool")
        : fromEnvironment;
}

bool writeLargeBank(const QString &dir, const char *answered)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(banktoolPath(), {QStringLiteral("large"), dir, QLatin1String(questionCount), QLatin1String(answered)});
    return tool.waitForFinished(600000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

void BM_MergeLargeBank(benchmark::State &state)
{
    SqliteClass *store = SqliteClass::instance();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(target);
        if (!QFile::copy(userBank, target)) {
            state.SkipWithError("cannot copy the user's bank");
            break;
        }
        state.ResumeTiming();
        if (store->mergeDatabase(target, newBank) != 0) {
            state.SkipWithError(qPrintable(store->lastErrorText()));
            break;
        }
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * QByteArray(questionCount).toInt());
}
BENCHMARK(BM_MergeLargeBank)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    userBank = dir.filePath(QStringLiteral("user/MedicalDB.db"));
    newBank = dir.filePath(QStringLiteral("new/MedicalDB.db"));
    target = dir.filePath(QStringLiteral("user/BKMedicalDB.db"));
    if (!writeLargeBank(dir.filePath(QStringLiteral("user")), "3000")
        || !writeLargeBank(dir.filePath(QStringLiteral("new")), "0")) {
        std::fprintf(stderr, "bench_merge: banktool failed (%s)\n", qPrintable(banktoolPath()));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
