#include "NavigationForm.h"
#include "ui_NavigationForm.h"

#include "MoveFunctionsForm.h"
#include "PushButton.h"

#include <QEvent>
#include <QTimeLine>

namespace {

// Fixed end positions of a slide: only the bar's right 20 pixels stay in view
// when it is out, its two-pixel edge leaves the window when it is in.
const int expandedX = -2;
const int collapsedX = -200;
const int slideMs = 300;

} // namespace

NavigationForm::NavigationForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::NavigationForm)
{
    ui->setupUi(this);
    // With a parent the bar stays a child widget.
    setWindowFlags(Qt::WindowStaysOnTopHint);
    ui->widget_user->setAttribute(Qt::WA_TranslucentBackground);
    ui->pushButton_many->hide();
    ui->pushButton_username->hide();
    ui->pushButton_login->hide();
    ui->pushButton_hover->installEventFilter(this);
    initButtons();
}

NavigationForm::~NavigationForm()
{
    // The panel is a window of its own; it must not outlive the bar (and the
    // main window its signals go to).
    delete moreFunctions;
    delete ui;
}

void NavigationForm::initButtons()
{
    const QString folder = QStringLiteral(":/HomePage/images/HomePage/");
    const QList<QPair<PushButton *, QString>> pages = {
        {ui->pushButton_HomePage, QStringLiteral("shouye")},
        {ui->pushButton_ExamQuestions, QStringLiteral("kaoshitiku")},
        {ui->pushButton_ErrorQuestion, QStringLiteral("cuotichongzuo")},
        {ui->pushButton_Collection, QStringLiteral("wodeshoucang")},
        {ui->pushButton_UserText, QStringLiteral("xuexibiji")},
        {ui->pushButton_SimulatedExamination, QStringLiteral("monikaochang")},
        {ui->pushButton_Talk, QStringLiteral("renjiduihua")},
        {ui->pushButton_FindQuestion, QStringLiteral("shitichazhao")},
        {ui->pushButton_wenguzhixin, QStringLiteral("wenguzhixin")},
        {ui->pushButton_kuaisubeiti, QStringLiteral("kuaisubeiti")},
        {ui->pushButton_xuexibaogao, QStringLiteral("xuexibaogao")},
        {ui->pushButton_yati, QStringLiteral("yatiban")},
    };
    for (const auto &page : pages) {
        PushButton *button = page.first;
        button->setImageName(folder + page.second);
        button->setId(pageButtons.size());
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &PushButton::clicked, this, &NavigationForm::receiveButtonSlot);
        pageButtons.append(button);
    }
    ui->pushButton_movefuntions->setFocusPolicy(Qt::NoFocus);
}

void NavigationForm::updateSlideStep()
{
    slideDistance = width() - 20;
}

void NavigationForm::setSkinImage(const QString &folder, const QString &name)
{
    ui->widget_left->setStyleSheet(QStringLiteral("border-image: url(%1%2_b.jpg);").arg(folder, name));
    skinFolderPath = folder;
    skinName = name;
    applySlideImage();
}

void NavigationForm::setSkinColor(const QString &color)
{
    ui->widget_left->setStyleSheet(QStringLiteral("border-image: none;background-color:rgb(%1);").arg(color));
}

void NavigationForm::applySlideImage()
{
    // Without an image skin the in and out names would name no image: the
    // form's arrow stays.
    if (skinName.isEmpty())
        return;
    const QString image = skinFolderPath + skinName
                          + (expanded ? QStringLiteral("_in.png") : QStringLiteral("_out.png"));
    ui->pushButton_hover->setStyleSheet(QStringLiteral("QPushButton{border-image: url(%1); }").arg(image));
}

