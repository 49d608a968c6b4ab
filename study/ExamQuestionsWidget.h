#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class ClearQuestionsRecord;
class DataToUiThreadClass;
class ExamCellForm;
class QModelIndex;
class QTreeWidgetItem;
class SqliteData;

namespace Ui {
class ExamQuestionsWidget;
}

// Page 1 of the main window, the question bank: the chapter tree on the
// left, the question sets of the chosen section on the right, one row each
// with its totals and progress. Opening a set hands it to the main window;
// a row's clear button opens the clear-records dialog for that set.
class ExamQuestionsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ExamQuestionsWidget(QWidget *parent = nullptr);
    ~ExamQuestionsWidget() override;

    // For the rows and dialogs made from now on.
    void setSkinColor(const QString &color);
    // After each show: the first visit opens the first chapter's first
    // section, later ones refresh every listed row from the bank.
    void enterPage();
    // The row of the set last opened or cleared; -1 for none.
    int selectedRow() const;

signals:
    void sendShowType(int type);
    void sendDataToQuestionForm(SqliteData *set);
    // The set's record (0 id, 1 name, 4 last time, 5 total, 6 answered,
    // 7 right) stays the page's: use it during the call. lastRow is 1 for
    // the table's last row.
    void sendDataToSingleQuestionForm(SqliteData *set, int lastRow, QString sectionName);

public slots:
    // Opens the set in that row, with its counts read afresh; a row that
    // holds no set does nothing.
    void receiveSingle(int index);
    // The question list's signals; this page has nothing to do on them.
    void receivePressValue(int value);
    void receiveQuestionsFormCloseEvent();

private slots:
    void receiveJobStarted(int generation);
    void receiveQuestionBycateId(SqliteData *data);
    void receiveSqliteClass(int ret);
    void receiveClear(int cateId, int index);
    void receiveUpdateClear();
    void on_treeWidget_clicked(const QModelIndex &index);
    void on_tableWidget_doubleClicked(const QModelIndex &index);

private:
    void loadChapterTree();
    // A section's item loads its sets; a chapter's item folds or unfolds.
    void openTreeItem(QTreeWidgetItem *item);
    void loadSets(int sectionId);
    // Reads the listed section's sets again on the worker, into the rows
    // already there.
    void refreshRows();
    void startSetJob();
    void refreshSelectedRow();
    ExamCellForm *rowAt(int row) const;
    // Whether what arrives now belongs to the last load started.
    bool currentLoad() const;

    Ui::ExamQuestionsWidget *ui;
    // A child of the page (found among its children), ended and deleted
    // first by its destructor.
    DataToUiThreadClass *worker = nullptr;
    QString skinColor;
    int loadedSetCount = 0;
    int selectedSetRow = -1;
    bool firstVisitDone = false;
    QString sectionName;
    // The section whose sets are listed; -1 before the first load.
    int listedSectionId = -1;
    // Rows the current job has delivered: where its next row goes.
    int arrivedSetCount = 0;
    // Deletes itself when closed.
    QPointer<ClearQuestionsRecord> clearDialog;
    // Of the job whose rows arrive now; rows of a superseded load carry an
    // older one.
    int arrivingGeneration = -1;
};
