#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class NoteDialog;
class QLabel;
class QPushButton;
class QuestionData;

// What every question cell shares: the work mode, the skin and the two
// button styles, the favourite and note buttons, the error report, keyword
// painting, the answer state and the one way answers reach the store.
//
// A cell builds its form, then calls attachWidgets(); its form's buttons
// "pushButton_mark" and "pushButton_error" reach the slots below by name.
// Subclasses must not declare slots of those names themselves.
class QuestionCellBase : public QWidget
{
    Q_OBJECT
public:
    // The mode a fill fixes for the life of the cell.
    enum WorkMode {
        PracticeMode = 0,   // judge, mark, show the answer, record
        ExamMode = 1,       // judge and report only; no answer shown, nothing recorded
        BrowseMode = 2,     // a search hit: keyword painted, judged, not recorded
    };
    // Which of the three button hover looks a filled (switched-on) button has.
    enum class FilledHover {
        WhiteGround,        // choice cell
        Plain,              // true/false, fill-in and case-analysis cells
        WhiteGroundFirst,   // shared-option sub-question
    };

    ~QuestionCellBase() override;

    // Skin "r,g,b,a": the number and type labels take the colour, every
    // button the outlined style. Callers call it before the fill.
    virtual void setStyle(const QString &skin);
    void setKeyword(const QString &keyword);
    void setShowAnswerAtOnce(bool on);
    // 0 not answered, 1 right, 2 wrong.
    int answerState() const { return userStatus; }
    int workMode() const { return mode; }

    // The two style texts; %1 of each is the skin colour.
    static QString buttonStyle(bool filled, const QString &skin, FilledHover hover);
    // The number and type labels in the skin colour; either may be null.
    static void styleHeading(QLabel *number, QLabel *typeName, const QString &skin);

public slots:
    // Saves the note written in the editor; the note button shows the outcome.
    void receiveSaveNote(QString str);

signals:
    // The error button: report kind, question id, question text as stored.
    void sendChangeError(int titletype, int queid, QString queText);

protected slots:
    // Opens a new note editor on the stored note.
    void receiveNoteButton(bool checked);

private slots:
    void on_pushButton_mark_clicked(bool checked);
    void on_pushButton_error_clicked();

protected:
    // The widgets of the form that the shared behaviours restyle.
    struct Widgets {
        QLabel *number = nullptr;     // may be null
        QLabel *typeName = nullptr;   // may be null
        QPushButton *mark = nullptr;
        QPushButton *note = nullptr;
        QList<QPushButton *> outlined;   // every button setStyle gives the outlined style
    };

    QuestionCellBase(FilledHover hover, QWidget *parent);
    // After the form is built; connects the note button.
    void attachWidgets(const Widgets &widgets);

    // Fills: the question's id, answer, analysis and stored text.
    void takeQuestion(const QuestionData &question);
    // Fills: favourite and note as stored, shown on their buttons.
    void takeUserMarks(const QuestionData &question);
    // Question or stem text as HTML, the keyword painted red in browse mode.
    QString questionHtml(const QString &text) const;
    // Any bank text as HTML (analysis, answers), never painted.
    static QString textHtml(const QString &text);
    QString style(bool filled) const { return buttonStyle(filled, skinColor, filledHover); }

    // In exam mode a shown answer closes the question: no further answers.
    bool takesAnswers() const { return !(mode == ExamMode && answered); }

    // The one way an answer reaches the store: practice mode records, and
    // so does browse mode where the cell asks for it; exam mode never does.
    enum class Recording { PracticeOnly, PracticeAndBrowse };
    bool recordAnswer(const QString &answerText, int state, Recording when = Recording::PracticeOnly);
    // Writes the store's last error to the debug log.
    static void logStoreError();

    WorkMode mode = PracticeMode;
    int index = 0;
    int queId = 0;
    int errorKind = 0;
    int userStatus = 0;
    bool favourite = false;
    bool answered = false;
    bool showAnswerAtOnce = true;
    QString answer;
    QString analysis;
    QString note;
    QString questionText;
    QString keyword;
    QString skinColor;
    QPointer<NoteDialog> noteDialog;

private:
    void showFavourite(bool on);
    void showNoteState(bool hasNote);
    void placeNoteDialog();

    FilledHover filledHover;
    Widgets widgets;
};
