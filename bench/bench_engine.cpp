#include <benchmark/benchmark.h>

#include <QByteArray>

// Placeholder case until the cipher lands: copying one 4 KiB page.
static void BM_PageCopy(benchmark::State &state)
{
    QByteArray page(4096, 'x');
    for (auto _ : state) {
        QByteArray copy(page.constData(), page.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
}
BENCHMARK(BM_PageCopy);

BENCHMARK_MAIN();
