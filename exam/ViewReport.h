#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>

class DataToUiThreadClass;
class ExamSection;
class MainQuestion;
class QPrinter;
class QTextEdit;
class ViewReport2;
class WaitingForm;

namespace Ui {
class ViewReport;
}

// The read-only rich-text viewer: a title row, formatting tools that act on
// the whole text, a count line and the text area. It serves as a frameless
// window listing a chapter's questions with their right options (loaded on
// its worker under the busy overlay), embedded in a page (title row hidden)
// showing a stored report, and unseen in the exam window, where it writes
// the report of a graded paper and keeps it as an exam record.
//
// Without a parent it is a window; with one it is a plain child. Text and
// background colours are user settings shared by every viewer
// (Config.ini QuestionCell/ViewReportFontColor and ViewReportBkColor).
class ViewReport : public QWidget
{
    Q_OBJECT

public:
    explicit ViewReport(QWidget *parent = nullptr);
    // Stops a listing still loading and drops what it queued.
    ~ViewReport() override;

    void setTitle(const QString &title);
    // Styles the title row and the lists after the skin ("r,g,b,a") and
    // restores the stored colours.
    void setSkinColor(const QString &skinColor);
    void setComboSkinColor(const QString &skinColor);
    // Hides the title row and the count line, for a viewer in a page.
    void hideTitleBar();
    // Shows stored HTML in the listed family at 12 pt in the text colour.
    void showReportHtml(const QString &html);
    // Lists the chapter's question groups: each question with its right
    // options. A listing asked for while one loads replaces it.
    void showChapterQuestions(int cateId);

    // Writes the graded paper as the report (the first question of each
    // entry, numbered per section), keeps it as an exam record in modes 0
    // and 1 and closes the viewer. The records stay the caller's.
    void buildExamReport(QList<ExamSection *> sections, int mode);
    // Stores the text and counts of the last report as an exam record:
    // 0, or -1 when the store failed (logged); 0 for a mode that keeps none.
    int saveExamRecord(int mode);

public slots:
    void printOrder(QPrinter *printer);
    void receivecurrentIndexChanged(QString size);
    void receiveSqliteClass(int ret);
    void receiveQuickQuestion(MainQuestion *question);

private slots:
    void on_pushButton_print_clicked();
    void on_pushButton_exit_clicked();
    void on_pushButton_max_clicked();
    void on_pushButton_min_clicked();
    void on_textbold_clicked(bool checked);
    void on_toolButton_CenterAlignment_clicked();
    void on_toolButton_RightAlignment_clicked();
    void on_toolButton_LeftAlignment_clicked();
    void on_textcolor_clicked();
    void on_textUnderline_clicked(bool checked);
    void on_textitalic_clicked(bool checked);
    void on_fontComboBox_currentFontChanged(QFont f);
    void on_pushButton_background_clicked();
    void on_pushButton_toHtml_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Keeps the text overlay on the text area when the area moves or resizes.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Selects the whole text, applies the change and puts the cursor at the start.
    void formatWholeText(const std::function<void(QTextEdit *)> &change);
    int listedSize() const;
    // Selects an installed family in the font list; false leaves the list alone.
    bool selectFamily(const QString &family);
    // Wide enough for the name of every installed Chinese, Japanese or
    // Korean family in the list's own font.
    void fitFamilyList();
    // The listed family (when installed) at 12 pt on the whole text.
    void showInListedFont();
    void applyBackground(const QColor &colour);
    static void saveColorSetting(const QString &key, const QString &value);

    bool isDragArea(const QPoint &pos) const;
    void placeTextOverlay(int bottomCut);
    void showTextOverlay(int bottomCut);
    // A row or end of a listing that was replaced by a later one.
    bool isStale() const;
    void appendGroup(const MainQuestion &group);
    void appendReportEntry(const MainQuestion &entry, int number);

    Ui::ViewReport *ui;
    bool dragging = false;
    QPoint pressPosition;
    QPoint windowPosition;
    QString skinColor;
    // The defaults until setSkinColor reads the stored ones.
    QColor textColour = QColor(Qt::black);
    QColor backgroundColour = QColor(Qt::white);
    DataToUiThreadClass *worker = nullptr;
    // The generation of the listing whose rows are arriving.
    int startedGeneration = -1;
    int questionCount = 0;
    int correctCount = 0;
    int unansweredCount = 0;
    int lastType = -1;
    WaitingForm *busyOverlay = nullptr;
    ViewReport2 *textOverlay = nullptr;
    // How much of the text area's height the text overlay leaves uncovered.
    int overlayBottomCut = 0;
    int lastGroup = -1;
};
