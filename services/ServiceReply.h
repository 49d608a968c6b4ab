#pragma once

#include <QByteArray>
#include <QString>

class QNetworkReply;

// Reading the web service's replies.
class ServiceReply
{
public:
    // A reply of the feedback and error-report requests: an object literal
    // with a numeric `status` and a `msg`.
    struct Answer {
        bool valid = false; // false: no object with a usable status
        int status = 0;
        QString msg;
    };

    // Whether the request was taken: no network error and an HTTP 2xx status
    // (a redirect is not followed, so it is no answer either).
    static bool succeeded(const QNetworkReply *reply);
    // The whole body read, cut at its first NUL byte.
    static QByteArray body(QNetworkReply *reply);
    // The same decoded as UTF-8.
    static QString bodyText(QNetworkReply *reply);

    // Reads a non-empty reply text. JSON is read directly; anything else is
    // evaluated as script ("value=" + text) under a time limit, running the
    // event loop meanwhile, so callers must expect to be deleted or called
    // again before it returns. A status must be a finite number, or text
    // holding one, that fits an int once truncated toward zero; a missing
    // msg reads "undefined".
    static Answer read(const QString &text);

    // How long a script reply may run before it counts as no answer.
    static constexpr int scriptTimeLimitMs = 2000;
};
