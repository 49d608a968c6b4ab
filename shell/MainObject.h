#pragma once

#include <QObject>

class MainWidget;

// Owns the one main window and replaces it whole when the window asks for
// it (a new or repaired question bank).
class MainObject : public QObject
{
    Q_OBJECT

public:
    explicit MainObject(QObject *parent = nullptr);
    ~MainObject() override;

    // 0 does the start-up: -1 when the updater took over (the caller ends
    // the process), else 0. Any other flag does nothing and returns 0.
    int start(int flag);

public slots:
    void receiveMainWidget();

private:
    friend class TestMainObject;

    MainWidget *mainWidget = nullptr;
};
