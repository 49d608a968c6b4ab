#include "WelcomeWidget.h"
#include "ui_WelcomeWidget.h"

#include "BuiltinPassphrase.h"
#include "ConfigIni.h"
#include "DownLoadQThread.h"
#include "FileAttributes.h"
#include "PublicData.h"
#include "ServiceReply.h"
#include "ServiceUrl.h"
#include "Skin.h"
#include "SqliteClass.h"
#include "Translucency.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QImageReader>
#include <QMovie>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace {

// Where each version check keeps the local version and whom it asks; from
// version 14 on the service answers on a newer page.
struct VersionCheck {
    const char *key;
    const char *path;
    const char *newPath;
};
const VersionCheck versionChecks[] = {
    {"Version/PROGRAM", "/client/verProgram.php", "/client/verProgramNew.php"},
    {"Version/DATABASE", "/client/verDll.php", "/client/verDllNew.php"},
};
const int newPathFromVersion = 14;

// A bank copied from a read-only medium cannot take the user's answers.
void makeWritable(const QString &filePath)
{
    const QByteArray path = filePath.toLocal8Bit();
    if (GetFileAttributesA(path.constData()) == FILE_ATTRIBUTE_NORMAL)
        return;
    qDebug() << (SetFileAttributesA(path.constData(), FILE_ATTRIBUTE_NORMAL) ? "修改文件属性成功."
                                                                            : "修改文件属性失败.");
}

// The first start builds the main window's pages before the event loop
// runs, so the splash would stay unpainted for as long as it is up. Only
// there: a rebuild runs inside the loop, in the middle of the old window's
// slot, where timers and replies must not run early.
void paintBeforeEventLoop(QWidget *splash)
{
    if (QThread::currentThread()->loopLevel() != 0)
        return;
    // Its timeout also wakes the wait should the window never be exposed.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(2000);
    // What the show posted comes first, exposure or not.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    while (deadline.isActive() && splash->isVisible()
           && !(splash->windowHandle() && splash->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    splash->repaint();
}

} // namespace

WelcomeWidget::WelcomeWidget(QWidget *parent)
    : QWidget(parent), ui(new Ui::WelcomeWidget)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    Translucency::apply(this);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move((screen->size().width() - width()) / 2, (screen->size().height() - height()) / 2);
    ui->pushButton_exit->setFocusPolicy(Qt::NoFocus);
    ui->label_gif->hide();
    ui->label_text->hide();
}

WelcomeWidget::~WelcomeWidget()
{
    // A reply that ends while the manager goes must not call back into us.
    if (versionReply)
        disconnect(versionReply, nullptr, this, nullptr);
    delete versionManager;
    delete downloader;
    if (movie)
        movie->stop();
    delete movie;
    delete ui;
}

int WelcomeWidget::initWelcome(const QString &bankDirectory)
{
    const QString filePath = bankDirectory + QStringLiteral("/MedicalDB.db");
    qDebug().noquote() << QStringLiteral("filePath:") + filePath;
    makeWritable(filePath);

    SqliteClass *store = SqliteClass::instance();
    if (store->openDatabase(bankDirectory, QString::fromLatin1(builtinPassphrase), 0) != 2)
        return -1;
    if (store->loadQuestionTypes() != 0)
        qDebug().noquote() << store->lastErrorText();

    readSettings();
    setFittedText(ui->label_ContactUs, QString(contactText).replace(QLatin1Char('\n'), QLatin1Char('\t')));
    if (skinColorText.isEmpty())
        skinColorText = QString::fromLatin1(defaultSkinColor);
    showLogo();

    QString memo;
    QString goodsMemo;
    if (store->readSysConfig(QStringLiteral("sysTypeISN"), isn, memo) != 0
        || store->readSysConfig(QStringLiteral("sysTypeGoods"), goods, goodsMemo) != 0) {
        qDebug().noquote() << store->lastErrorText();
        return -1;
    }
    setFittedText(ui->label_title, memo);

    show();
    if (!movie) {
        movie = new QMovie(QStringLiteral(":/Welcome/images/Welcome/waiting.gif"));
        ui->label_gif->setMovie(movie);
        movie->start();
    }
    ui->label_gif->show();
    ui->label_text->show();
    paintBeforeEventLoop(this);

    if (store->postOfflineQueue() != 0)
        qDebug().noquote() << store->lastErrorText();
    submitInstallStats();
    return 1;
}

QString WelcomeWidget::skinColor() const
{
    return skinColorText;
}

QString WelcomeWidget::skinImage() const
{
    return skinName;
}

QString WelcomeWidget::logoPath() const
{
    return logoFile;
}

QString WelcomeWidget::md5Hex(const QString &text)
{
    return ServiceUrl::md5Hex(text);
}

