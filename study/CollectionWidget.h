#pragma once

#include <QWidget>

// The favourite page. It stands in until it is built: it shows its title and logs each call.
class CollectionWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CollectionWidget(QWidget *parent = nullptr);
    ~CollectionWidget() override;

    void setSkinColor(const QString &color);
    void loadList();
    void clearList();
};
