#pragma once

#include <QDialog>
#include <QList>
#include <QModelIndex>
#include <QString>

class DataToUiThreadClass;
class MainQuestion;
class MarkForm;
class MyMessageBox;
class QTimer;
class QuestionData;
class SqliteData;

namespace Ui {
class QuestionsForm;
}

// Every question of one question set at once: one cell per question in a
// scrolling table, a side list with one MarkForm row per question, and a
// clock of the time spent since the set was opened. Questions are answered
// in order: a question takes an answer only when the one before has a state.
class QuestionsForm : public QDialog
{
    Q_OBJECT
public:
    explicit QuestionsForm(QWidget *parent = nullptr);
    ~QuestionsForm() override;

    // For the cells of later loads and the message box; cells already
    // built keep their style.
    void setSkinColor(const QString &color);
    // Field 0 of the row is the set's chapter id, field 1 its name; the row
    // is read during the call only.
    void startQuestionSet(SqliteData *set);

signals:
    // 10 at a start, then 10 + r after side row r of a load is built.
    void sendPressValue(int value);
    void sendQuestionsFormCloseEvent();

public slots:
    void receiveQuestion(int ret, QList<MainQuestion *> questions);
    void receiveTimeOut();
    void receiveMark(int id, bool state);
    void receiveNote(int id, bool state);
    void receiveState(int id, int state);
    void receiveUpQestion();
    void receiveDownQestion();
    void receiveQuestionCellClicked(int id, int clickedid);

public slots:
    // Inside the main window's page area Escape would hide the page and
    // leave the area blank; there it does nothing.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    // A press on a closed answer says why it is closed.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void on_tableWidget_button_clicked(const QModelIndex &index);
    void on_pushButton_showbutton_clicked(bool checked);
    void receiveJobStarted(int generation);

private:
    void initTables(const QString &setName);
    void fillTables(const QList<MainQuestion *> &groups);
    void addQuestion(int row, MainQuestion *group, QuestionData *question);
    QWidget *newCell(int queTypeId);
    void clearTables();
    MarkForm *markRow(int row) const;
    void showMessage(const QString &text);
    // A cell that takes answers itself is open only once the question
    // before it has a state.
    void keepInOrder(int row);
    // Selects the side row and scrolls the question table to it.
    void goToRow(int row);

    Ui::QuestionsForm *ui;
    DataToUiThreadClass *worker = nullptr;
    QList<MainQuestion *> records;
    int progressBase = 0;
    QTimer *clock = nullptr;
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
    MyMessageBox *messageBox;
    QString skinColor;
    int arrivingGeneration = -1;
};
