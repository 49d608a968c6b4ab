#include "LargeBankStore.h"
#include "SqliteClass.h"
#include "ViewReport.h"
#include "WaitingForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>
#include <cstdlib>

// The report viewer listing the largest chapter of a 20,000-question bank:
// after each group the whole text is turned into HTML, its pictures placed
// and set again, so the work grows with what is listed already. The bank is
// the one in $VELMORA_LARGE_BANK when set, else one written by banktool from
// the same build into a temporary directory.

namespace {

int largestChapter = -1;

SqliteClass *store()
{
    return SqliteClass::instance();
}

// The chapter with the most undeleted questions.
int findLargestChapter()
{
    QSqlQuery query(QSqlDatabase::database());
    const bool found = query.exec(QStringLiteral(
                           "select b.cateId from tQue a, tCateList b where a.cateListId = b.cateListId "
                           "and a.IsDel != '1' group by b.cateId order by count(*) desc limit 1"))
        && query.next();
    return found ? query.value(0).toInt() : -1;
}

void BM_ListLargestChapter(benchmark::State &state)
{
    ViewReport viewer;
    QString countLine;
    for (auto _ : state) {
        viewer.showChapterQuestions(largestChapter);
        auto *busy = viewer.findChild<WaitingForm *>();
        while (!busy->isHidden())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        countLine = viewer.findChild<QLabel *>(QStringLiteral("label"))->text();
    }
    state.SetLabel(countLine.trimmed().toStdString());
}
BENCHMARK(BM_ListLargestChapter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir scratch;
    if (!openLargeBank(scratch))
        return EXIT_FAILURE;
    largestChapter = findLargestChapter();
    if (largestChapter < 0) {
        std::fprintf(stderr, "no chapter with questions\n");
        return EXIT_FAILURE;
    }

    benchmark::RunSpecifiedBenchmarks();
    store()->closeDatabase();
    benchmark::Shutdown();
    return 0;
}
