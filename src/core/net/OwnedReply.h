#pragma once

#include <QNetworkReply>

#include <memory>

// A reply owned by the coroutine that asked for it. When the owner goes, the
// reply stops calling into it (its signals are disconnected: the handlers
// hold the owner's locals), stops if it still runs and is deleted by its
// thread's event loop, where Qt may still be delivering to it.
struct ReplyDisposal {
    void operator()(QNetworkReply *reply) const
    {
        if (!reply)
            return;
        reply->disconnect();
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
};
using OwnedReply = std::unique_ptr<QNetworkReply, ReplyDisposal>;
