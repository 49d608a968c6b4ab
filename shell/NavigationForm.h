#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class MoveFunctionsForm;
class PushButton;
class QTimeLine;

namespace Ui {
class NavigationForm;
}

// The vertical bar at the main window's left edge: one image button per page
// (0 to 11), the more-functions button with its pop-up panel, and a slide
// button that slides the bar over the page area and back in three frames.
// The parent (the main window) provides receiveButtonSlot(int) and
// receiveMoveFunctionOutOutline(int) for the panel's signals.
class NavigationForm : public QWidget
{
    Q_OBJECT
public:
    explicit NavigationForm(QWidget *parent = nullptr);
    ~NavigationForm() override;

    // Slide distance = width − 20; call once the bar has its geometry.
    void updateSlideStep();
    void setSkinImage(const QString &folder, const QString &name);
    void setSkinColor(const QString &color);
    void slideIn();
    void slideOut();
    void clickHome();
    void clickExamQuestions();
    void setYatiButtonVisible(bool visible);
    void closeMoreFunctions();

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // The bar's new x position and the animation frame (1 to 3).
    void sendHoverOut(int x, int frame);
    void sendHoverIn(int x, int frame);
    void sendClickedButtonId(int id);

public slots:
    void receiveButtonSlot();
    void SLOTTimerHoverIn(int value);
    void SLOTTimerHoverOut(int value);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private slots:
    void on_pushButton_hover_clicked();
    void on_pushButton_movefuntions_clicked();

private:
    void initButtons();
    void createTimeLines();
    // Moves the bar to x and reports the frame.
    void showFrame(int x, int frame, bool slidingIn);
    // The slide button's image for the current direction, when an image skin was given.
    void applySlideImage();

    Ui::NavigationForm *ui;
    int currentPage = -1;
    QList<PushButton *> pageButtons;
    QTimeLine *slideInLine = nullptr;
    QTimeLine *slideOutLine = nullptr;
    MoveFunctionsForm *moreFunctions = nullptr;
    int slideDistance = 0;
    int frameCount = 3;
    bool expanded = false;
    QString skinFolderPath;
    QString skinName;
    bool armed = true;
    bool animating = false;
};
