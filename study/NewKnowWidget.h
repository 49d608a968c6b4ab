#pragma once

#include <QWidget>

// The review page of answered questions. It stands in until it is built: it shows its title and logs each call.
class NewKnowWidget : public QWidget
{
    Q_OBJECT
public:
    explicit NewKnowWidget(QWidget *parent = nullptr);
    ~NewKnowWidget() override;

    void setSkinColor(const QString &color);
    void loadList();
    void clearLists();
};
