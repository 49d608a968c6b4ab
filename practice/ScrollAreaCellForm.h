#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class MainQuestion;

namespace Ui {
class ScrollAreaCellForm;
}

// Shows one question group at a time in a scroll area, in the cell its type
// calls for, and relays the cell's answers. Study pages and the exam window
// embed it; it never sizes itself to its cell. The records it is shown stay
// the caller's: the cells copy what they need.
class ScrollAreaCellForm : public QWidget
{
    Q_OBJECT
public:
    explicit ScrollAreaCellForm(QWidget *parent = nullptr);
    ~ScrollAreaCellForm() override;

    // Keeps the skin for the cells and reads the reading colour and font
    // size from Config.ini: mode 0 paints the scroll area in them, mode 1
    // keeps it transparent with the font size; any other mode restyles nothing.
    void setStyle(const QString &skin, int mode);
    // Painted red by cells shown with cellMode 1.
    void setKeyword(const QString &keyword);
    // 2 in a prediction-paper exam: error reports of kind 1, and the
    // shared-option sub-questions offer them.
    void setSourceKind(int kind);

    // Replaces the shown cell with the group's, numbered index + 1;
    // cellMode 0 practice, 1 browse (a search hit).
    void showQuestion(MainQuestion *group, int index, int cellMode);
    // The exam's variant: nothing is written to the bank, every answer is
    // relayed; with showAnswerNow (after submission) the answer shows at once.
    void showExamQuestion(MainQuestion *group, int index, const QString &numberText, bool showAnswerNow);
    // Reveals the shown cell's answer; from then on every choice question of
    // showExamQuestion opens its answer at once.
    void showAnswer();
    // The shown cell's answer state: 0 none (or no cell), 1 right, 2 wrong.
    int answerState() const;
    void clearCells();

signals:
    void sendScrollState(int id, int state, QString useranswer);

public slots:
    void receiveScrollState(int id, int state, QString useranswer);
    // The cell's own report kind is not used: the source kind decides.
    void receiveChangeError(int titletype, int queid, QString queText);

private:
    // A new, styled and connected cell for the group, already in the view;
    // null when the group has nothing to show.
    QWidget *addCell(const MainQuestion *group);
    QWidget *shownCell() const;

    Ui::ScrollAreaCellForm *ui;
    QString questionColor;
    QString questionFont;
    QString skinColor;
    QString keyword;
    int sourceKind = 0;
    bool shownAny = false;
    bool answerShown = false;
    QPointer<QWidget> errorReport;
};
