#pragma once

#include <QNetworkReply>
#include <QPointer>
#include <coroutine>
#include <memory>
#include <utility>

// `co_await ReplyEnd(reply)` resumes once the reply has finished, and also
// once it is destroyed unanswered, which happens when its network session
// goes first (at quit). A plain co_await on the reply waits only for
// `finished`, so a reply its session took away left the coroutine suspended,
// its frame and everything it held never freed. Yields false in that case.
class ReplyEnd
{
public:
    explicit ReplyEnd(QNetworkReply *reply) : m_reply(reply) {}

    bool await_ready() const noexcept { return !m_reply || m_reply->isFinished(); }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        auto pending = std::make_shared<std::coroutine_handle<>>(waiting);
        const auto resumeOnce = [pending] {
            if (const std::coroutine_handle<> handle = std::exchange(*pending, {}))
                handle.resume();
        };
        QObject::connect(m_reply, &QNetworkReply::finished, resumeOnce);
        QObject::connect(m_reply, &QObject::destroyed, resumeOnce);
    }
    bool await_resume() const noexcept { return !m_reply.isNull(); }

private:
    QPointer<QNetworkReply> m_reply;
};
