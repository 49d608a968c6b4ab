#include "SQLiteCipherDriver.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

// A full scan of a 20,000-question table through QSqlQuery: the program's
// encrypted driver against Qt's own QSQLITE on the same plain content. The
// driver on an unkeyed copy splits driver cost from decryption cost.

namespace {

constexpr int questionCount = 20000;
const char cipherConnection[] = "bench-cipher";
const char plainConnection[] = "bench-plain";
const char unkeyedConnection[] = "bench-unkeyed";

QString filler(int n, int length)
{
    static const QString words = QStringLiteral("患者男性，四十五岁，反复上腹痛三年，进食后加重，伴反酸嗳气。");
    QString text = QString::number(n) + QLatin1Char(' ');
    while (text.size() < length)
        text += words;
    return text.left(length);
}

void fillQuestions(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.exec(QStringLiteral("CREATE TABLE tQuestion(id INTEGER PRIMARY KEY, chapter INTEGER, "
                          "type INTEGER, title TEXT, options TEXT, answer TEXT, analysis TEXT, "
                          "difficulty REAL)"));
    db.transaction();
    q.prepare(QStringLiteral("INSERT INTO tQuestion VALUES(?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int n = 0; n < questionCount; ++n) {
        q.addBindValue(n + 1);
        q.addBindValue(n % 300);
        q.addBindValue(n % 7);
        q.addBindValue(filler(n, 120));
        q.addBindValue(filler(n, 200));
        q.addBindValue(QStringLiteral("ABCDE").mid(n % 5, 1));
        q.addBindValue(filler(n, 300));
        q.addBindValue((n % 10) / 10.0);
        q.exec();
    }
    db.commit();
}

void openFilled(QSqlDatabase db, const QTemporaryDir &dir, const QString &file)
{
    db.setDatabaseName(dir.filePath(file));
    if (!db.open()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
        std::exit(1);
    }
    fillQuestions(db);
}

void openConnections(const QTemporaryDir &dir)
{
    QSqlDatabase cipher = QSqlDatabase::addDatabase(new SQLiteCipherDriver, QLatin1String(cipherConnection));
    cipher.setPassword(QStringLiteral("keyed"));
    openFilled(cipher, dir, QStringLiteral("cipher.db"));
    openFilled(QSqlDatabase::addDatabase(new SQLiteCipherDriver, QLatin1String(unkeyedConnection)),
               dir, QStringLiteral("unkeyed.db"));
    openFilled(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(plainConnection)),
               dir, QStringLiteral("plain.db"));
}

void scan(benchmark::State &state, const char *connection)
{
    const QSqlDatabase db = QSqlDatabase::database(QLatin1String(connection));
    for (auto _ : state) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SELECT * FROM tQuestion"));
        int rows = 0;
        while (q.next()) {
            for (int c = 0; c < 8; ++c)
                benchmark::DoNotOptimize(q.value(c));
            ++rows;
        }
        if (rows != questionCount)
            state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * questionCount);
}

void BM_CipherDriverScan(benchmark::State &state)
{
    scan(state, cipherConnection);
}
BENCHMARK(BM_CipherDriverScan)->Unit(benchmark::kMillisecond);

void BM_CipherDriverUnkeyedScan(benchmark::State &state)
{
    scan(state, unkeyedConnection);
}
BENCHMARK(BM_CipherDriverUnkeyedScan)->Unit(benchmark::kMillisecond);

void BM_QSqliteScan(benchmark::State &state)
{
    scan(state, plainConnection);
}
BENCHMARK(BM_QSqliteScan)->Unit(benchmark::kMillisecond);

// Console output as usual, and the real time of each benchmark kept for the ratio.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            // Of repeated runs the mean counts.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "mean")
                continue;
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto dir = std::make_unique<QTemporaryDir>();
    openConnections(*dir);

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double plain = reporter.times["BM_QSqliteScan"];
    if (plain > 0) {
        std::printf("cipher driver / QSQLITE full scan of %d rows: %.2f (unkeyed file: %.2f)\n",
                    questionCount, reporter.times["BM_CipherDriverScan"] / plain,
                    reporter.times["BM_CipherDriverUnkeyedScan"] / plain);
    }

    for (const char *name : {cipherConnection, unkeyedConnection, plainConnection})
        QSqlDatabase::database(QLatin1String(name)).close();
    benchmark::Shutdown();
    return 0;
}
