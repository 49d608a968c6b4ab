#pragma once

#include <QWidget>

// The study-report page of saved exam records. It stands in until it is built: it shows its title and logs each call.
class LearnReportWidget : public QWidget
{
    Q_OBJECT
public:
    explicit LearnReportWidget(QWidget *parent = nullptr);
    ~LearnReportWidget() override;

    void setSkinColor(const QString &color);
    void reload();
};
