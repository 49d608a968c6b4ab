#include "MainWidget.h"
#include "ui_MainWidget.h"

#include "AboutApp.h"
#include "ChoiceDialog.h"
#include "CollectionWidget.h"
#include "ConfigDialog.h"
#include "ConfigIni.h"
#include "DataRecoveryWidget.h"
#include "ErrorQuestionWidget.h"
#include "ExamOutlineWidget.h"
#include "ExamQuestionsWidget.h"
#include "FeedBaceDialog.h"
#include "FindQuestionWidget.h"
#include "HomePageWidget.h"
#include "MyMessageBox.h"
#include "LearnReportWidget.h"
#include "NavigationForm.h"
#include "NewKnowWidget.h"
#include "PublicData.h"
#include "QuestionsForm.h"
#include "QuickBackQuestions.h"
#include "SelectSubjectsDialog.h"
#include "SimulatedExaminatinWidget.h"
#include "SingleQuestionModelFrom.h"
#include "Skin.h"
#include "SkinDialog.h"
#include "SqliteClass.h"
#include "SqliteData.h"
#include "TalkWidget.h"
#include "Updater.h"
#include "Translucency.h"
#include "UserTextWidget.h"
#include "WelcomeWidget.h"
#include "YaTiWidget.h"

#include <QApplication>
#include <QAction>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QMenu>
#include <QScreen>
#include <QUrl>

namespace {

// The title buttons swap their images: under the mouse the "_pressed" one,
// while pressed the "_hover" one. The "_pressed" marks are white on a clear
// ground, so the hover state lays a ground under them.
QString titleButtonStyle(const QString &name, const QString &hoverGround = QStringLiteral("rgb(180, 180, 180)"))
{
    return QStringLiteral("QPushButton{border-image: url(:/MenuIcon/images/MenuIcon/%1_normal.png);}\n"
                          "QPushButton:hover{border-image: url(:/MenuIcon/images/MenuIcon/%1_pressed.png);"
                          "background-color: %2;}\n"
                          "QPushButton:pressed{border-image: url(:/MenuIcon/images/MenuIcon/%1_hover.png);"
                          "background-color: transparent;}")
        .arg(name, hoverGround);
}

// Told once per start of the program, whatever window is up then.
bool answersNotSavedTold = false;

// The skin's picture is for the page area alone; without a selector every
// row, label and button of the pages would draw its own copy.
QString pageAreaStyle(const QString &rule)
{
    return QStringLiteral("MainWidget > QWidget#widget{%1}").arg(rule);
}

} // namespace

MainWidget::MainWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::MainWidget)
{
    ui->setupUi(this);
    skinPath = QLatin1String(skinFolder);
    setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    Translucency::apply(this);
    ui->pushButton_config->hide();

    {
        const ConfigIni config;
        contactText = config.text(QStringLiteral("ContactUs/Contact1"));
        programVersion = config.text(QStringLiteral("Version/PROGRAM"));
        bankDir = config.text(QStringLiteral("Data/DBPath"));
        downloadUrl = config.text(QStringLiteral("DownLoadUrl/Url"));
    }
    QString contactLine = contactText;
    ui->label_Contactus->setText(contactLine.replace(QLatin1Char('\n'), QLatin1Char('\t')));
    ui->label_tarsin->hide();

    ui->pushButton_skin->setStyleSheet(titleButtonStyle(QStringLiteral("huanfu")));
    ui->pushButton_config->setStyleSheet(titleButtonStyle(QStringLiteral("shezhi"))
                                         + QStringLiteral("\nQPushButton::menu-indicator{image:None;}"));
    ui->pushButton_min->setStyleSheet(titleButtonStyle(QStringLiteral("zuixiaohua")));
    ui->pushButton_max->setStyleSheet(titleButtonStyle(QStringLiteral("zuidahua")));
    ui->pushButton_exit->setStyleSheet(titleButtonStyle(QStringLiteral("guanbi"), QStringLiteral("rgb(224, 67, 67)")));
    ui->pushButton_exit->setShortcut(QKeySequence(QStringLiteral("Esc")));
    for (QPushButton *button : {ui->pushButton_skin, ui->pushButton_min, ui->pushButton_max, ui->pushButton_exit})
        button->setFocusPolicy(Qt::NoFocus);
    ui->pushButton_skin->setToolTip(QStringLiteral("换肤"));
    ui->pushButton_min->setToolTip(QStringLiteral("最小化"));
    ui->pushButton_max->setToolTip(QStringLiteral("最大化"));
    ui->pushButton_exit->setToolTip(QStringLiteral("退出"));
    ui->pushButton_config->setToolTip(QStringLiteral("菜单"));
    connect(SqliteClass::instance(), &SqliteClass::sendAnswerNotSaved, this, &MainWidget::receiveAnswerNotSaved);
}

