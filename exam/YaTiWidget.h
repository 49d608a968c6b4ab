#pragma once

#include <QWidget>

// The prediction-paper page. It stands in until it is built: it shows its title and logs each call.
class YaTiWidget : public QWidget
{
    Q_OBJECT
public:
    explicit YaTiWidget(QWidget *parent = nullptr);
    ~YaTiWidget() override;

    void setSkinColor(const QString &color);
    void initPage();
};
