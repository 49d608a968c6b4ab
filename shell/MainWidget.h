#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class AboutApp;
class ChoiceDialog;
class CollectionWidget;
class ConfigDialog;
class DataRecoveryWidget;
class ErrorQuestionWidget;
class ExamOutlineWidget;
class ExamQuestionsWidget;
class FeedBaceDialog;
class FindQuestionWidget;
class HomePageWidget;
class QMenu;
class LearnReportWidget;
class MyMessageBox;
class NavigationForm;
class NewKnowWidget;
class QuestionsForm;
class QuickBackQuestions;
class SelectSubjectsDialog;
class SimulatedExaminatinWidget;
class SingleQuestionModelFrom;
class SkinDialog;
class SqliteData;
class TalkWidget;
class UserTextWidget;
class WelcomeWidget;
class YaTiWidget;

namespace Ui {
class MainWidget;
}

// The program's one main window: frameless, painting its own white body,
// with a title bar, the page area, a bottom bar with the contact line and the
// sliding navigation bar at its left edge. It runs the second half of the
// start-up, owns every page and switches them by page number (0 home, 1 bank,
// 2 wrong questions, 3 favourites, 4 notes, 5 simulated exam, 6 computer
// exam, 7 search, 8 review, 9 quick memorisation, 10 study report,
// 11 prediction papers, 12 syllabus), hosts chapter practice and the question
// list, and asks its owner for a new window (sendMainWidget) when the bank
// changes.
class MainWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MainWidget(QWidget *parent = nullptr);
    ~MainWidget() override;

    // -1 when the external updater was started (the caller ends the process),
    // else 0: the window or the subject dialog is on its way.
    int start();
    // The title bar's menu: catalogue, courses, feedback, about box.
    void initMenu();
    // Hands the key's web page to the browser; always 0.
    int openOnlineLink(const QString &key);

signals:
    // Replace this window with a new one; nothing touches it afterwards.
    void sendMainWidget();

public slots:
    void receiveHoverIn(int max, int value);
    void receiveHoverOut(int max, int value);
    void showMainWindow();
    void receiveSkinDialogColor(QString skinimage, QString color);
    void receiveChoiceDialogOk();
    void receiveCurrentDBPath(QString dbpath);
    void receiveDataRecovery();
    void receiveAboutApp();
    void recieveFeedbace();
    void receiveBkData();
    void receiveDataRecoveryWidget();
    // A code of the more-functions panel (MoveFunctionsForm::Code).
    void receiveMoveFunctionOutOutline(int index);
    // The sending menu action's data: 0 to 5.
    void receiveConfigAction(bool isclieck);

    // Shows page id; an id above 12 leaves the page area empty.
    void receiveButtonSlot(int id);
    void receiveStartlearn();
    // type 0 a set with a successor, 1 the last set of its section, 2 a
    // chapter from the home page. The record stays the sender's.
    void receiveSingleQuestionModelFrom(SqliteData *data, int type, QString twoclass);
    void receiveSingReturn(int model);
    void receiveQuestionForm(SqliteData *data);
    void receiveShowType(int type);
    // An answer was not saved: the user hears of it once per program start.
    void receiveAnswerNotSaved(QString reason);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void on_pushButton_min_clicked();
    void on_pushButton_max_clicked();
    void on_pushButton_exit_clicked();
    void on_pushButton_skin_clicked();

private:
    // Reads the practice record.
    friend class TestMainWidget;

    void initApplication();
    void showSelectSubjects();
    // A message box above the other windows.
    void showNotice(const QString &message);
    void createNavigation();
    void createPages();
    void closeQuestionForms();
    // Takes every page out of the page area and closes it; the pages live on.
    void clearPageArea();
    void addPage(QWidget *page);
    void applySkinImage(const QString &skinimage, const QString &color);

    Ui::MainWidget *ui;
    bool dragging = false;
    QPoint pressGlobalPos;
    QPoint dragStartPos;
    QString skinColor;
    QString skinImage;
    NavigationForm *navigation = nullptr;
    WelcomeWidget *welcome = nullptr;
    HomePageWidget *homePage = nullptr;
    ExamQuestionsWidget *examQuestionsPage = nullptr;
    ErrorQuestionWidget *errorQuestionPage = nullptr;
    CollectionWidget *collectionPage = nullptr;
    UserTextWidget *userTextPage = nullptr;
    SimulatedExaminatinWidget *simulatedExamPage = nullptr;
    TalkWidget *talkPage = nullptr;
    FindQuestionWidget *findQuestionPage = nullptr;
    NewKnowWidget *newKnowPage = nullptr;
    QuickBackQuestions *quickBackPage = nullptr;
    LearnReportWidget *learnReportPage = nullptr;
    YaTiWidget *yaTiPage = nullptr;
    ExamOutlineWidget *examOutlinePage = nullptr;
    QuestionsForm *questionsForm = nullptr;
    SingleQuestionModelFrom *practicePage = nullptr;
    // The dialogs delete themselves when closed; the pointers go null then.
    QPointer<ConfigDialog> configDialog;
    QPointer<SkinDialog> skinDialog;
    QPointer<SelectSubjectsDialog> subjectDialog;
    QString skinPath;
    QPointer<ChoiceDialog> exitDialog;
    AboutApp *aboutBox = nullptr;
    QPointer<FeedBaceDialog> feedbackDialog;
    std::unique_ptr<MyMessageBox> notice;
    int logoType = 0;
    QString contactText;
    int practiceType = 0;
    SqliteData *practiceSet = nullptr;
    QString practiceSection;
    QString programVersion;
    QString bankDir;
    QString downloadUrl;
    QString logoPath;
    QPointer<DataRecoveryWidget> dataRepairDialog;
    QMenu *menu = nullptr;
};