MainWidget::~MainWidget()
{
    delete practiceSet;
    delete navigation;
    delete homePage;
    delete examQuestionsPage;
    delete errorQuestionPage;
    delete collectionPage;
    delete userTextPage;
    delete simulatedExamPage;
    delete talkPage;
    delete findQuestionPage;
    delete newKnowPage;
    delete quickBackPage;
    delete learnReportPage;
    delete yaTiPage;
    delete examOutlinePage;
    delete questionsForm;
    delete practicePage;
    delete welcome;
    delete aboutBox;
    delete ui;
}

int MainWidget::start()
{
    if (ConfigIni::readText(QStringLiteral("AppModel/model")).toInt() != 1) {
        if (Updater::startDetached(QDir::currentPath())) {
            qDebug().noquote() << QStringLiteral("启动UpdateVelmora.exe成功");
            return -1;
        }
        qDebug().noquote() << QStringLiteral("启动UpdateVelmora.exe失败.");
    }
    if (QFileInfo::exists(QStringLiteral("./data"))) {
        initApplication();
        ConfigIni::write(QStringLiteral("AppModel/model"), QStringLiteral("0"));
        return 0;
    }
    showSelectSubjects();
    return 0;
}

void MainWidget::initApplication()
{
    logoType = ConfigIni::readText(QStringLiteral("Logo/Type")).toInt();
    if (logoType == 1) {
        ui->label_tarsin->show();
    } else if (logoType == 0 || logoType == 2) {
        ui->label_tarsin->hide();
    } else {
        // An agent's own logo, when the installation brought one.
        const QString logoFile = PublicData().logoFile;
        if (QFileInfo::exists(logoFile)) {
            ui->label_tarsin->setStyleSheet(QStringLiteral("border-image: url(%1);").arg(logoFile));
            ui->label_tarsin->show();
        } else {
            ui->label_tarsin->hide();
        }
    }

    if (!welcome)
        welcome = new WelcomeWidget;
    if (bankDir.isEmpty())
        bankDir = QStringLiteral("./data");
    const int result = welcome->initWelcome(bankDir);
    if (result == -1) {
        qWarning().noquote() << SqliteClass::instance()->lastErrorText();
        showSelectSubjects();
        // Above the catalogue, so it is read first.
        showNotice(QStringLiteral("题库无法打开,请重新下载科目."));
        return;
    }
    skinColor = welcome->skinColor();
    skinImage = welcome->skinImage();
    logoPath = welcome->logoPath();

    QString value;
    QString memo;
    SqliteClass::instance()->readSysConfig(QStringLiteral("sysTypeISN"), value, memo);
    ui->label_title->setText(memo);
    if (result == 1)
        showMainWindow();
}

void MainWidget::showNotice(const QString &message)
{
    notice = std::make_unique<MyMessageBox>();
    notice->setSkinColor(skinColor);
    notice->setTitle(QStringLiteral("提示"));
    notice->setMessage(message);
    notice->show();
    notice->raise();
}

void MainWidget::receiveAnswerNotSaved(QString reason)
{
    qWarning().noquote() << reason;
    if (answersNotSavedTold)
        return;
    answersNotSavedTold = true;
    showNotice(QStringLiteral("答题记录无法保存(磁盘已满或题库只读),之后的答题不会被记录."));
}

void MainWidget::showSelectSubjects()
{
    subjectDialog = new SelectSubjectsDialog;
    connect(subjectDialog, &SelectSubjectsDialog::sendCurrentDBPath, this, &MainWidget::receiveCurrentDBPath);
    if (!skinColor.isEmpty())
        subjectDialog->setSkinColor(skinColor);
    subjectDialog->startSelection(downloadUrl, downloadUrl.isEmpty() ? 0 : 1);
    subjectDialog->show();
}

