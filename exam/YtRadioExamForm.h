#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class YtRadioExamForm;
}

// Asks once which variant of the prediction papers the user takes: the full
// or the associate senior title. Frameless, on top; deletes itself on close.
class YtRadioExamForm : public QWidget
{
    Q_OBJECT
public:
    explicit YtRadioExamForm(QWidget *parent = nullptr);
    ~YtRadioExamForm() override;

    void setSkinColor(const QString &color);

signals:
    // buttontype 0 OK, 1 Cancel; index the variant (1 or 2, 0 on Cancel);
    // text the chosen button's text.
    void sendRadioExam(int buttontype, int index, QString text);

private slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();
    void on_radioButton_1_clicked();
    void on_radioButton_2_clicked();

private:
    Ui::YtRadioExamForm *ui;
};
