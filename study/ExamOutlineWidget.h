#pragma once

#include <QWidget>

class QModelIndex;
class QTreeWidgetItem;

namespace Ui {
class ExamOutlineWidget;
}

// Page 12 of the main window, the exam syllabus: the bank's syllabus as a
// tree on the left, the text of the node clicked in an embedded report
// viewer on the right. Reads the store on the GUI thread (small table).
class ExamOutlineWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ExamOutlineWidget(QWidget *parent = nullptr);
    ~ExamOutlineWidget() override;

    // For the viewer; the tree keeps its own style.
    void setSkinColor(const QString &color);
    // Rebuilds the tree, every node folded; the viewer keeps its text.
    void loadTree();

private slots:
    void on_treeWidget_clicked(const QModelIndex &index);

private:
    void addChildren(QTreeWidgetItem *topItem, const QString &topId);

    Ui::ExamOutlineWidget *ui;
};
