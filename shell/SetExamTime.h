#pragma once

#include "FramelessDialog.h"

#include <QDate>

namespace Ui {
class SetExamTime;
}

// The small dialog in which the user picks the exam date. It deletes itself
// when either of its buttons closes it.
class SetExamTime : public FramelessDialog
{
    Q_OBJECT
public:
    explicit SetExamTime(QWidget *parent = nullptr);
    ~SetExamTime() override;

    void setDate(const QDate &date);
    void setSkinColor(const QString &color);

signals:
    void sendDateTime(QDate date);

private slots:
    void on_pushButton_save_clicked();
    void on_pushButton_exit_clicked();

private:
    Ui::SetExamTime *ui;
};
