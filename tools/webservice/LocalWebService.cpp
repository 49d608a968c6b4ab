#include "LocalWebService.h"

#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

const char headEnd[] = "\r\n\r\n";
const char cataloguePrefix[] = "/pkg/install_";

QString formDecoded(QByteArray text)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(text.replace('+', ' ')));
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QByteArray jsonBytes(const QJsonDocument &document)
{
    return document.toJson(QJsonDocument::Compact);
}

} // namespace

QStringList LocalWebService::Request::queryNames() const
{
    QStringList names;
    for (const auto &pair : query)
        names.append(pair.first);
    return names;
}

QString LocalWebService::Request::queryValue(const QString &name) const
{
    for (const auto &pair : query)
        if (pair.first == name)
            return pair.second;
    return QString();
}

QByteArray LocalWebService::Request::header(const QByteArray &name) const
{
    for (const auto &pair : headers)
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    return QByteArray();
}

LocalWebService::LocalWebService(QObject *parent)
    : QObject(parent)
    , server(new QTcpServer(this))
{
    connect(server, &QTcpServer::newConnection, this, &LocalWebService::acceptConnections);
}

LocalWebService::~LocalWebService() = default;

bool LocalWebService::listen(quint16 port)
{
    return server->listen(QHostAddress::LocalHost, port);
}

quint16 LocalWebService::port() const
{
    return server->serverPort();
}

QString LocalWebService::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

QString LocalWebService::baseUrl() const
{
    return QStringLiteral("http://") + host();
}

void LocalWebService::addPackage(const QString &name, const QString &zipPath,
                                 const QString &subjectName, const QString &dir1, const QString &dir2)
{
    packages.append({name, zipPath, subjectName, dir1, dir2});
}

QString LocalWebService::catalogueLink(const QString &name) const
{
    return baseUrl() + QLatin1String(cataloguePrefix) + name + QStringLiteral(".zip");
}

QString LocalWebService::packageUrl(const QString &name) const
{
    return baseUrl() + servedPath(name);
}

QString LocalWebService::servedPath(const QString &name)
{
    // The client rewrites every "install_" of the address, also those of the name.
    QString path = QLatin1String(cataloguePrefix) + name + QStringLiteral(".zip");
    return path.replace(QStringLiteral("install_"), QStringLiteral("installnew_"));
}

void LocalWebService::setStatus(const QString &path, int status)
{
    changes[path].status = status;
}

void LocalWebService::setBody(const QString &path, const QByteArray &body)
{
    changes[path].body = body;
}

void LocalWebService::setDelay(const QString &path, int milliseconds)
{
    changes[path].delayMs = milliseconds;
}

void LocalWebService::setCloseAfter(const QString &path, qint64 bodyBytes)
{
    changes[path].closeAfter = bodyBytes;
}

void LocalWebService::setRedirect(const QString &path, const QString &location)
{
    Change &change = changes[path];
    change.status = 302;
    change.location = location.toUtf8();
    change.body = "<html><body><a href=\"" + change.location + "\">moved</a></body></html>";
}

void LocalWebService::reset()
{
    changes.clear();
    log.clear();
}

QList<LocalWebService::Request> LocalWebService::requests() const
{
    return log;
}

QList<LocalWebService::Request> LocalWebService::requests(const QString &path) const
{
    QList<Request> matching;
    for (const Request &request : log)
        if (request.path == path)
            matching.append(request);
    return matching;
}

void LocalWebService::acceptConnections()
{
    while (QTcpSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LocalWebService::readRequest(QTcpSocket *socket)
{
    // One request per connection: the reply closes it.
    if (socket->property("answered").toBool())
        return;
    const QByteArray waiting = socket->peek(socket->bytesAvailable());
    const int end = waiting.indexOf(headEnd);
    if (end < 0)
        return;
    const QByteArray head = socket->read(end + int(sizeof headEnd) - 1);
    socket->setProperty("answered", true);

    Request request;
    if (!parseHead(head, request)) {
        socket->disconnectFromHost();
        return;
    }
    log.append(request);
    emit requestReceived(request.path);
    respond(socket, request);
}

bool LocalWebService::parseHead(const QByteArray &head, Request &request)
{
    const QList<QByteArray> lines = head.trimmed().split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() != 3)
        return false;
    request.method = requestLine.at(0);
    const QByteArray target = requestLine.at(1);
    const int question = target.indexOf('?');
    request.path = QUrl::fromPercentEncoding(target.left(question < 0 ? target.size() : question));
    request.rawQuery = question < 0 ? QByteArray() : target.mid(question + 1);
    for (const QByteArray &piece : request.rawQuery.split('&')) {
        if (piece.isEmpty())
            continue;
        const int equals = piece.indexOf('=');
        request.query.append({formDecoded(piece.left(equals < 0 ? piece.size() : equals)),
                              equals < 0 ? QString() : formDecoded(piece.mid(equals + 1))});
    }
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.append({lines.at(i).left(colon).trimmed(),
                                    lines.at(i).mid(colon + 1).trimmed()});
    }
    return true;
}

