#include "SqliteCipherCachedResult.h"

#include <algorithm>

namespace {
constexpr int initialCacheRows = 128;
constexpr int largestCacheStep = 10000;
}

SqliteCipherCachedResult::SqliteCipherCachedResult(const QSqlDriver *driver)
    : QSqlResult(driver)
{
}

void SqliteCipherCachedResult::init(int columns)
{
    cleanup();
    columnCount = columns;
    forwardOnly = isForwardOnly();
    if (forwardOnly) {
        // The single row slot is always in use.
        cache.resize(columns);
        rowCacheEnd = columns;
    } else {
        cache.resize(columns * initialCacheRows);
    }
}

void SqliteCipherCachedResult::clearValues()
{
    setAt(QSql::BeforeFirstRow);
    rowCacheEnd = 0;
    atEnd = false;
}

void SqliteCipherCachedResult::cleanup()
{
    setAt(QSql::BeforeFirstRow);
    setActive(false);
    cache.clear();
    rowCacheEnd = 0;
    columnCount = 0;
    forwardOnly = false;
    atEnd = false;
}

int SqliteCipherCachedResult::nextIndex()
{
    const int index = rowCacheEnd;
    if (index + columnCount > cache.size()) {
        // Double while small, then grow in steps that keep the copy bounded;
        // never less than one more row, however wide the row.
        const int grown = std::min(cache.size() * 2, cache.size() + largestCacheStep);
        cache.resize(std::max(grown, index + columnCount));
    }
    rowCacheEnd += columnCount;
    return index;
}

void SqliteCipherCachedResult::revertLast()
{
    if (!forwardOnly)
        rowCacheEnd -= columnCount;
}

bool SqliteCipherCachedResult::cacheNext()
{
    if (atEnd)
        return false;
    // Forward-only: the one slot is overwritten only by a row that exists,
    // so the last row stays readable after the end has been reached.
    const int index = forwardOnly ? 0 : nextIndex();
    if (!gotoNext(cache, index)) {
        revertLast();
        atEnd = true;
        return false;
    }
    setAt(at() + 1);
    return true;
}

bool SqliteCipherCachedResult::canSeek(int row) const
{
    if (forwardOnly || row < 0)
        return false;
    return rowCacheEnd >= (row + 1) * columnCount;
}

int SqliteCipherCachedResult::cachedRows() const
{
    return columnCount > 0 ? rowCacheEnd / columnCount : 0;
}

bool SqliteCipherCachedResult::fetch(int row)
{
    if (!isActive() || row < 0)
        return false;
    if (at() == row)
        return true;
    if (forwardOnly) {
        if (at() > row || at() == QSql::AfterLastRow)
            return false;
        while (at() < row - 1) {
            if (!gotoNext(cache, -1))
                return false;
            setAt(at() + 1);
        }
        if (!gotoNext(cache, 0))
            return false;
        setAt(at() + 1);
        return true;
    }
    while (!canSeek(row)) {
        if (!cacheNext())
            return false;
    }
    setAt(row);
    return true;
}

bool SqliteCipherCachedResult::fetchNext()
{
    if (canSeek(at() + 1)) {
        setAt(at() + 1);
        return true;
    }
    return cacheNext();
}

bool SqliteCipherCachedResult::fetchPrevious()
{
    return fetch(at() - 1);
}

bool SqliteCipherCachedResult::fetchFirst()
{
    if (forwardOnly && at() != QSql::BeforeFirstRow)
        return false;
    if (canSeek(0)) {
        setAt(0);
        return true;
    }
    return cacheNext();
}

bool SqliteCipherCachedResult::fetchLast()
{
    if (atEnd)
        return forwardOnly ? false : fetch(cachedRows() - 1);
    int last = at();
    while (fetchNext())
        ++last;
    if (forwardOnly && at() == QSql::AfterLastRow) {
        // No row reached at all: there is no last row to stand on.
        if (last < 0)
            return false;
        setAt(last);
        return true;
    }
    return fetch(last);
}

int SqliteCipherCachedResult::valueIndex(int column) const
{
    if (column < 0 || column >= columnCount || at() < 0)
        return -1;
    const int index = forwardOnly ? column : at() * columnCount + column;
    return index < rowCacheEnd ? index : -1;
}

QVariant SqliteCipherCachedResult::data(int column)
{
    const int index = valueIndex(column);
    return index < 0 ? QVariant() : cache.at(index);
}

bool SqliteCipherCachedResult::isNull(int column)
{
    const int index = valueIndex(column);
    return index < 0 || cache.at(index).isNull();
}

void SqliteCipherCachedResult::detachFromResultSet()
{
    cleanup();
}

void SqliteCipherCachedResult::setNumericalPrecisionPolicy(QSql::NumericalPrecisionPolicy policy)
{
    QSqlResult::setNumericalPrecisionPolicy(policy);
    cleanup();
}
