#include "DownLoadQThread.h"

#include "ServiceReply.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

DownLoadQThread::DownLoadQThread(QObject *parent)
    : QObject(parent)
{
}

DownLoadQThread::~DownLoadQThread()
{
    dropRequest();
}

int DownLoadQThread::getJson(const QString &address)
{
    dropRequest();
    startRequest(QNetworkRequest(QUrl(address, QUrl::TolerantMode)));
    connect(reply, &QNetworkReply::finished, this, &DownLoadQThread::receiveGetJsonFinish);
    connect(reply, &QNetworkReply::downloadProgress, this,
            &DownLoadQThread::updateDataReadProgress);
    return 0;
}

void DownLoadQThread::submit(const QString &address)
{
    dropRequest();
    startRequest(QNetworkRequest(QUrl(address, QUrl::TolerantMode)));
    connect(reply, &QNetworkReply::finished, this, &DownLoadQThread::receivesubmitFinish);
}

int DownLoadQThread::downloadFile(const QString &address, const QString &directory, const QString &)
{
    dropRequest();
    const QUrl url(address, QUrl::TolerantMode);
    const QString fileName = QFileInfo(url.path(QUrl::FullyDecoded)).fileName();
    const QString path = directory + QLatin1Char('/') + fileName;
    file = new QFile(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        delete file;
        file = nullptr;
        errorText = QStringLiteral("[Error]open:[%1] fail.").arg(path);
        return -1;
    }
    writeFailed = false;

    QNetworkRequest request(QUrl::fromEncoded(url.toEncoded(QUrl::FullyEncoded)));
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QStringLiteral("application/x-www-form-urlencoded"));
    startRequest(request);
    connect(reply, &QNetworkReply::finished, this, &DownLoadQThread::httpFinished);
    connect(reply, &QNetworkReply::readyRead, this, &DownLoadQThread::httpReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this,
            &DownLoadQThread::updateDataReadProgress);
    return 0;
}

QString DownLoadQThread::errorString() const
{
    return errorText;
}

bool DownLoadQThread::lastRequestSucceeded() const
{
    return succeeded;
}

void DownLoadQThread::startRequest(const QNetworkRequest &request)
{
    if (!manager)
        manager = new QNetworkAccessManager(this);
    QNetworkRequest unfollowed(request);
    unfollowed.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                            QNetworkRequest::ManualRedirectPolicy);
    reply = manager->get(unfollowed);
    connect(reply, &QNetworkReply::errorOccurred, this, &DownLoadQThread::slotError);
}

void DownLoadQThread::dropRequest()
{
    if (reply) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
        reply = nullptr;
    }
    if (file)
        closeFile(false);
}

QNetworkReply *DownLoadQThread::takeReply()
{
    QNetworkReply *done = reply;
    reply = nullptr;
    done->deleteLater();
    return done;
}

bool DownLoadQThread::endRequest(const QNetworkReply *done, bool saved)
{
    const bool transferred = ServiceReply::succeeded(done);
    succeeded = transferred && saved;
    // Qt reports no error for a redirect it did not follow.
    if (!transferred && done->error() == QNetworkReply::NoError)
        slotError(QNetworkReply::UnknownContentError);
    return succeeded;
}

bool DownLoadQThread::closeFile(bool keep)
{
    const bool written = !writeFailed && file->flush();
    file->close();
    if (!written)
        errorText = QStringLiteral("[Error]write:[%1] fail.").arg(file->fileName());
    keep = keep && written;
    if (!keep)
        file->remove();
    delete file;
    file = nullptr;
    return keep;
}

void DownLoadQThread::httpFinished()
{
    httpReadyRead();
    QNetworkReply *done = takeReply();
    const QString path = file->fileName();
    // The file is settled before anyone hears of the end.
    const bool saved = closeFile(ServiceReply::succeeded(done));
    endRequest(done, saved);
    emit sendDownFileFinish(path);
}

void DownLoadQThread::httpReadyRead()
{
    if (!file || writeFailed)
        return;
    const QByteArray bytes = reply->readAll();
    if (file->write(bytes) != bytes.size())
        writeFailed = true;
}

void DownLoadQThread::updateDataReadProgress(qlonglong current, qlonglong total)
{
    emit sendUpdateDataProgress(current, total);
}

void DownLoadQThread::receiveGetJsonFinish()
{
    QNetworkReply *done = takeReply();
    const QByteArray bytes = done->readAll();
    emit sendGetJsonFinish(endRequest(done) ? bytes : QByteArray());
}

void DownLoadQThread::slotError(QNetworkReply::NetworkError error)
{
    qDebug() << "slotError:" << int(error);
    emit sendNetworkError(error);
}

void DownLoadQThread::receivesubmitFinish()
{
    QNetworkReply *done = takeReply();
    const QString text = ServiceReply::bodyText(done);
    emit sendSubmitFinish(endRequest(done) ? text : QString());
}