void WelcomeWidget::readSettings()
{
    const ConfigIni config;
    contactText = config.text(QStringLiteral("ContactUs/Contact1"));
    PublicData *data = PublicData::instance();
    data->proxyButtonText1 = config.text(QStringLiteral("ProxyUI/ProxyButtonText1"));
    data->proxyButtonText2 = config.text(QStringLiteral("ProxyUI/ProxyButtonText2"));
    data->proxyButtonText3 = config.text(QStringLiteral("ProxyUI/ProxyButtonText3"));
    installType = config.value(QStringLiteral("Logo/IsUseType")).toInt();
    skinColorText = config.text(QStringLiteral("QuestionCell/SkinColor"));
    skinName = config.text(QStringLiteral("QuestionCell/SkinImage"));
    dlsId = config.value(QStringLiteral("Logo/Type")).toInt();
}

void WelcomeWidget::showLogo()
{
    if (dlsId == 1) {
        ui->label_logo->setStyleSheet(
            QStringLiteral("border-image: url(:/Welcome/images/Welcome/tarsinlogo.png);"));
        return;
    }
    // A file that is no picture would leave a hole where the logo goes.
    const QString bigLogo = PublicData::instance()->bigLogoFile;
    if (!QFileInfo(bigLogo).isFile() || !QImageReader(bigLogo).canRead())
        return;
    logoFile = bigLogo;
    ui->label_logo->setStyleSheet(QStringLiteral("border-image: url(%1);").arg(bigLogo));
}

void WelcomeWidget::setFittedText(QLabel *label, const QString &text)
{
    label->ensurePolished();
    const QString fitted = label->fontMetrics().elidedText(text, Qt::ElideRight, label->width());
    label->setText(fitted);
    label->setToolTip(fitted == text ? QString() : text);
}

void WelcomeWidget::submitInstallStats()
{
    if (!downloader) {
        downloader = new DownLoadQThread;
        connect(downloader, &DownLoadQThread::sendSubmitFinish, this, &WelcomeWidget::receiveSubmitFinish);
        connect(downloader, &DownLoadQThread::sendNetworkError, this, &WelcomeWidget::receiveNetworkError);
    }
    const QString query = ServiceUrl::query(
        QStringLiteral("key=%1&source=%2&ID=%3&type=%4&sysTypeGoods=%5&sysTypeISN=%6&dlsId=%7"),
        {ServiceUrl::key(goods + isn), QStringLiteral("client"), installationId,
         QString::number(installType), goods, isn, QString::number(dlsId)});
    downloader->submit(ServiceUrl::url(QStringLiteral("/client/clientInstallStats.php"), query)
                           .toString(QUrl::FullyEncoded));
}

void WelcomeWidget::receiveSubmitFinish(QString str)
{
    // A failed request (an error page holding a "0" included) arrives as
    // the empty text, so it never counts as delivered.
    if (str.contains(QLatin1Char('0'))) {
        PublicData::setValue(QStringLiteral("Logo/IsUseType"), QStringLiteral("1"));
        qDebug() << "提交完成";
    } else {
        qDebug() << "提交失败";
    }
    requestVersion(0);
}

void WelcomeWidget::requestVersion(int type)
{
    versionType = type;
    const VersionCheck &check = versionChecks[type];
    const bool newer = PublicData::value(QLatin1String(check.key)).toInt() >= newPathFromVersion;
    if (!versionManager)
        versionManager = new QNetworkAccessManager(this);
    QNetworkRequest request(ServiceUrl::url(QLatin1String(newer ? check.newPath : check.path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    versionReply = versionManager->get(request);
    connect(versionReply, &QNetworkReply::errorOccurred, this, &WelcomeWidget::slotError);
    connect(versionReply, &QNetworkReply::finished, this, &WelcomeWidget::receiveVersionFinish);
}

void WelcomeWidget::receiveVersionFinish()
{
    QNetworkReply *reply = std::exchange(versionReply, nullptr);
    reply->deleteLater();
    const bool answered = ServiceReply::succeeded(reply);
    const QString server = QString::fromLatin1(ServiceReply::body(reply));

    // A failed request or a page that is no number tells nothing: keep the
    // version rather than store that text.
    const QString key = QLatin1String(versionChecks[versionType].key);
    bool isNumber = false;
    const double serverVersion = server.toDouble(&isNumber);
    if (answered && isNumber && PublicData::value(key).toDouble() > serverVersion)
        PublicData::setValue(key, server);

    if (versionType == 0)
        requestVersion(1);
}

void WelcomeWidget::slotError(QNetworkReply::NetworkError errorCode)
{
    qDebug() << "error:" << int(errorCode);
}

void WelcomeWidget::receiveNetworkError(QNetworkReply::NetworkError error)
{
    qDebug() << "网络未连接:" << int(error);
}

void WelcomeWidget::mousePressEvent(QMouseEvent *event)
{
    drag.press(this, event);
}

void WelcomeWidget::mouseReleaseEvent(QMouseEvent *event)
{
    drag.release(event);
}

void WelcomeWidget::mouseMoveEvent(QMouseEvent *event)
{
    drag.move(this, event);
}

void WelcomeWidget::on_pushButton_exit_clicked()
{
    QCoreApplication::quit();
}
