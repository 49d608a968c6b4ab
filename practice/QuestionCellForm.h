#pragma once

#include "QuestionCellBase.h"

#include <QList>

class MainQuestion;
class OptionData;
class QShortcut;
class QuestionAnswerCellForm;

namespace Ui {
class QuestionCellForm;
}

// One choice question: types 1 and 2 take one option (radio marks), 3, 4
// and 6 any number (check boxes). A click on an option or its letter key
// chooses it; the cell judges, marks, records (practice mode) and reports
// the state with sendState.
class QuestionCellForm : public QuestionCellBase
{
    Q_OBJECT
public:
    explicit QuestionCellForm(QWidget *parent = nullptr);
    ~QuestionCellForm() override;

    // 1: clicks leave the cell as sendClicked; the owner applies them with chooseOption.
    void setForwardClicks(int flag);
    void setIndex(int newIndex);
    // Practice (cellMode other than 1) or browse (cellMode 1); 1 when a saved
    // answer was restored and the answer panel shown.
    int setQuestion(int number, MainQuestion *group, QuestionData *question, const QList<OptionData *> &options,
                    int cellMode);
    // The timed exam: options only selected, never marked or recorded. Only
    // source kind 2 offers error reports.
    void setExamQuestion(int sourceKind, const QString &number, int newIndex, MainQuestion *group,
                         QuestionData *question, const QList<OptionData *> &options);
    void chooseOption(int row);
    int judgeAnswer();
    void showAnswer();

signals:
    void sendState(int id, int state, QString answer);
    void sendMark(int id, bool on);
    void sendNote(int id, bool on);
    void sendUpQuestion();
    void sendDownQuestion();
    void sendClicked(int id, int clickedid);

protected slots:
    void receiveDownButton(bool checked);
    void receiveUpButton(bool checked);

private slots:
    void on_pushButton_showanswer_clicked();
    void slt_KeyGoods();
    void receiveclicked(int row);

private:
    void handleClick(int row);
    void restoreAnswer();
    void takeChoiceKind(const MainQuestion &group);
    void clearRows();
    void buildRows(const QList<OptionData *> &options);
    int rowHeight(int pictureHeight, int textLength) const;
    // The row a letter names, -1 when it names none.
    int rowOfLetter(QChar letter) const;

    Ui::QuestionCellForm *ui;
    int forwardClicks = 0;
    QList<QuestionAnswerCellForm *> rows;
    QList<QShortcut *> letterKeys;
    int firstLetter = 'A';
    int choiceKind = 0;
    QString userLetters;
    int currentRow = -1;
};
