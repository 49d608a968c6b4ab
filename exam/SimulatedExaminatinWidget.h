#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class DataToUiThreadClass;
class ExamSection;
class MyMessageBox;
class NewTalkExamForm;
class QLineEdit;
class QTreeWidgetItem;
class SqliteData;
class WaitingForm;

namespace Ui {
class SimulatedExaminatinWidget;
}

// Page 5: the chapters a simulated exam draws from (ticks written to the bank
// at once) and the number of questions per type (written at each start).
class SimulatedExaminatinWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SimulatedExaminatinWidget(QWidget *parent = nullptr);
    ~SimulatedExaminatinWidget() override;

    void setSkinColor(const QString &color);

public slots:
    void receiveAlltCate(int index, int towindex, int threeindex, QList<SqliteData *> datalist);
    void receiveItemClicked(QTreeWidgetItem *item, int column);
    void on_pushButton_startExam_clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void loadChapterTree();
    void buildTypeTable();
    void setTick(QTreeWidgetItem *leaf, const QString &state);
    void showMessage(const QString &text);
    // The load is over, complete or not.
    void endLoad();

    Ui::SimulatedExaminatinWidget *ui;
    QString skinColor;
    QList<QLineEdit *> countFields;
    QList<ExamSection *> examParts;
    // The window deletes itself when closed.
    QPointer<NewTalkExamForm> examWindow;
    DataToUiThreadClass *worker = nullptr;
    WaitingForm *waitingForm = nullptr;
    MyMessageBox *messageBox = nullptr;
    QList<SqliteData *> receivedRows;
    QString tickedMark;
    QString untickedMark;
    int startedGeneration = -1;
};