LocalWebService::Reply LocalWebService::defaultReply(const Request &request) const
{
    const QString &path = request.path;
    Reply reply;
    if (path == QLatin1String("/mobi/verData.php")) {
        reply.body = catalogue();
    } else if (path == QLatin1String("/mobi/verDb.php")) {
        reply.body = jsonBytes(QJsonDocument(QJsonObject{{QStringLiteral("downlink"), repairLink(request)}}));
    } else if (path == QLatin1String("/other/feedback.php")
               || path == QLatin1String("/other/conError.php")) {
        reply.body = jsonBytes(QJsonDocument(QJsonObject{{QStringLiteral("status"), 0},
                                                         {QStringLiteral("msg"),
                                                          QStringLiteral("提交成功")}}));
    } else if (path == QLatin1String("/client/clientInstallStats.php")) {
        reply.contentType = "text/plain";
        reply.body = "0";
    } else if (path.startsWith(QLatin1String("/client/ver")) && path.endsWith(QLatin1String(".php"))) {
        reply.contentType = "text/plain";
        reply.body = "1";
    } else {
        for (const Package &package : packages) {
            QFile zip(package.zipPath);
            if (path == servedPath(package.name) && zip.open(QIODevice::ReadOnly)) {
                reply.contentType = "application/zip";
                reply.body = zip.readAll();
                return reply;
            }
        }
        reply.status = 404;
        reply.contentType = "text/html";
        reply.body = "<html><body><h1>404 Not Found</h1></body></html>";
    }
    return reply;
}

QString LocalWebService::repairLink(const Request &request) const
{
    const QString dir1 = request.queryValue(QStringLiteral("dir1"));
    const QString dir2 = request.queryValue(QStringLiteral("dir2"));
    for (const Package &package : packages)
        if (package.dir1 == dir1 && package.dir2 == dir2)
            return catalogueLink(package.name);
    return QString();
}

QByteArray LocalWebService::catalogue() const
{
    QJsonArray subjects;
    for (const Package &package : packages)
        subjects.append(QJsonObject{{QStringLiteral("Subname"), package.subjectName},
                                    {QStringLiteral("downlink"), catalogueLink(package.name)}});
    const QJsonObject subGroup{{QStringLiteral("DQname"), QStringLiteral("临床执业医师")},
                               {QStringLiteral("subject"), subjects}};
    const QJsonObject group{{QStringLiteral("name"), QStringLiteral("医师资格")},
                            {QStringLiteral("address"), QJsonArray{subGroup}}};
    return jsonBytes(QJsonDocument(QJsonArray{group}));
}

void LocalWebService::respond(QTcpSocket *socket, const Request &request)
{
    Reply reply = defaultReply(request);
    const Change change = changes.value(request.path);
    reply.status = change.status.value_or(reply.status);
    reply.body = change.body.value_or(reply.body);
    reply.location = change.location;
    if (change.delayMs > 0) {
        // The socket as context: a client that gave up takes the timer with it.
        QTimer::singleShot(change.delayMs, socket, [socket, reply, change] {
            write(socket, reply, change.closeAfter);
        });
        return;
    }
    write(socket, reply, change.closeAfter);
}

void LocalWebService::write(QTcpSocket *socket, const Reply &reply, qint64 closeAfter)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' '
                      + reasonPhrase(reply.status) + "\r\nContent-Type: " + reply.contentType
                      + "\r\nContent-Length: " + QByteArray::number(reply.body.size());
    if (!reply.location.isEmpty())
        head += "\r\nLocation: " + reply.location;
    head += "\r\nConnection: close\r\n\r\n";
    socket->write(head);
    socket->write(closeAfter < 0 ? reply.body : reply.body.left(int(closeAfter)));
    socket->disconnectFromHost();
}
