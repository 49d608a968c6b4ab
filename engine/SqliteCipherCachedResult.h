#pragma once

#include <QSqlResult>
#include <QVariant>
#include <QVector>

// A result that a query can move through freely although the statement
// below it only steps forward: every fetched row stays in one flat array.
// A forward-only result keeps a single row instead.
class SqliteCipherCachedResult : public QSqlResult
{
public:
    using ValueCache = QVector<QVariant>;

protected:
    explicit SqliteCipherCachedResult(const QSqlDriver *driver);

    // Fetches the next row into values from index on; a negative index only
    // steps over the row. False when there is no further row or on error.
    virtual bool gotoNext(ValueCache &values, int index) = 0;

    QVariant data(int column) override;
    bool isNull(int column) override;
    bool fetch(int row) override;
    bool fetchNext() override;
    bool fetchPrevious() override;
    bool fetchFirst() override;
    bool fetchLast() override;
    void detachFromResultSet() override;
    void setNumericalPrecisionPolicy(QSql::NumericalPrecisionPolicy policy) override;

    void init(int columns);
    void clearValues();
    void cleanup();
    int colCount() const { return columnCount; }
    int cacheCapacity() const { return cache.size(); }

private:
    int nextIndex();
    void revertLast();
    bool cacheNext();
    bool canSeek(int row) const;
    int cachedRows() const;
    int valueIndex(int column) const;

    ValueCache cache;
    int rowCacheEnd = 0;
    int columnCount = 0;
    bool forwardOnly = false;
    bool atEnd = false;
};