void MainWidget::showMainWindow()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const QRect desktop = screens.size() > 1 ? screens.first()->geometry()
                                             : QGuiApplication::primaryScreen()->virtualGeometry();
    move((desktop.width() - width()) / 2, (desktop.height() - height()) / 2);
    createPages();
    if (welcome)
        welcome->close();
    show();
    createNavigation();
}

void MainWidget::createNavigation()
{
    if (!navigation) {
        navigation = new NavigationForm(this);
        connect(navigation, &NavigationForm::sendClickedButtonId, this, &MainWidget::receiveButtonSlot);
        connect(navigation, &NavigationForm::sendHoverIn, this, &MainWidget::receiveHoverIn);
        connect(navigation, &NavigationForm::sendHoverOut, this, &MainWidget::receiveHoverOut);
    }
    navigation->show();
    navigation->setGeometry(20 - navigation->width(), 0, navigation->width(), height());
    navigation->updateSlideStep();
    if (!skinImage.isEmpty()) {
        navigation->setSkinImage(skinPath, skinImage);
        ui->widget->setStyleSheet(pageAreaStyle(QStringLiteral("border-image: url(%1);").arg(skinPath + skinImage + QStringLiteral("_d.jpg"))));
    } else {
        navigation->setSkinColor(skinColor);
    }
    navigation->slideIn();
    navigation->clickHome();
    navigation->setYatiButtonVisible(true);
}

void MainWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRect(0, 0, width(), height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(path, QBrush(Qt::white));
    painter.setPen(QPen(QColor(0, 0, 0, 50), 1));
    painter.drawPath(path);
}

void MainWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QRect band(ui->widget_title->pos(), QSize(width(), ui->widget_title->height()));
    if (band.contains(event->pos())) {
        dragStartPos = pos();
        pressGlobalPos = event->globalPos();
        dragging = true;
    }
    if (navigation)
        navigation->closeMoreFunctions();
}

void MainWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragging = false;
}

void MainWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (!QRect(0, 0, ui->widget_title->width(), ui->widget_title->height()).contains(event->pos()))
        return;
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(dragStartPos + (event->globalPos() - pressGlobalPos));
}

void MainWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (navigation)
        navigation->setFixedHeight(height());
}

void MainWidget::receiveHoverIn(int max, int value)
{
    Q_UNUSED(value)
    ui->widget_right2->setFixedWidth(max + 210);
}

void MainWidget::receiveHoverOut(int max, int value)
{
    Q_UNUSED(value)
    ui->widget_right2->setFixedWidth(max + 210);
}

void MainWidget::on_pushButton_min_clicked()
{
    showMinimized();
}

void MainWidget::on_pushButton_max_clicked()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWidget::on_pushButton_exit_clicked()
{
    exitDialog = new ChoiceDialog;
    exitDialog->setSkinColor(skinColor);
    connect(exitDialog, &ChoiceDialog::sendOk, this, &MainWidget::receiveChoiceDialogOk);
    exitDialog->setMessage(QStringLiteral("确定要退出程序吗？"));
    exitDialog->show();
}

void MainWidget::receiveChoiceDialogOk()
{
    hide();
    close();
    QCoreApplication::quit();
}

void MainWidget::on_pushButton_skin_clicked()
{
    // One dialog at a time, drawn inside this window: placed in its
    // coordinates below the button and kept wholly inside.
    delete skinDialog;
    skinDialog = new SkinDialog(this);
    connect(skinDialog, &SkinDialog::sendSkinDialogColor, this, &MainWidget::receiveSkinDialogColor);
    const QPushButton *button = ui->pushButton_skin;
    const QPoint below = button->mapTo(this, QPoint(button->width(), button->height()));
    const int x = qBound(0, below.x() - skinDialog->width(), width() - skinDialog->width());
    const int y = qBound(0, below.y(), height() - skinDialog->height());
    skinDialog->move(x, y);
    skinDialog->show();
    skinDialog->raise();
}

