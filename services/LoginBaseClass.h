#pragma once

#include "OfflineReportClient.h"

#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;

// The web-service client for user feedback ("/other/feedback.php") and
// question error reports ("/other/conError.php"). One request at a time: a
// submit drops a request of the same client that is still under way.
//
// Every request that goes out ends in exactly one of: sendUserFinish (the
// service answered with a status), sendoffline (network failure, an HTTP
// status outside 2xx, or a reply that is no object with a numeric status),
// or nothing at all (an empty reply). The store's reply handler is called
// once per request with the status, else -1.
class LoginBaseClass : public QObject, public OfflineReportClient
{
    Q_OBJECT

public:
    explicit LoginBaseClass(QObject *parent = nullptr);
    // A request under way ends unreported.
    ~LoginBaseClass() override;

    // 0 when the request went out; -1 when the kept telephone number cannot
    // be read (nothing is sent).
    int submitFeedback(const QString &content, const QString &addTime) override;
    // The same; also -1 with the store's error logged when the bank's
    // settings cannot be read. conType: 1 a prediction-paper question, 0 any
    // other.
    int submitErrorReport(const QString &content, int conType, int queId,
                          const QString &queText) override;

    static QString md5Hex(const QString &text);
    // Where the feedback dialog keeps the user's telephone number.
    static QString telephoneKey();

signals:
    // The service's status and message; type is always empty.
    void sendUserFinish(int ret, QString debug, QString type);
    void sendoffline();

public slots:
    // Every finished reply of the client's current network manager.
    void UserFeedBackFinish(QNetworkReply *reply);

private slots:
    void slotError(QNetworkReply::NetworkError error);

private:
    // Drops the request under way and starts a fresh network manager.
    void renewManager();
    void releaseManager();
    static bool readTelephone(QString &telephone);
    void send(const QString &path, const QString &queryTemplate, const QStringList &values);
    // The outcome of a finished request: taken (no network or HTTP failure)
    // and its body text, unless a later submit replaced it meanwhile.
    void deliver(bool taken, const QString &text, quint64 request);
    void reportOffline();

    const QString source;
    QNetworkAccessManager *manager = nullptr;
    // The request under way; replies of dropped requests are ignored.
    QPointer<QNetworkReply> pending;
    // Counts submits, so an outcome delivered from the event loop can tell
    // whether a later submit replaced its request.
    quint64 requestCount = 0;
};
