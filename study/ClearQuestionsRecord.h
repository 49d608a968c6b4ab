#pragma once

#include "FramelessDialog.h"

#include <memory>

class DataToUiThreadClass;

namespace Ui {
class ClearQuestionsRecord;
}

// Resets the user's work in one question set: the answers, and on request
// the favourite marks and the notes. The clearing runs on the dialog's own
// worker with a progress bar; the dialog closes itself when it succeeded and
// stays open with the error when it failed. It deletes itself when closed.
class ClearQuestionsRecord : public FramelessDialog
{
    Q_OBJECT
public:
    explicit ClearQuestionsRecord(QWidget *parent = nullptr);
    ~ClearQuestionsRecord() override;

    void setCateId(int cateId);
    void setSkinColor(const QString &color);

signals:
    // Once, when the dialog closes, after any clearing under way has ended.
    void sendUpdateClear();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Esc and every button end here too.
    void done(int result) override;

private slots:
    void recieveSqliteClass(int ret);
    void receiveClearQuestions(int max, int value);
    void on_pushButton_exit_clicked();
    void on_pushButton_save_clicked();
    void on_pushButton_save_2_clicked();

private:
    // "answers,favourites,notes", each 1 or 0.
    QString clearFlags() const;
    void showStatus(const QString &text);
    void notifyClosed();

    Ui::ClearQuestionsRecord *ui;
    QString skinColor;
    int cateId = 0;
    std::unique_ptr<DataToUiThreadClass> worker;
    // From a start until its result has been received.
    bool clearing = false;
    bool closeNotified = false;
};
