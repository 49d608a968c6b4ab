#pragma once

#include "ReviewListPage.h"

class MainQuestion;

namespace Ui {
class ErrorQuestionWidget;
}

// The wrong-question page: the questions last answered wrongly, oldest answer first.
class ErrorQuestionWidget : public ReviewListPage
{
    Q_OBJECT
public:
    explicit ErrorQuestionWidget(QWidget *parent = nullptr);
    ~ErrorQuestionWidget() override;

private slots:
    void receiveErrorQuestion(int queindex, MainQuestion *mainquestion);
    void receiveThreadErrorQuestion(int ret);

private:
    Ui::ErrorQuestionWidget *ui;
};
