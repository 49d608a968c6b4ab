// The page codec's figures: page encryption and decryption throughput, key
// derivation time, and a cold full scan of the same content (20 MB+) as a
// plain SQLite file and as an encrypted bank, through the SQLite C API. The
// cipher figures come twice: on the portable code ("hw:0", AES tables) and on
// the processor's AES and SHA instructions ("hw:1").
//
// "Cold" means a new connection for every scan, so SQLite's page cache is
// empty and every page is read and (for the bank) decrypted; the operating
// system's file cache is warm after the first run, which isolates the cost
// of the codec from the disk. The ratio encrypted/plain of the scans is
// printed at the end for each page size and code path (target on the
// instructions: at most 1.3 at 4096-byte pages).

#include "BuiltinPassphrase.h"
#include "CipherCodec.h"
#include "CipherPage.h"
#include "CipherPath.h"

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// ---- page cipher -----------------------------------------------------------

struct RecordHolder
{
    RecordHolder() : record(cipherNewRecord()) {}
    ~RecordHolder() { cipherRelease(record); }
    CipherRecord *record;
};

// Encryption goes to the record's buffer, as the pager's writes do;
// decryption works in place, as its reads do.
void pageCrypt(benchmark::State &state, bool encrypt)
{
    const int pageSize = int(state.range(0));
    const CipherPath code(state, state.range(1) != 0);
    if (!code.usable)
        return;
    RecordHolder holder;
    uint8_t key[32];
    cipherDeriveKey(builtinPassphrase, builtinPassphraseLength, key);
    std::vector<uint8_t> page(size_t(pageSize), 0x5a);
    uint8_t *out = encrypt ? holder.record->pageBuffer : page.data();
    uint32_t pageNumber = 1;
    for (auto _ : state) {
        cipherCryptPage(holder.record, pageNumber++, encrypt, key, page.data(), pageSize, out);
        benchmark::DoNotOptimize(out[0]);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * pageSize);
}

void BM_PageEncrypt(benchmark::State &state)
{
    pageCrypt(state, true);
}
BENCHMARK(BM_PageEncrypt)->ArgNames({"page", "hw"})->ArgsProduct({{1024, 4096}, {0, 1}});

void BM_PageDecrypt(benchmark::State &state)
{
    pageCrypt(state, false);
}
BENCHMARK(BM_PageDecrypt)->ArgNames({"page", "hw"})->ArgsProduct({{1024, 4096}, {0, 1}});

void BM_DeriveKey(benchmark::State &state)
{
    const CipherPath code(state, state.range(0) != 0);
    if (!code.usable)
        return;
    uint8_t key[32];
    for (auto _ : state) {
        cipherDeriveKey(builtinPassphrase, builtinPassphraseLength, key);
        benchmark::DoNotOptimize(key[0]);
    }
}
BENCHMARK(BM_DeriveKey)->ArgName("hw")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// ---- cold full scan --------------------------------------------------------

constexpr int rowCount = 100000;  // about 22 MB of text

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

std::string filePath(bool encrypted, int pageSize)
{
    return workDir().filePath(QStringLiteral("%1-%2.db").arg(encrypted ? "bank" : "plain").arg(pageSize))
        .toStdString();
}

void check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        std::fprintf(stderr, "bench_engine: %s: %s\n", what, db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        std::exit(1);
    }
}

