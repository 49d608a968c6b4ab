#pragma once

#include "FramelessDialog.h"

class LoginBaseClass;
class MyMessageBox;

namespace Ui {
class FeedBaceDialog;
}

// The form in which the user sends feedback (mode 0) or reports an error in
// one question (mode 1) to the web service. When the service cannot be
// reached the text is queued in the bank for a later start. It deletes
// itself when closed, so an opener makes a new one each time:
//
//   auto *dialog = new FeedBaceDialog;
//   dialog->setSkinColor(skinColor);
//   dialog->setReportMode(1);
//   dialog->setErrorReportData(conType, queId, queText);
//   dialog->show();
class FeedBaceDialog : public FramelessDialog
{
    Q_OBJECT
public:
    explicit FeedBaceDialog(QWidget *parent = nullptr);
    ~FeedBaceDialog() override;

    // 1 a question error report; anything else feedback.
    void setReportMode(int mode);
    // The question a report is about; conType 1 for a question of a
    // prediction paper, 0 for any other.
    void setErrorReportData(int conType, int queId, const QString &queText);
    // "r,g,b,a"; an empty text keeps the current look.
    void setSkinColor(const QString &color);

private slots:
    void on_pushButton_clear_clicked();
    void on_pushButton_cancel_clicked();
    void on_pushButton_submit_clicked();
    void on_pushButton_exit_clicked();
    void receiveUserFinish(int ret, QString msg, QString type);
    void receiveOFFLine();

private:
    // Shows the message; when the submission is done, waits for the user to
    // read it and closes the dialog.
    void tell(const QString &message, bool done);
    // Writes the latest submission into the bank's queue: 0, or -1.
    int queueSubmission();

    Ui::FeedBaceDialog *ui;
    MyMessageBox *messageBox;
    LoginBaseClass *client = nullptr;
    QString skinColor;
    int mode = 0;
    // The latest submission, as it went out.
    QString content;
    QString timeText;
    int conType = 0;
    int queId = 0;
    QString queText;
};
