#pragma once

#include <QDialog>

namespace Ui {
class TalkWelcomeDialog;
}

// The imitation exam centre's welcome screen (modal). Closing hides it; its
// page keeps and reuses it.
class TalkWelcomeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TalkWelcomeDialog(QWidget *parent = nullptr);
    ~TalkWelcomeDialog() override;

signals:
    void sendTalkLogin();

public slots:
    void on_btn_login_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::TalkWelcomeDialog *ui;
};
