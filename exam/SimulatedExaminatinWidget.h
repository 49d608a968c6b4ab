#pragma once

#include <QWidget>

// The simulated-exam page. It stands in until it is built: it shows its title and logs each call.
class SimulatedExaminatinWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SimulatedExaminatinWidget(QWidget *parent = nullptr);
    ~SimulatedExaminatinWidget() override;

    void setSkinColor(const QString &color);
};
