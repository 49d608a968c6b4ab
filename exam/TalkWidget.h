#pragma once

#include <QWidget>

// The computer-based exam imitation page. It stands in until it is built: it shows its title and logs each call.
class TalkWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TalkWidget(QWidget *parent = nullptr);
    ~TalkWidget() override;

    void setSkinColor(const QString &color);
};
