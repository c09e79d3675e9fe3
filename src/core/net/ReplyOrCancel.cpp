#include "ReplyOrCancel.h"

#include <QCoroNetworkReply>
#include <QNetworkReply>
#include <QTimer>

namespace {

constexpr int cancelPollMs = 50;

}  // namespace

QCoro::Task<bool> replyOrCancel(QNetworkReply *reply, std::shared_ptr<const std::atomic_bool> cancel)
{
    bool cancelled = false;
    QTimer watch;
    if (cancel) {
        QObject::connect(&watch, &QTimer::timeout, reply, [reply, cancel, &cancelled] {
            if (cancel->load() && !cancelled) {
                cancelled = true;
                reply->abort();
            }
        });
        watch.start(cancelPollMs);
    }
    co_await reply;
    watch.stop();
    co_return cancelled || (cancel && cancel->load());
}
