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

// The question view of a review or search page and what it shows.
#include "ScrollAreaCellForm.h"

#include <QLabel>
#include <QLayout>

namespace pagedriving {

inline ScrollAreaCellForm *questionView(QWidget &page)
{
    return child<ScrollAreaCellForm>(&page, "widget_cell");
}

// The one cell in the view, null when there is none.
inline QWidget *shownCell(QWidget &page)
{
    QLayoutItem *item = child<QLayout>(questionView(page), "verticalLayout_add")->itemAt(0);
    return item ? item->widget() : nullptr;
}

// Whether a label of the cell holds the text (labels may carry HTML around it).
inline bool cellShows(QWidget *cell, const QString &text)
{
    if (!cell)
        return false;
    const QList<QLabel *> labels = cell->findChildren<QLabel *>();
    for (const QLabel *label : labels) {
        if (label->text().contains(text))
            return true;
    }
    return false;
}

inline QStringList columnTexts(QTableWidget *table, int column = 0)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
    return texts;
}

// Clicks the row's cell in the column as a user does.
inline void clickRow(QTableWidget *table, int row, int column = 0)
{
    QTableWidgetItem *item = table->item(row, column);
    table->scrollToItem(item);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(item).center());
}

} // namespace pagedriving