// The plain file and the bank of one page size, made once: the bank is a
// page-for-page backup of the plain file into a keyed one.
void prepareFiles(int pageSize)
{
    static std::map<int, bool> done;
    if (done[pageSize])
        return;
    done[pageSize] = true;
    const std::string plainPath = filePath(false, pageSize);
    const std::string bankPath = filePath(true, pageSize);
    sqlite3 *plain = nullptr;
    check(sqlite3_open(plainPath.c_str(), &plain), plain, "open plain");
    check(sqlite3_exec(plain, ("PRAGMA page_size=" + std::to_string(pageSize)).c_str(), nullptr, nullptr, nullptr),
          plain, "page size");
    check(sqlite3_exec(plain,
                       "CREATE TABLE tQue(id INTEGER PRIMARY KEY, cate INTEGER, stem TEXT, answer TEXT, analysis TEXT);"
                       "BEGIN",
                       nullptr, nullptr, nullptr),
          plain, "schema");
    sqlite3_stmt *insert = nullptr;
    check(sqlite3_prepare_v2(plain, "INSERT INTO tQue(cate, stem, answer, analysis) VALUES(?, ?, ?, ?)", -1, &insert,
                             nullptr),
          plain, "prepare");
    std::string stem, analysis;
    for (int i = 0; i < rowCount; ++i) {
        stem = "Question " + std::to_string(i) + ": a patient aged " + std::to_string(20 + i % 60)
               + " presents with recurring epigastric pain; which finding is most likely? ";
        analysis = "Explanation " + std::to_string(i * 7919 % 100003) + ": ";
        analysis.append(size_t(40 + i % 80), char('a' + i % 26));
        sqlite3_bind_int(insert, 1, i % 300);
        sqlite3_bind_text(insert, 2, stem.c_str(), int(stem.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, "ABCDE" + i % 5, 1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, analysis.c_str(), int(analysis.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(insert), plain, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(plain, "COMMIT", nullptr, nullptr, nullptr), plain, "commit");

    sqlite3 *bank = nullptr;
    check(sqlite3_open(bankPath.c_str(), &bank), bank, "open bank");
    sqlite3_key(bank, builtinPassphrase, builtinPassphraseLength);
    sqlite3_backup *backup = sqlite3_backup_init(bank, "main", plain, "main");
    check(backup ? sqlite3_backup_step(backup, -1) : SQLITE_ERROR, bank, "backup");
    check(sqlite3_backup_finish(backup), bank, "backup");
    sqlite3_close(bank);
    sqlite3_close(plain);
}

// The plain file's figure comes once (hw:0), the bank's on both paths.
void BM_ColdScan(benchmark::State &state)
{
    const bool encrypted = state.range(0) != 0;
    const int pageSize = int(state.range(1));
    const CipherPath code(state, state.range(2) != 0);
    if (!code.usable)
        return;
    prepareFiles(pageSize);
    const std::string path = filePath(encrypted, pageSize);
    int64_t bytes = 0;
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
        if (encrypted)
            sqlite3_key(db, builtinPassphrase, builtinPassphraseLength);
        sqlite3_stmt *stmt = nullptr;
        check(sqlite3_prepare_v2(db, "SELECT sum(length(stem) + length(answer) + length(analysis)) FROM tQue", -1,
                                 &stmt, nullptr),
              db, "prepare scan");
        if (sqlite3_step(stmt) != SQLITE_ROW)
            check(SQLITE_ERROR, db, "scan");
        benchmark::DoNotOptimize(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    sqlite3_int64 size = 0;
    if (FILE *f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        size = std::ftell(f);
        std::fclose(f);
    }
    bytes = size;
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    state.counters["file_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_ColdScan)
    ->ArgNames({"encrypted", "page", "hw"})
    ->Args({0, 4096, 0})
    ->Args({1, 4096, 0})
    ->Args({1, 4096, 1})
    ->Args({0, 1024, 0})
    ->Args({1, 1024, 0})
    ->Args({1, 1024, 1})
    ->Unit(benchmark::kMillisecond)
    // One scan a sample, 20 samples: other work on a shared machine only
    // ever adds time, so the fastest scan ("min") is the least disturbed
    // figure, beside the median.
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); });

// Wall and CPU time of one scan, in milliseconds.
struct ScanTime
{
    double wall = 0;
    double cpu = 0;
};

// Console output as usual, and the scan times kept for the ratio: per scan,
// its "median" and "min".
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, std::map<std::string, ScanTime>> scans;

    ScanTime scan(const std::string &name, const std::string &figure) const
    {
        auto s = scans.find(name);
        if (s == scans.end())
            return ScanTime();
        auto f = s->second.find(figure);
        return f != s->second.end() ? f->second : ScanTime();
    }

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const std::string name = run.run_name.function_name + "/" + run.run_name.args;
            if (name.rfind("BM_ColdScan", 0) != 0)
                continue;
            if (run.run_type == Run::RT_Aggregate)
                scans[name][run.aggregate_name] = ScanTime{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (cipherRegisterVfs() != SQLITE_OK || !workDir().isValid()) {
        std::fprintf(stderr, "bench_engine: cannot set up\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char *figure : {"median", "min"}) {
        for (int page : {4096, 1024}) {
            const std::string pageArg = "/page:" + std::to_string(page);
            const ScanTime plain = reporter.scan("BM_ColdScan/encrypted:0" + pageArg + "/hw:0", figure);
            for (int hardware : {0, 1}) {
                const ScanTime bank = reporter.scan(
                    "BM_ColdScan/encrypted:1" + pageArg + "/hw:" + std::to_string(hardware), figure);
                if (plain.wall > 0 && bank.wall > 0)
                    std::printf("cold scan ratio encrypted/plain (%s), %d-byte pages, %s: %.2f (%.1f ms / %.1f ms); "
                                "CPU time %.2f (%.1f ms / %.1f ms)\n",
                                figure, page, hardware ? "instructions" : "portable code", bank.wall / plain.wall,
                                bank.wall, plain.wall, bank.cpu / plain.cpu, bank.cpu, plain.cpu);
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
