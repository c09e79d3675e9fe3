#include "ReplyOrCancel.h"

#include <QCoroNetworkReply>
#include <QNetworkReply>
#include <QTimer>

namespace {

constexpr int cancelPollMs = 50;

}  // namespace

QCoro::Task<bool> replyOrCancel(QNetworkReply *reply, std::shared_ptr<const std::atomic_bool> cancel,
                                std::shared_ptr<const std::atomic_bool> alsoStop)
{
    bool cancelled = false;
    QTimer watch;
    const auto stopped = [cancel, alsoStop] { return (cancel && cancel->load()) || (alsoStop && alsoStop->load()); };
    if (cancel || alsoStop) {
        QObject::connect(&watch, &QTimer::timeout, reply, [reply, stopped, &cancelled] {
            if (stopped() && !cancelled) {
                cancelled = true;
                reply->abort();
            }
        });
        watch.start(cancelPollMs);
    }
    co_await reply;
    watch.stop();
    co_return cancelled || stopped();
}
