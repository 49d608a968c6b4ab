#include "SqliteCipherCachedResult.h"

#include <QtTest>

namespace {

// A statement of `rows` rows whose value at (row, column) is row * 100 + column.
// Like the real result, it moves past the last row when the rows run out.
class FakeResult : public SqliteCipherCachedResult
{
public:
    FakeResult(int rows, int columns, bool forwardOnly)
        : SqliteCipherCachedResult(nullptr), rows(rows)
    {
        setForwardOnly(forwardOnly);
        setActive(true);
        setSelect(true);
        init(columns);
        setActive(true);
    }

    using QSqlResult::at;
    using SqliteCipherCachedResult::cacheCapacity;
    using SqliteCipherCachedResult::data;
    using SqliteCipherCachedResult::fetch;
    using SqliteCipherCachedResult::fetchFirst;
    using SqliteCipherCachedResult::fetchLast;
    using SqliteCipherCachedResult::fetchNext;
    using SqliteCipherCachedResult::fetchPrevious;
    using SqliteCipherCachedResult::isNull;
    using SqliteCipherCachedResult::setNumericalPrecisionPolicy;

    QList<int> indexes;    // index of every gotoNext call
    QList<int> capacities; // cache size at every stored row

protected:
    bool gotoNext(ValueCache &values, int index) override
    {
        indexes.append(index);
        if (next == rows) {
            setAt(QSql::AfterLastRow);
            return false;
        }
        if (index >= 0) {
            capacities.append(values.size());
            for (int c = 0; c < colCount(); ++c)
                values[index + c] = next * 100 + c;
        }
        ++next;
        return true;
    }
    bool reset(const QString &) override { return false; }
    int size() override { return -1; }
    int numRowsAffected() override { return -1; }

private:
    int rows;
    int next = 0;
};

QList<int> distinct(const QList<int> &values)
{
    QList<int> result;
    for (int v : values)
        if (result.isEmpty() || result.last() != v)
            result.append(v);
    return result;
}

} // namespace

class TestCachedResult : public QObject
{
    Q_OBJECT
private slots:
    void scrollableCacheGrowsAndServesOldRows();
    void scrollableFetchBeyondEnd();
    void forwardOnlyRefusesEarlierRows();
    void forwardOnlyStepsOverSkippedRows();
    void forwardOnlyFetchLast_data();
    void forwardOnlyFetchLast();
    void fetchLastWithoutRows_data();
    void fetchLastWithoutRows();
    void dataOutsideRowOrColumns_data();
    void dataOutsideRowOrColumns();
    void precisionChangeClearsEverything();
};

void TestCachedResult::scrollableCacheGrowsAndServesOldRows()
{
    FakeResult r(300, 2, false);
    QCOMPARE(r.cacheCapacity(), 256);
    int fetched = 0;
    while (r.fetchNext())
        ++fetched;
    QCOMPARE(fetched, 300);
    QCOMPARE(distinct(r.capacities), QList<int>({256, 512, 1024}));

    const int calls = r.indexes.size();
    QVERIFY(r.fetch(0));
    QCOMPARE(r.data(1), QVariant(1));
    QVERIFY(r.fetch(299));
    QCOMPARE(r.data(0), QVariant(29900));
    QVERIFY(r.fetchFirst());
    QVERIFY(!r.fetchPrevious());
    QVERIFY(r.fetchLast());
    QCOMPARE(r.at(), 299);
    QCOMPARE(r.indexes.size(), calls); // every row came from the cache
}

void TestCachedResult::scrollableFetchBeyondEnd()
{
    FakeResult r(5, 1, false);
    QVERIFY(r.fetch(2));
    QVERIFY(!r.fetch(10));
    const int calls = r.indexes.size();
    QVERIFY(r.fetch(4));
    QCOMPARE(r.data(0), QVariant(400));
    QVERIFY(r.fetch(1));
    QCOMPARE(r.data(0), QVariant(100));
    QCOMPARE(r.indexes.size(), calls);
}

void TestCachedResult::forwardOnlyRefusesEarlierRows()
{
    FakeResult r(10, 3, true);
    QVERIFY(r.fetchNext());
    QVERIFY(r.fetchNext());
    QVERIFY(r.fetchNext());
    QCOMPARE(r.at(), 2);
    QVERIFY(!r.fetchPrevious());
    QVERIFY(!r.fetch(1));
    QVERIFY(!r.fetchFirst());
    QVERIFY(r.fetch(2));
    QCOMPARE(r.data(2), QVariant(202));
    QCOMPARE(r.cacheCapacity(), 3);
}

void TestCachedResult::forwardOnlyStepsOverSkippedRows()
{
    FakeResult r(10, 2, true);
    QVERIFY(r.fetch(5));
    QCOMPARE(r.indexes, QList<int>({-1, -1, -1, -1, -1, 0}));
    QCOMPARE(r.at(), 5);
    QCOMPARE(r.data(0), QVariant(500));
    QCOMPARE(r.data(1), QVariant(501));
    QVERIFY(!r.fetch(20));
}

void TestCachedResult::forwardOnlyFetchLast_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("one row") << 1;
    QTest::newRow("seven rows") << 7;
}

void TestCachedResult::forwardOnlyFetchLast()
{
    QFETCH(int, rows);
    FakeResult r(rows, 2, true);
    QVERIFY(r.fetchLast());
    QCOMPARE(r.at(), rows - 1);
    QCOMPARE(r.data(0), QVariant((rows - 1) * 100));
    QVERIFY(!r.fetchLast());
}

void TestCachedResult::fetchLastWithoutRows_data()
{
    QTest::addColumn<bool>("forwardOnly");
    QTest::newRow("scrollable") << false;
    QTest::newRow("forward-only") << true;
}

void TestCachedResult::fetchLastWithoutRows()
{
    QFETCH(bool, forwardOnly);
    FakeResult r(0, 2, forwardOnly);
    QVERIFY(!r.fetchLast());
    QVERIFY(r.at() < 0);
    QVERIFY(!r.data(0).isValid());
}

void TestCachedResult::dataOutsideRowOrColumns_data()
{
    QTest::addColumn<bool>("forwardOnly");
    QTest::newRow("scrollable") << false;
    QTest::newRow("forward-only") << true;
}

void TestCachedResult::dataOutsideRowOrColumns()
{
    QFETCH(bool, forwardOnly);
    FakeResult r(3, 2, forwardOnly);
    QVERIFY(!r.data(0).isValid());
    QVERIFY(r.isNull(0));
    QVERIFY(r.fetchNext());
    QCOMPARE(r.data(1), QVariant(1));
    QVERIFY(!r.isNull(1));
    QVERIFY(!r.data(2).isValid());
    QVERIFY(r.isNull(2));
    QVERIFY(!r.data(-1).isValid());
}

void TestCachedResult::precisionChangeClearsEverything()
{
    FakeResult r(3, 2, false);
    QVERIFY(r.fetchNext());
    r.setNumericalPrecisionPolicy(QSql::LowPrecisionInt32);
    QCOMPARE(r.at(), int(QSql::BeforeFirstRow));
    QVERIFY(!r.fetch(0)); // inactive now
    QVERIFY(!r.data(0).isValid());
}

QTEST_GUILESS_MAIN(TestCachedResult)
#include "tst_cachedresult.moc"
