#pragma once

#include <QDialog>

namespace Ui {
class HelpDialog;
}

// The exam's key help with the current part's description. Closing only
// hides it: the exam window deletes it at the next help press or with itself.
class HelpDialog : public QDialog
{
    Q_OBJECT
public:
    explicit HelpDialog(QWidget *parent = nullptr);
    ~HelpDialog() override;

    // The current part's description.
    void setText(const QString &text);

private slots:
    void on_btn_confirm_clicked();

private:
    Ui::HelpDialog *ui;
};