void NavigationForm::createTimeLines()
{
    frameCount = 3;
    // A slide-in may start from inside a frame of the running slide-out
    // (moving the bar under the mouse), so the old time lines are stopped and
    // deleted only once their signal has returned.
    for (QTimeLine *old : {slideInLine, slideOutLine}) {
        if (old) {
            old->stop();
            old->deleteLater();
        }
    }
    auto make = [this](void (NavigationForm::*frameSlot)(int)) {
        auto *line = new QTimeLine(slideMs, this);
        line->setEasingCurve(QEasingCurve::Linear);
        line->setFrameRange(0, frameCount);
        connect(line, &QTimeLine::frameChanged, this, frameSlot);
        return line;
    };
    slideInLine = make(&NavigationForm::SLOTTimerHoverIn);
    slideOutLine = make(&NavigationForm::SLOTTimerHoverOut);
}

void NavigationForm::slideIn()
{
    armed = false;
    if (expanded)
        return;
    createTimeLines();
    expanded = true;
    applySlideImage();
    animating = true;
    slideInLine->start();
}

void NavigationForm::slideOut()
{
    armed = true;
    if (!expanded)
        return;
    expanded = false;
    applySlideImage();
    animating = true;
    slideOutLine->start();
}

// A slide that starts part-way (a slide-in during a slide-out) stops at the
// end position instead of running past it.
void NavigationForm::SLOTTimerHoverIn(int value)
{
    showFrame(value == frameCount ? expandedX : qMin(expandedX, x() + slideDistance / frameCount), value, true);
}

void NavigationForm::SLOTTimerHoverOut(int value)
{
    showFrame(value == frameCount ? collapsedX : qMax(collapsedX, x() - slideDistance / frameCount), value, false);
}

void NavigationForm::showFrame(int newX, int frame, bool slidingIn)
{
    if (frame == frameCount)
        animating = false;
    move(newX, 0);
    if (slidingIn)
        emit sendHoverIn(newX, frame);
    else
        emit sendHoverOut(newX, frame);
}

void NavigationForm::receiveButtonSlot()
{
    auto *button = qobject_cast<PushButton *>(sender());
    if (!button)
        return;
    const int id = button->id();
    if (id != currentPage && currentPage != -1)
        pageButtons.at(currentPage)->applyState(0);
    button->applyState(2);
    currentPage = id;
    emit sendClickedButtonId(id);
}

void NavigationForm::clickHome()
{
    ui->pushButton_HomePage->click();
}

void NavigationForm::clickExamQuestions()
{
    ui->pushButton_ExamQuestions->click();
}

void NavigationForm::setYatiButtonVisible(bool visible)
{
    ui->pushButton_yati->setVisible(visible);
}

void NavigationForm::closeMoreFunctions()
{
    if (moreFunctions && !moreFunctions->isHidden())
        moreFunctions->close();
}

bool NavigationForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->pushButton_hover && event->type() == QEvent::Enter && armed && !animating) {
        slideIn();
        armed = false;
    }
    return QWidget::eventFilter(watched, event);
}

void NavigationForm::enterEvent(QEvent *event)
{
    QWidget::enterEvent(event);
    ui->pushButton_hover->show();
}

void NavigationForm::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    ui->pushButton_hover->hide();
    armed = true;
}

void NavigationForm::on_pushButton_hover_clicked()
{
    if (expanded)
        slideOut();
    else
        slideIn();
}

void NavigationForm::on_pushButton_movefuntions_clicked()
{
    if (!moreFunctions) {
        moreFunctions = new MoveFunctionsForm;
        if (QWidget *window = parentWidget()) {
            connect(moreFunctions, SIGNAL(sendExamOutline(int)), window, SLOT(receiveButtonSlot(int)));
            connect(moreFunctions, SIGNAL(sendMoveFunctionOutOutline(int)), window,
                    SLOT(receiveMoveFunctionOutOutline(int)));
        }
    }
    const QWidget *button = ui->pushButton_movefuntions;
    const QPoint corner = button->mapToGlobal(QPoint(0, 0));
    moreFunctions->move(corner.x() + button->width(), corner.y() + button->height() - moreFunctions->height());
    moreFunctions->show();
}
