#include "LoginBaseClass.h"

#include "ConfigIni.h"
#include "ServiceReply.h"
#include "ServiceUrl.h"
#include "SqliteClass.h"

#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

LoginBaseClass::LoginBaseClass(QObject *parent)
    : QObject(parent)
    , source(QStringLiteral("client"))
{
    renewManager();
}

LoginBaseClass::~LoginBaseClass()
{
    releaseManager();
}

QString LoginBaseClass::md5Hex(const QString &text)
{
    return ServiceUrl::md5Hex(text);
}

QString LoginBaseClass::telephoneKey()
{
    return QStringLiteral("User/Tel");
}

int LoginBaseClass::submitFeedback(const QString &content, const QString &addTime)
{
    renewManager();
    QString telephone;
    if (!readTelephone(telephone))
        return -1;
    send(QStringLiteral("/other/feedback.php"),
         QStringLiteral("key=%1&source=%2&userId=%3&userTel=%4&con=%5&addTime=%6"),
         {ServiceUrl::key(source), source, QString(), telephone, content, addTime});
    return 0;
}

int LoginBaseClass::submitErrorReport(const QString &content, int conType, int queId,
                                      const QString &queText)
{
    renewManager();
    QString telephone;
    if (!readTelephone(telephone))
        return -1;
    // One memo for both reads: the title is the memo of "sysTypeISN" when the
    // bank has that row, else that of "sysTypeGoods".
    SqliteClass *store = SqliteClass::instance();
    QString goods, isn, memo;
    if (store->readSysConfig(QStringLiteral("sysTypeGoods"), goods, memo) != 0
        || store->readSysConfig(QStringLiteral("sysTypeISN"), isn, memo) != 0) {
        qDebug().noquote() << store->lastErrorText();
        return -1;
    }
    send(QStringLiteral("/other/conError.php"),
         QStringLiteral("key=%1&source=%2&title=%3&sysTypeGoods=%4&sysTypeISN=%5&conType=%6"
                        "&queId=%7&queText=%8&userId=%9&userTel=%10&con=%11"),
         {ServiceUrl::key(source), source, memo, goods, isn, QString::number(conType),
          QString::number(queId), queText, QString(), telephone, content});
    return 0;
}

void LoginBaseClass::renewManager()
{
    releaseManager();
    manager = new QNetworkAccessManager;
    connect(manager, &QNetworkAccessManager::finished, this, &LoginBaseClass::UserFeedBackFinish);
}

void LoginBaseClass::releaseManager()
{
    ++requestCount;
    if (!manager)
        return;
    // The store posts its next row from inside a reply's signal, so the old
    // manager may be emitting right now: cut it off and let it go later.
    disconnect(manager, nullptr, this, nullptr);
    if (pending) {
        disconnect(pending, nullptr, this, nullptr);
        pending->abort();
    }
    pending = nullptr;
    manager->deleteLater();
    manager = nullptr;
}

bool LoginBaseClass::readTelephone(QString &telephone)
{
    const ConfigIni ini;
    if (ini.status() != QSettings::NoError)
        return false;
    telephone = ini.text(telephoneKey());
    return true;
}

void LoginBaseClass::send(const QString &path, const QString &queryTemplate,
                          const QStringList &values)
{
    QNetworkRequest request(ServiceUrl::url(path, ServiceUrl::query(queryTemplate, values)));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    pending = manager->get(request);
    connect(pending, &QNetworkReply::errorOccurred, this, &LoginBaseClass::slotError);
}

void LoginBaseClass::UserFeedBackFinish(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != pending)
        return;
    pending = nullptr;
    const bool taken = ServiceReply::succeeded(reply);
    const QString text = taken ? ServiceReply::bodyText(reply) : QString();
    const quint64 request = requestCount;
    // The outcome goes out from the event loop, not from inside the network
    // manager's signal: a receiver may delete this client or run a nested
    // loop, and either would delete the manager under its own feet.
    QMetaObject::invokeMethod(
        this, [this, taken, text, request] { deliver(taken, text, request); },
        Qt::QueuedConnection);
}

void LoginBaseClass::deliver(bool taken, const QString &text, quint64 request)
{
    if (request != requestCount)
        return;
    if (!taken) {
        reportOffline();
        return;
    }
    if (text.isEmpty()) {
        reportReply(-1);
        return;
    }
    const QPointer<LoginBaseClass> alive(this);
    const ServiceReply::Answer answer = ServiceReply::read(text);
    if (!alive || request != requestCount)
        return;
    if (!answer.valid) {
        reportOffline();
        return;
    }
    reportReply(answer.status);
    if (alive)
        emit sendUserFinish(answer.status, answer.msg, QString());
}

void LoginBaseClass::slotError(QNetworkReply::NetworkError error)
{
    // The outcome follows once the reply has finished.
    qDebug() << "slotError:" << int(error);
}

void LoginBaseClass::reportOffline()
{
    const QPointer<LoginBaseClass> alive(this);
    reportReply(-1);
    if (alive)
        emit sendoffline();
}
