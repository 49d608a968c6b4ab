#pragma once

#include <QDialog>
#include <QPointer>

class RadioExamForm;

namespace Ui {
class TalkLoginDialog;
}

// The imitation candidate screen: log in again, or begin the exam (with a
// title choice for the senior-title products). Closing hides it.
class TalkLoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TalkLoginDialog(QWidget *parent = nullptr);
    ~TalkLoginDialog() override;

signals:
    // The man-machine paper type to open.
    void sendExam(int index);
    void sendTalkWelcome();

public slots:
    void receiveRadioExam(int buttontype, int index);
    void on_btn_beginmachine_clicked();
    void on_btn_relogin_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::TalkLoginDialog *ui;
    // The window deletes itself when closed.
    QPointer<RadioExamForm> radioExamForm;
};
