#pragma once

#include "ReviewListPage.h"

class MainQuestion;

namespace Ui {
class CollectionWidget;
}

// The favourites page: the questions marked as favourite, oldest answer first.
class CollectionWidget : public ReviewListPage
{
    Q_OBJECT
public:
    explicit CollectionWidget(QWidget *parent = nullptr);
    ~CollectionWidget() override;

private slots:
    void receiveMarkQuestion(int queindex, MainQuestion *mainquestion);
    void receiveThreadMarkQuestion(int ret);

private:
    Ui::CollectionWidget *ui;
};
