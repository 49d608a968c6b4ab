#include "ServiceReply.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QScriptEngine>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

// Runs in the reply's engine, so getters and toString of the reply's own
// objects stay under the time limit too.
const char readerScript[] =
    "(function (v) {\n"
    "  var s = (v === null || v === undefined) ? undefined : v.status;\n"
    "  var m = (v === null || v === undefined) ? undefined : v.msg;\n"
    "  var numeric = typeof s === 'number' || (typeof s === 'string' && /\\S/.test(s));\n"
    "  return { status: numeric ? Number(s) : NaN, msg: String(m) };\n"
    "})(value)";

bool statusFromNumber(double number, int &status)
{
    if (!std::isfinite(number))
        return false;
    const double whole = std::trunc(number);
    if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max())
        return false;
    status = static_cast<int>(whole);
    return true;
}

ServiceReply::Answer answerOf(double status, const QString &msg)
{
    ServiceReply::Answer answer;
    answer.valid = statusFromNumber(status, answer.status);
    answer.msg = msg;
    return answer;
}

// The common reply, a JSON object with a numeric status and a text msg (or
// none); anything else is left to the script rules.
bool readPlainJson(const QString &text, ServiceReply::Answer &answer)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    const QJsonValue status = object.value(QLatin1String("status"));
    const QJsonValue msg = object.value(QLatin1String("msg"));
    if (!status.isDouble() || !(msg.isString() || msg.isUndefined()))
        return false;
    answer = answerOf(status.toDouble(),
                      msg.isUndefined() ? QStringLiteral("undefined") : msg.toString());
    return true;
}

ServiceReply::Answer readScript(const QString &text)
{
    QScriptEngine engine;
    // The engine cannot see a runaway loop itself; events let the timer end it.
    engine.setProcessEventsInterval(50);
    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&engine, &timedOut] {
        timedOut = true;
        engine.abortEvaluation();
    });
    limit.start(ServiceReply::scriptTimeLimitMs);

    engine.evaluate(QStringLiteral("value=") + text, QString(), 1);
    QScriptValue fields;
    if (!timedOut && !engine.hasUncaughtException())
        fields = engine.evaluate(QString::fromLatin1(readerScript));
    if (timedOut || engine.hasUncaughtException() || !fields.isObject())
        return ServiceReply::Answer();
    return answerOf(fields.property(QStringLiteral("status")).toNumber(),
                    fields.property(QStringLiteral("msg")).toString());
}

} // namespace

bool ServiceReply::succeeded(const QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
}

QByteArray ServiceReply::body(QNetworkReply *reply)
{
    QByteArray bytes = reply->readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return bytes;
}

QString ServiceReply::bodyText(QNetworkReply *reply)
{
    return QString::fromUtf8(body(reply));
}

ServiceReply::Answer ServiceReply::read(const QString &text)
{
    Answer answer;
    if (readPlainJson(text, answer))
        return answer;
    return readScript(text);
}
