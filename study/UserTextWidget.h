#pragma once

#include <QWidget>

// The note page. It stands in until it is built: it shows its title and logs each call.
class UserTextWidget : public QWidget
{
    Q_OBJECT
public:
    explicit UserTextWidget(QWidget *parent = nullptr);
    ~UserTextWidget() override;

    void setSkinColor(const QString &color);
    void loadList();
    void clearList();
};
