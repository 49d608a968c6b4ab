#pragma once

#include "QuestionCellBase.h"

#include <QList>

class MainQuestion;
class QAbstractButton;
class QTextEdit;

// What the true/false, fill-in and case-analysis cells share: a number, a
// stem line, the question text, an answer line and an analysis under the
// question, four buttons, the fills, and the exam, in which nothing is
// written and every change of the answer is reported with sendAnswerState.
//
// Answer states: true/false 0, 1, 2 from the choice; a typed answer 1 when it
// reads as the stored answer (typedAnswerIsRight), else 2 once given, and 0
// while the exam's text box is empty.
class PlainCellBase : public QuestionCellBase
{
    Q_OBJECT
public:
    // Practice (cellMode other than 1) or browse (cellMode 1: the keyword
    // painted in the question text; only a typed fill-in answer is
    // recorded). A group without questions leaves an inert cell.
    void setData(int number, MainQuestion *group, int cellMode);
    // The timed exam: nothing recorded, no buttons; the answer kept in the
    // exam's record comes back, and every change is reported.
    void setExamData(int number, MainQuestion *group);
    // Shows the answer line and the analysis; in the exam the answer is
    // closed from then on. Asked before the fill, the fill shows them.
    virtual void showAnswer();
    // Opens or closes the answer: its inputs and "显示答案", which records.
    void setInputOpen(bool open);

    // Whether a typed answer reads as the stored one: both trimmed, runs of
    // blanks as one, full-width ASCII forms as half-width, Latin letters
    // without case. An empty answer is never right.
    static bool typedAnswerIsRight(const QString &typed, const QString &stored);

    using QuestionCellBase::buttonStyle;
    // The outlined and the filled button style of these cells; %1 of each
    // is the skin colour.
    static QString buttonStyle(bool filled, const QString &skin)
    {
        return buttonStyle(filled, skin, FilledHover::Plain);
    }

signals:
    // id: number - 1; answer: the chosen option's name or the typed text.
    void sendAnswerState(int id, int state, QString answer);

protected:
    struct PlainWidgets {
        QLabel *number = nullptr;
        QLabel *stem = nullptr;
        QLabel *title = nullptr;
        QLabel *rightAnswer = nullptr;
        QLabel *prompt = nullptr;
        QPushButton *showAnswer = nullptr;
        QPushButton *mark = nullptr;
        QPushButton *note = nullptr;
        QPushButton *error = nullptr;
        // Every widget that takes or asks for the answer.
        QList<QWidget *> inputs;
        // The options to choose from, or the text box a typed answer goes into.
        QList<QAbstractButton *> choices;
        QTextEdit *answerBox = nullptr;
    };
    // The widgets every one of these forms names alike.
    template <class Form>
    static PlainWidgets formWidgets(Form *form)
    {
        PlainWidgets widgets;
        widgets.number = form->label_id;
        widgets.stem = form->textEdit_questiontypename;
        widgets.title = form->textEdit_title;
        widgets.rightAnswer = form->label_rigthanswer;
        widgets.prompt = form->textEdit_prompt;
        widgets.showAnswer = form->pushButton_showanswer;
        widgets.mark = form->pushButton_mark;
        widgets.note = form->pushButton_note;
        widgets.error = form->pushButton_error;
        return widgets;
    }
    // What the line beside the number shows.
    enum class StemLine { StemOnly, DescriptionAndStem };

    PlainCellBase(StemLine line, QWidget *parent);
    void attachPlainWidgets(const PlainWidgets &widgets);

    // The end of a fill: the answer line and the user's answer of the
    // question shown.
    virtual void takeAnswers(const QuestionData &question) = 0;
    bool hasQuestion() const { return filledQuestion; }

    // The saved text back in the box, exactly as typed; no signal.
    void restoreTypedAnswer(const QuestionData &question);
    QString typedAnswer() const;
    // 0 for an empty text, else 1 right or 2 wrong against the stored answer.
    int typedAnswerState(const QString &text) const;
    void reportAnswer(int state, const QString &text);

private slots:
    void receiveTypedChange();

private:
    void fill(int number, const MainQuestion *group, WorkMode workMode);
    QString stemText(const MainQuestion &group) const;

    StemLine stemLine;
    PlainWidgets plain;
    bool filledQuestion = false;
};
