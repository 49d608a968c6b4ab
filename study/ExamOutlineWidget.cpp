#include "ExamOutlineWidget.h"
#include "ui_ExamOutlineWidget.h"

#include "ExamOutlineData.h"
#include "SqliteClass.h"

#include <QDebug>
#include <QHash>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QSet>

#include <memory>

namespace {

// The rows whose id matches the pattern; a failed read is logged and gives
// none.
QList<ExamOutlineData *> outlineRows(const QString &pattern, bool *ok = nullptr)
{
    QList<ExamOutlineData *> rows;
    SqliteClass *store = SqliteClass::instance();
    const bool read = store->examOutlineRows(rows, pattern) != -1;
    if (!read) {
        qDebug().noquote() << store->lastErrorText();
        qDeleteAll(rows);
        rows.clear();
    }
    if (ok)
        *ok = read;
    return rows;
}

QTreeWidgetItem *outlineItem(const ExamOutlineData &row)
{
    auto *item = new QTreeWidgetItem;
    item->setText(0, row.content);
    item->setData(1, Qt::DisplayRole, row.id);
    return item;
}

// The longest id among the others that begins the row's id; empty for none.
QString nearestAncestor(const QString &id, const QList<ExamOutlineData *> &rows)
{
    QString nearest;
    for (const ExamOutlineData *other : rows) {
        if (other->id.size() < id.size() && id.startsWith(other->id) && other->id.size() > nearest.size())
            nearest = other->id;
    }
    return nearest;
}

// The descendants of parent, read with one pattern, each placed once: under
// its nearest ancestor among them, else under parent.
void placeDescendants(QTreeWidgetItem *parent, const QList<ExamOutlineData *> &rows)
{
    QHash<QString, QTreeWidgetItem *> items;
    for (const ExamOutlineData *row : rows) {
        if (!items.contains(row->id))
            items.insert(row->id, outlineItem(*row));
    }
    QSet<QString> placed;
    for (const ExamOutlineData *row : rows) {
        if (placed.contains(row->id))
            continue;
        placed.insert(row->id);
        QTreeWidgetItem *item = items.value(row->id);
        const QString ancestor = nearestAncestor(row->id, rows);
        (ancestor.isEmpty() ? parent : items.value(ancestor))->addChild(item);
    }
}

// Gives a wrapped item the height of its lines at the width its text has in
// the tree; the view alone would measure one unbroken line.
class WrappingDelegate : public QStyledItemDelegate
{
public:
    explicit WrappingDelegate(QTreeWidget *tree) : QStyledItemDelegate(tree), tree(tree) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        int depth = tree->rootIsDecorated() ? 1 : 0;
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            ++depth;
        QStyleOptionViewItem wrapped(option);
        // A rect without height would not count as a width to wrap to.
        wrapped.rect = QRect(0, 0, qMax(1, tree->columnWidth(index.column()) - depth * tree->indentation()),
                             option.fontMetrics.height());
        const QSize oneLine = QStyledItemDelegate::sizeHint(option, index);
        QSize size = QStyledItemDelegate::sizeHint(wrapped, index);
        // Room above and below a text of several lines, as one line has.
        if (size.height() > oneLine.height())
            size.rheight() += 10;
        return size;
    }

private:
    QTreeWidget *tree;
};

} // namespace

ExamOutlineWidget::ExamOutlineWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ExamOutlineWidget)
{
    ui->setupUi(this);
    ui->widget_view->hideTitleBar();
    // Syllabus lines are long: they wrap within the pane instead of being
    // cut, and the rows take their new heights when the pane is resized.
    QTreeWidget *tree = ui->treeWidget;
    tree->setWordWrap(true);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tree->setItemDelegate(new WrappingDelegate(tree));
    // Queued: the header is still laying itself out when it reports.
    connect(tree->header(), &QHeaderView::sectionResized, this, [tree] { tree->doItemsLayout(); },
            Qt::QueuedConnection);
}

ExamOutlineWidget::~ExamOutlineWidget()
{
    delete ui;
}

void ExamOutlineWidget::setSkinColor(const QString &color)
{
    ui->widget_view->setSkinColor(color);
}

void ExamOutlineWidget::loadTree()
{
    QTreeWidget *tree = ui->treeWidget;
    tree->clear();
    tree->setColumnCount(1);
    bool ok = false;
    const QList<ExamOutlineData *> top = outlineRows(QStringLiteral("00_"), &ok);
    if (!ok)
        return;
    for (const ExamOutlineData *topRow : top) {
        auto *topItem = outlineItem(*topRow);
        tree->addTopLevelItem(topItem);
        addChildren(topItem, topRow->id);
    }
    qDeleteAll(top);
    tree->collapseAll();
}

void ExamOutlineWidget::addChildren(QTreeWidgetItem *topItem, const QString &topId)
{
    // The pattern takes every longer id, grandchildren too: each row is
    // placed once, under its nearest ancestor among the rows read.
    const QList<ExamOutlineData *> descendants = outlineRows(topId + QStringLiteral("%_"));
    QHash<QString, QTreeWidgetItem *> children;
    QSet<QString> placedBelow;
    for (const ExamOutlineData *row : descendants) {
        if (!nearestAncestor(row->id, descendants).isEmpty() || children.contains(row->id))
            continue;
        QTreeWidgetItem *childItem = outlineItem(*row);
        children.insert(row->id, childItem);
        // A node marked as having no children of its own gets none.
        if (!row->thirdColumn.isEmpty())
            continue;
        const QList<ExamOutlineData *> grandchildren = outlineRows(row->id + QStringLiteral("%_"));
        placeDescendants(childItem, grandchildren);
        for (const ExamOutlineData *grandchild : grandchildren)
            placedBelow.insert(grandchild->id);
        qDeleteAll(grandchildren);
    }
    // In the order read; a deeper row that no child's own read placed
    // (a failed read, a node marked as a leaf) stays directly below.
    QSet<QString> added;
    for (const ExamOutlineData *row : descendants) {
        if (added.contains(row->id) || placedBelow.contains(row->id))
            continue;
        added.insert(row->id);
        QTreeWidgetItem *item = children.value(row->id);
        topItem->addChild(item ? item : outlineItem(*row));
    }
    qDeleteAll(descendants);
}

void ExamOutlineWidget::on_treeWidget_clicked(const QModelIndex &index)
{
    if (index.parent().isValid()) {
        const QTreeWidgetItem *node = ui->treeWidget->currentItem();
        if (!node)
            return;
        QString content;
        SqliteClass *store = SqliteClass::instance();
        if (store->examOutlineContent(content, node->data(1, Qt::DisplayRole).toString()) == -1) {
            qDebug().noquote() << store->lastErrorText();
            return;
        }
        ui->widget_view->showReportHtml(content);
        return;
    }
    QTreeWidgetItem *top = ui->treeWidget->topLevelItem(index.row());
    if (top)
        top->setExpanded(!top->isExpanded());
}
