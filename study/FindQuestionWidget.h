#pragma once

#include <QWidget>

// The search page. It stands in until it is built: it shows its title and logs each call.
class FindQuestionWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FindQuestionWidget(QWidget *parent = nullptr);
    ~FindQuestionWidget() override;

    void setSkinColor(const QString &color);
    void resetPage();
};
