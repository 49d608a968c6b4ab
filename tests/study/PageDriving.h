#pragma once

// Driving a study page as a user does: its chapter tree, its table of rows
// and the worker that fills it.
#include "DataToUiThreadClass.h"

#include <QCoreApplication>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

namespace pagedriving {

const int generousWait = 120000;

template <class T>
T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

inline QTreeWidget *tree(QWidget &page)
{
    return child<QTreeWidget>(&page, "treeWidget");
}

inline QTableWidget *table(QWidget &page)
{
    return child<QTableWidget>(&page, "tableWidget");
}

inline DataToUiThreadClass *worker(QWidget &page)
{
    return page.findChild<DataToUiThreadClass *>();
}

inline QTreeWidgetItem *findItem(QWidget &page, const QString &name)
{
    const QList<QTreeWidgetItem *> items = tree(page)->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

inline void clickItem(QTreeWidget *view, QTreeWidgetItem *item)
{
    view->scrollToItem(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(item).center());
}

// Waits for the load to end and for everything it sent to arrive.
inline bool finishLoad(QWidget &page)
{
    if (!QTest::qWaitFor([&] { return worker(page)->isFinished(); }, generousWait))
        return false;
    QCoreApplication::processEvents();
    return true;
}

} // namespace pagedriving
