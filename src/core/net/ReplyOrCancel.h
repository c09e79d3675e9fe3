#pragma once

#include <QCoroTask>

#include <atomic>
#include <memory>

class QNetworkReply;

// Waits until reply has finished. A set cancel flag aborts it meanwhile, even
// when no data arrives, so a stalled transfer stops at once too: the flag has
// no signal, so it is looked at every few milliseconds. True when cancelled.
// alsoStop, when given, is a second flag watched the same way.
QCoro::Task<bool> replyOrCancel(QNetworkReply *reply, std::shared_ptr<const std::atomic_bool> cancel,
                                std::shared_ptr<const std::atomic_bool> alsoStop = {});
