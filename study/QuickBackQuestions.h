#pragma once

#include <QWidget>

// The quick-memorisation page. It stands in until it is built: it shows its title and logs each call.
class QuickBackQuestions : public QWidget
{
    Q_OBJECT
public:
    explicit QuickBackQuestions(QWidget *parent = nullptr);
    ~QuickBackQuestions() override;

    void setSkinColor(const QString &color);
};
