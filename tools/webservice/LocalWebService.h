#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

class QTcpServer;
class QTcpSocket;

// A small stand-in for the question banks' web service, on 127.0.0.1 only:
// the subject catalogue, subject packages, the repair package address,
// feedback, error reports, install statistics and version checks. It records
// every request and lets a test change the reply of any path.
//
//   LocalWebService service;
//   QVERIFY(service.listen());
//   qputenv("VELMORA_SERVICE_HOST", service.host().toUtf8());
//   service.setStatus("/other/feedback.php", 500);
//   ... QTRY_COMPARE(service.requests("/other/feedback.php").size(), 1);
class LocalWebService : public QObject
{
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QString path;        // percent-escapes decoded
        QByteArray rawQuery; // as sent, without "?"
        // Decoded as a form is (PHP's $_GET): "+" is a space, then
        // percent-escapes as UTF-8; in the order sent.
        QList<QPair<QString, QString>> query;
        QList<QPair<QByteArray, QByteArray>> headers;

        QStringList queryNames() const;
        // The first value of the name; null when it was not sent.
        QString queryValue(const QString &name) const;
        // Case-insensitive; null when it was not sent.
        QByteArray header(const QByteArray &name) const;
    };

    explicit LocalWebService(QObject *parent = nullptr);
    ~LocalWebService() override;

    // 127.0.0.1 on the port, 0 for a free one.
    bool listen(quint16 port = 0);
    quint16 port() const;
    QString host() const;    // "127.0.0.1:PORT"
    QString baseUrl() const; // "http://127.0.0.1:PORT"

    // Lists the zip in the catalogue as "/pkg/install_<name>.zip" for the
    // subject subjectName and serves it (read when asked) under the address
    // a client fetches: that one with every "install_" made "installnew_".
    // A repair address request with dir1 and dir2 is answered with its link.
    void addPackage(const QString &name, const QString &zipPath, const QString &subjectName,
                    const QString &dir1 = QString(), const QString &dir2 = QString());
    // The address the catalogue lists ("install_") and the one that serves.
    QString catalogueLink(const QString &name) const;
    QString packageUrl(const QString &name) const;

    // Changes of one path's reply, kept until reset(); any query matches.
    void setStatus(const QString &path, int status);
    void setBody(const QString &path, const QByteArray &body);
    // Waits this long before replying.
    void setDelay(const QString &path, int milliseconds);
    // Sends the head (with the full Content-Length) and this many body bytes,
    // then closes the connection.
    void setCloseAfter(const QString &path, qint64 bodyBytes);
    // 302 to the location, with a small HTML body.
    void setRedirect(const QString &path, const QString &location);
    // Drops every change and the request log.
    void reset();

    QList<Request> requests() const;
    QList<Request> requests(const QString &path) const;

signals:
    // A request was recorded (before its reply goes out).
    void requestReceived(const QString &path);

private:
    struct Reply {
        int status = 200;
        QByteArray contentType = "application/json; charset=utf-8";
        QByteArray body;
        QByteArray location;
    };
    struct Change {
        std::optional<int> status;
        std::optional<QByteArray> body;
        QByteArray location;
        int delayMs = 0;
        qint64 closeAfter = -1;
    };
    struct Package {
        QString name;
        QString zipPath;
        QString subjectName;
        QString dir1;
        QString dir2;
    };

    void acceptConnections();
    void readRequest(QTcpSocket *socket);
    static bool parseHead(const QByteArray &head, Request &request);
    Reply defaultReply(const Request &request) const;
    // The package's link for a repair address request; empty when no
    // package has its dir1 and dir2.
    QString repairLink(const Request &request) const;
    static QString servedPath(const QString &name);
    QByteArray catalogue() const;
    void respond(QTcpSocket *socket, const Request &request);
    static void write(QTcpSocket *socket, const Reply &reply, qint64 closeAfter);

    QTcpServer *server;
    QList<Package> packages;
    QHash<QString, Change> changes;
    QList<Request> log;
};
