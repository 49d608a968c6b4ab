#pragma once

#include <QWidget>

namespace Ui {
class RadioExamForm;
}

// The title-level choice of the computer-based exam: a dialog window on top
// of the others that deletes itself when closed.
class RadioExamForm : public QWidget
{
    Q_OBJECT
public:
    explicit RadioExamForm(QWidget *parent = nullptr);
    ~RadioExamForm() override;

signals:
    // buttontype 0 OK, 1 Cancel; index 0 senior, 1 deputy senior title.
    void sendRadioExam(int buttontype, int index);

public slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();

private:
    Ui::RadioExamForm *ui;
};
