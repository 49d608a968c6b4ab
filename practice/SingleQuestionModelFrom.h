#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

class CellBk;
class DataToUiThreadClass;
class FontBk;
class InterpretationForm;
class MainQuestion;
class MyMessageBox;
class QTimer;
class SqliteData;

namespace Ui {
class SingleQuestionModelFrom;
}

// The chapter practice page: one question set, page by page, one cell per
// question, with a clock, the answered count on a ring, the reading
// settings of group QuestionCell in Config.ini and, at the end of the set,
// a summary offering the next set or the way back.
class SingleQuestionModelFrom : public QWidget
{
    Q_OBJECT
public:
    explicit SingleQuestionModelFrom(QWidget *parent = nullptr);
    ~SingleQuestionModelFrom() override;

    void setSkinColor(const QString &color);
    // type: 0 or 1 from the question-bank page, 2 from the home page. The
    // row's texts are copied; the row stays the caller's.
    void startPractice(SqliteData *set, int type, const QString &chapterName);

    void loadPage(int cateId, int offset, int count);
    void addQuestionCell(MainQuestion *record, int number, const QString &numberText, int queTypeId);
    void applyCellStyle(const QString &image, const QString &colour, const QString &fontSize);
    void showTypeExplanation();

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // 0 on to the next set, 1 back to the question bank. The receiver may
    // delete this page while it is emitted: nothing of the page is touched after.
    void sendQuestionsFormCloseEvent(int model);

public slots:
    void receiveTimeOut();
    void receiveState(int id, int state, QString answer);
    void receiveQuestionBycateIdBycount(QList<MainQuestion *> quelist, int index, int count);
    void receiveCellFontData(int font);
    void receiveCellData(QString bkname, QString bk);
    void receiveReturnQuestion(int model);
    void receiveChangeError(int titletype, int queid, QString queText);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_bk_clicked();
    void on_pushButton_font_clicked();
    void on_pushButton_cellcount_clicked();
    void on_pushButton_return_clicked();
    void on_pushButton_up_clicked();
    void on_pushButton_down_clicked();
    void on_checkBox_answer_clicked(bool checked);

private:
    // The per-page entry as a count; anything below 1 is one question.
    int enteredCount() const;
    void setPagingTexts(int count);
    void showSummary();
    void showSetName();
    void clearCells();
    // Under the widget, x shifted by dx from its left edge.
    static void placeBelow(QWidget *popup, const QWidget *anchor, int dx);

    Ui::SingleQuestionModelFrom *ui;
    int cateId = 0;
    int pType = 0;
    QString chapterName;
    QString setName;
    int total = 0;
    int answered = 0;
    int right = 0;
    int perPage = 1;
    int firstNumber = 0;
    int lastNumber = 0;
    int seconds = 0;
    int minutes = 0;
    int hours = 0;
    QString skinColor;
    QString readingColour;
    QString readingFont;
    QString readingImage;
    DataToUiThreadClass *worker = nullptr;
    int arrivingGeneration = -1;
    QTimer *timer = nullptr;
    MyMessageBox *messageBox = nullptr;
    CellBk *backgroundPicker = nullptr;
    FontBk *fontPicker = nullptr;
    InterpretationForm *typeExplanation = nullptr;
    // Both delete themselves when closed and may outlive the page.
    QPointer<QWidget> summary;
    QPointer<QWidget> errorReport;
};