void MainWidget::receiveSkinDialogColor(QString skinimage, QString color)
{
    skinColor = color;
    ConfigIni::write(QStringLiteral("QuestionCell/SkinColor"), color);
    ConfigIni::write(QStringLiteral("QuestionCell/SkinImage"), skinimage);
    skinImage = skinimage;
    applySkinImage(skinimage, color);
    if (homePage)
        homePage->setSkinColor(color);
}

void MainWidget::applySkinImage(const QString &skinimage, const QString &color)
{
    if (!skinimage.isEmpty()) {
        if (navigation)
            navigation->setSkinImage(skinPath, skinimage);
        ui->widget->setStyleSheet(pageAreaStyle(QStringLiteral("border-image: url(%1);").arg(skinPath + skinimage + QStringLiteral("_d.jpg"))));
    } else {
        if (navigation)
            navigation->setSkinColor(color);
        ui->widget->setStyleSheet(pageAreaStyle(QStringLiteral("border-image: none;")));
    }
}

void MainWidget::receiveCurrentDBPath(QString dbpath)
{
    bankDir = dbpath;
    if (subjectDialog)
        subjectDialog->close();
    ConfigIni::write(QStringLiteral("Remove/Type"), 0);
    emit sendMainWidget();
}

void MainWidget::receiveDataRecovery()
{
    if (dataRepairDialog)
        dataRepairDialog->close();
    emit sendMainWidget();
}

void MainWidget::receiveAboutApp()
{
    if (!aboutBox)
        aboutBox = new AboutApp;
    aboutBox->setMessage(contactText);
    aboutBox->setVersion(programVersion);
    aboutBox->setLogo(logoType, logoPath);
    aboutBox->show();
}

void MainWidget::recieveFeedbace()
{
    feedbackDialog = new FeedBaceDialog;
    feedbackDialog->setReportMode(0);
    feedbackDialog->setSkinColor(skinColor);
    feedbackDialog->show();
}

void MainWidget::receiveBkData()
{
    configDialog = new ConfigDialog;
    configDialog->setSkinColor(skinColor);
    configDialog->show();
}

void MainWidget::receiveDataRecoveryWidget()
{
    dataRepairDialog = new DataRecoveryWidget;
    connect(dataRepairDialog, &DataRecoveryWidget::sendDataRecovery, this, &MainWidget::receiveDataRecovery);
    dataRepairDialog->setSkinColor(skinColor);
    dataRepairDialog->show();
}

// ---- Menu and service links ---------------------------------------------------

namespace {

const QString brandCourses = QStringLiteral("http://shop.velmora-brand.example/selcourse/selectCourse.shtm?courseEduId=90168");
const QString brandSite = QStringLiteral("http://www.velmora-brand.example/");
const QString productPage = QStringLiteral("http://www.velmora.example/chanpin");

} // namespace

void MainWidget::receiveMoveFunctionOutOutline(int index)
{
    switch (index) {
    case 0: openOnlineLink(QStringLiteral("OnLineCurriculum")); break;
    case 1: receiveBkData(); break;
    case 2: recieveFeedbace(); break;
    case 3: openOnlineLink(QStringLiteral("OnLineInformation")); break;
    case 4: receiveAboutApp(); break;
    case 5: receiveDataRecoveryWidget(); break;
    default: break;
    }
}

int MainWidget::openOnlineLink(const QString &key)
{
    QString address;
    if (key == QLatin1String("OnLineCurriculum"))
        address = logoType == 1 ? brandCourses : productPage;
    else if (key == QLatin1String("OnLineInformation"))
        address = logoType == 1 ? brandSite : productPage;
    // No browser or a refused address passes silently.
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
    return 0;
}

void MainWidget::initMenu()
{
    const QStringList texts = {QStringLiteral("在线下载科目"), QStringLiteral("在线课程"), QStringLiteral("意见反馈"),
                               QStringLiteral("关于软件")};
    menu = new QMenu(this);
    for (int i = 0; i < texts.size(); ++i) {
        auto *action = new QAction(texts.at(i), this);
        connect(action, &QAction::triggered, this, &MainWidget::receiveConfigAction);
        action->setData(i);
        menu->addAction(action);
    }
    ui->pushButton_config->setMenu(menu);
}

