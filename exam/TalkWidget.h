#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class MyMessageBox;
class NewTalkExamForm;
class TalkLoginDialog;
class TalkWelcomeDialog;

namespace Ui {
class TalkWidget;
}

// Page 6: the imitation of the computer-based examination, walked through
// its welcome and login screens to a fixed man-machine paper.
class TalkWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TalkWidget(QWidget *parent = nullptr);
    ~TalkWidget() override;

    void setSkinColor(const QString &color);

public slots:
    void receiveExam(int index);
    void receiveWelcome();
    void receiveTalkLogin();
    void on_btn_machine_clicked();

private:
    void showMessage(const QString &text);

    Ui::TalkWidget *ui;
    TalkWelcomeDialog *welcomeDialog = nullptr;
    TalkLoginDialog *loginDialog = nullptr;
    // The window deletes itself when closed.
    QPointer<NewTalkExamForm> examWindow;
    QString skinColor;
    MyMessageBox *messageBox = nullptr;
};
