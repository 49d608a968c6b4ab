#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class DataToUiThreadClass;
class MainQuestion;
class PaintHold;
class QLabel;
class QModelIndex;
class QTableWidget;
class ScrollAreaCellForm;

// What the wrong-question, favourite and note pages share: a one-column list
// of the user's questions filled on the page's own worker, and the clicked
// one shown for practice on the right. A page supplies its form's widgets,
// its job code and its row and end slots, which hand over to takeRow and
// takeEnd.
class ReviewListPage : public QWidget
{
    Q_OBJECT
public:
    ~ReviewListPage() override;

    void setSkinColor(const QString &color);
    // Empties the page; a load under way is dropped.
    void clearList();
    // Empties the page and starts the page's job.
    void loadList();

protected:
    ReviewListPage(int jobCode, QWidget *parent);

    // The page's form, once built.
    struct Form
    {
        QLabel *message;
        QWidget *listPane;
        QTableWidget *table;
        ScrollAreaCellForm *view;
    };
    void attachForm(const Form &form);
    // From the page's destructor, first thing: the worker's queued rows still
    // reach the page's own slots, which must be whole then.
    void releaseWorker();

    // The worker, for connecting the page's end slot.
    DataToUiThreadClass *worker() const { return loader; }

    void takeRow(int queindex, MainQuestion *mainquestion);
    void takeEnd(int ret);

protected slots:
    void on_tableWidget_clicked(const QModelIndex &index);

private slots:
    void receiveJobStarted(int generation);

private:
    bool currentLoad() const;
    void emptyList();

    Form form{};
    PaintHold *tablePaint = nullptr;
    DataToUiThreadClass *loader = nullptr;
    int jobCode;
    QList<MainQuestion *> records;
    // Of the job whose rows arrive now; a superseded job's carry an older one.
    int arrivingGeneration = -1;
};
