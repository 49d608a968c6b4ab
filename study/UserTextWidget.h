#pragma once

#include "ReviewListPage.h"

class MainQuestion;

namespace Ui {
class UserTextWidget;
}

// The notes page: the questions with a note, oldest answer first.
class UserTextWidget : public ReviewListPage
{
    Q_OBJECT
public:
    explicit UserTextWidget(QWidget *parent = nullptr);
    ~UserTextWidget() override;

private slots:
    void receiveNoteQuestion(int queindex, MainQuestion *mainquestion);
    void receiveThreadNoteQuestion(int ret);

private:
    Ui::UserTextWidget *ui;
};
