#pragma once

#include <QWidget>

// The wrong-question page. It stands in until it is built: it shows its title and logs each call.
class ErrorQuestionWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ErrorQuestionWidget(QWidget *parent = nullptr);
    ~ErrorQuestionWidget() override;

    void setSkinColor(const QString &color);
    void loadList();
    void clearList();
};
