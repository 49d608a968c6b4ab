#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// Addresses of the web service. Every request of the program is a GET to one
// host with its values in the query string; this is the one place that knows
// the host, the access key and how a query is written.
//
//   const QUrl url = ServiceUrl::url(QStringLiteral("/other/feedback.php"),
//       ServiceUrl::query(QStringLiteral("key=%1&source=%2"),
//                         {ServiceUrl::key(QStringLiteral("client")), QStringLiteral("client")}));
class ServiceUrl
{
public:
    // "host[:port]": the environment variable VELMORA_SERVICE_HOST when it is
    // set, else the build's default. Read afresh at every call.
    static QString host();
    // 16 letters and digits shared with the service; only ever hashed.
    static QString accessKey();
    // Lower-case hexadecimal MD5 of the text's Latin-1 bytes; a character
    // outside Latin-1 counts as "?".
    static QString md5Hex(const QString &text);
    // md5Hex of the access key followed by the material: a request's "key".
    static QString key(const QString &material);
    // Fills the placeholders %1 to %99 of a template such as
    // "key=%1&source=%2" with the values, each percent-encoded, in one pass:
    // "&", "=", "+", "#" or "%2" typed into a value stay that value's own.
    // A placeholder without a value stays as written.
    static QString query(const QString &queryTemplate, const QStringList &values);
    // "http://" + host() + path, then "?" + query unless it is empty, in its
    // fully encoded form.
    static QUrl url(const QString &path, const QString &query = QString());
};