void MainWidget::receiveConfigAction(bool isclieck)
{
    Q_UNUSED(isclieck)
    auto *action = qobject_cast<QAction *>(sender());
    if (!action)
        return;
    switch (action->data().toInt()) {
    case 0:
        subjectDialog = new SelectSubjectsDialog;
        subjectDialog->setSkinColor(skinColor);
        connect(subjectDialog, &SelectSubjectsDialog::sendCurrentDBPath, this, &MainWidget::receiveCurrentDBPath);
        subjectDialog->startSelection(QString(), 0);
        subjectDialog->show();
        break;
    case 1: receiveMoveFunctionOutOutline(0); break;
    case 2: recieveFeedbace(); break;
    case 3: receiveAboutApp(); break;
    case 4: QCoreApplication::quit(); break;
    case 5: showNormal(); break;
    default: break;
    }
}

// ---- Page switching --------------------------------------------------------

void MainWidget::createPages()
{
    homePage = new HomePageWidget;
    connect(homePage, &HomePageWidget::sendStartlearn, this, &MainWidget::receiveStartlearn);
    connect(homePage, &HomePageWidget::sendSqliteData, this, &MainWidget::receiveSingleQuestionModelFrom);
    homePage->setSkinColor(skinColor);

    examQuestionsPage = new ExamQuestionsWidget;
    connect(examQuestionsPage, &ExamQuestionsWidget::sendShowType, this, &MainWidget::receiveShowType);
    connect(examQuestionsPage, &ExamQuestionsWidget::sendDataToQuestionForm, this, &MainWidget::receiveQuestionForm);
    connect(examQuestionsPage, &ExamQuestionsWidget::sendDataToSingleQuestionForm, this,
            &MainWidget::receiveSingleQuestionModelFrom);

    errorQuestionPage = new ErrorQuestionWidget;
    collectionPage = new CollectionWidget;
    userTextPage = new UserTextWidget;
    talkPage = new TalkWidget;
    simulatedExamPage = new SimulatedExaminatinWidget;
    newKnowPage = new NewKnowWidget;
    learnReportPage = new LearnReportWidget;
    quickBackPage = new QuickBackQuestions;
    if (!findQuestionPage)
        findQuestionPage = new FindQuestionWidget;
}

void MainWidget::clearPageArea()
{
    while (QLayoutItem *item = ui->verticalLayout_main->takeAt(0)) {
        if (QWidget *page = item->widget())
            page->close();
        delete item;
    }
}

void MainWidget::addPage(QWidget *page)
{
    ui->verticalLayout_main->addWidget(page);
}

void MainWidget::receiveButtonSlot(int id)
{
    clearPageArea();
    if (findQuestionPage)
        findQuestionPage->resetPage();
    if (newKnowPage)
        newKnowPage->clearLists();
    if (errorQuestionPage)
        errorQuestionPage->clearList();
    if (collectionPage)
        collectionPage->clearList();
    if (userTextPage)
        userTextPage->clearList();
    if (navigation)
        navigation->closeMoreFunctions();

    switch (id) {
    case 0:
        addPage(homePage);
        homePage->setSkinColor(skinColor);
        homePage->show();
        if (homePage->initData() == -1)
            qDebug().noquote() << QStringLiteral("pHomePageWidget->initData:error.");
        break;
    case 1:
        addPage(examQuestionsPage);
        examQuestionsPage->setSkinColor(skinColor);
        examQuestionsPage->show();
        examQuestionsPage->enterPage();
        break;
    case 2:
        addPage(errorQuestionPage);
        errorQuestionPage->setSkinColor(skinColor);
        errorQuestionPage->show();
        errorQuestionPage->loadList();
        break;
    case 3:
        addPage(collectionPage);
        collectionPage->show();
        collectionPage->setSkinColor(skinColor);
        collectionPage->loadList();
        break;
    case 4:
        addPage(userTextPage);
        userTextPage->setSkinColor(skinColor);
        userTextPage->show();
        userTextPage->loadList();
        break;
    case 5:
        if (!simulatedExamPage)
            simulatedExamPage = new SimulatedExaminatinWidget;
        simulatedExamPage->setSkinColor(skinColor);
        addPage(simulatedExamPage);
        simulatedExamPage->show();
        break;
    case 6:
        if (!talkPage)
            talkPage = new TalkWidget;
        addPage(talkPage);
        talkPage->setSkinColor(skinColor);
        talkPage->show();
        break;
    case 7:
        findQuestionPage->setSkinColor(skinColor);
        addPage(findQuestionPage);
        findQuestionPage->show();
        break;
    case 8:
        addPage(newKnowPage);
        newKnowPage->setSkinColor(skinColor);
        newKnowPage->show();
        newKnowPage->loadList();
        break;
    case 9:
        if (!quickBackPage)
            quickBackPage = new QuickBackQuestions;
        quickBackPage->setSkinColor(skinColor);
        addPage(quickBackPage);
        quickBackPage->show();
        break;
    case 10:
        if (!learnReportPage)
            learnReportPage = new LearnReportWidget;
        if (navigation)
            navigation->slideOut();
        addPage(learnReportPage);
        learnReportPage->setSkinColor(skinColor);
        learnReportPage->show();
        learnReportPage->reload();
        break;
    case 11:
        if (!yaTiPage)
            yaTiPage = new YaTiWidget;
        addPage(yaTiPage);
        yaTiPage->setSkinColor(skinColor);
        yaTiPage->show();
        yaTiPage->initPage();
        break;
    case 12:
        if (!examOutlinePage)
            examOutlinePage = new ExamOutlineWidget;
        if (navigation)
            navigation->slideOut();
        addPage(examOutlinePage);
        examOutlinePage->setSkinColor(skinColor);
        examOutlinePage->show();
        examOutlinePage->loadTree();
        break;
    default:
        break;
    }
    closeQuestionForms();
}

