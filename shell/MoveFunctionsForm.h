#pragma once

#include <QWidget>

namespace Ui {
class MoveFunctionsForm;
}

// The more-functions pop-up beside the navigation bar. It only emits what the
// user picked; the main window carries it out. Closing only hides it.
class MoveFunctionsForm : public QWidget
{
    Q_OBJECT
public:
    // What sendMoveFunctionOutOutline carries.
    enum MoreFunctionCode {
        OnlineCourses = 0,
        DataBackup = 1,
        Feedback = 2,
        ExamNews = 3,
        AboutBox = 4,
        DataRepair = 5,
    };

    explicit MoveFunctionsForm(QWidget *parent = nullptr);
    ~MoveFunctionsForm() override;

signals:
    // The syllabus page's number.
    void sendExamOutline(int pageId);
    void sendMoveFunctionOutOutline(int code);

protected:
    void leaveEvent(QEvent *event) override;

private slots:
    void on_pushButton_kaishizhinan_clicked();
    void on_pushButton_zaixiankecheng_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_DataRecovery_clicked();
    void on_pushButton_Feedback_clicked();
    void on_pushButton_examabout_clicked();
    void on_pushButton_about_clicked();

private:
    Ui::MoveFunctionsForm *ui;
};
