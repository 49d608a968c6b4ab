#pragma once

#include <QString>

#include <functional>
#include <utility>

// What the store needs of the web-service client to send its offline queue
// of feedback texts and question error reports. The client itself lives with
// the online services; the store only posts through this interface, which
// also lets the queue be tested without a network.
class OfflineReportClient
{
public:
    // Receives the service's status for one request; 0 means accepted.
    using ReplyHandler = std::function<void(int status)>;

    virtual ~OfflineReportClient() = default;

    // Both send asynchronously and return without waiting for the reply.
    virtual int submitFeedback(const QString &text, const QString &time) = 0;
    virtual int submitErrorReport(const QString &text, int conType, int queId,
                                  const QString &queText) = 0;

    // Set before a submit; called once, when that request's reply is in.
    void setReplyHandler(ReplyHandler handler) { replyHandler = std::move(handler); }

protected:
    // For implementations: the reply of the last submit arrived. The handler
    // is taken out first, so it may set the next one.
    void reportReply(int status)
    {
        const ReplyHandler handler = std::exchange(replyHandler, nullptr);
        if (handler)
            handler(status);
    }

private:
    ReplyHandler replyHandler;
};