void MainWidget::receiveStartlearn()
{
    if (navigation)
        navigation->clickExamQuestions();
}

void MainWidget::closeQuestionForms()
{
    // Deferred: the practice page's own signal leads here, and it must
    // outlive its emission.
    if (questionsForm) {
        questionsForm->deleteLater();
        questionsForm = nullptr;
    }
    if (practicePage) {
        practicePage->deleteLater();
        practicePage = nullptr;
    }
}

void MainWidget::receiveSingleQuestionModelFrom(SqliteData *data, int type, QString twoclass)
{
    if (!practiceSet)
        practiceSet = new SqliteData;
    practiceSet->text0 = data->text0;
    practiceSection = twoclass;
    practiceType = type;
    closeQuestionForms();

    practicePage = new SingleQuestionModelFrom;
    connect(practicePage, &SingleQuestionModelFrom::sendQuestionsFormCloseEvent, this, &MainWidget::receiveSingReturn);
    clearPageArea();
    practicePage->setSkinColor(skinColor);
    addPage(practicePage);
    practicePage->show();
    practicePage->startPractice(data, type, twoclass);
}

void MainWidget::receiveSingReturn(int model)
{
    if (model == 1) {
        receiveButtonSlot(1);
    } else if (model == 0 && practiceType == 0) {
        if (examQuestionsPage)
            examQuestionsPage->receiveSingle(examQuestionsPage->selectedRow() + 1);
    } else if (model == 0 && practiceType == 2 && practiceSet) {
        SqliteClass *store = SqliteClass::instance();
        if (store->nextChapterSummary(practiceSet->text0.toInt(), practiceSet) == -1) {
            qDebug() << store->lastErrorText();
            return;
        }
        receiveSingleQuestionModelFrom(practiceSet, 2, practiceSection);
    }
}

void MainWidget::receiveQuestionForm(SqliteData *data)
{
    if (!questionsForm) {
        questionsForm = new QuestionsForm;
        connect(questionsForm, &QuestionsForm::sendPressValue, examQuestionsPage, &ExamQuestionsWidget::receivePressValue);
        connect(questionsForm, &QuestionsForm::sendQuestionsFormCloseEvent, examQuestionsPage,
                &ExamQuestionsWidget::receiveQuestionsFormCloseEvent);
    }
    questionsForm->setSkinColor(skinColor);
    questionsForm->startQuestionSet(data);
}

void MainWidget::receiveShowType(int type)
{
    if (type == 1) {
        showMinimized();
    } else if (type == 2) {
        showMaximized();
    } else if (type == 0 && questionsForm) {
        clearPageArea();
        addPage(questionsForm);
        questionsForm->show();
    }
}
