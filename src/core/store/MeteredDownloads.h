#pragma once

#include "catalog/Models.h"

#include <QCoroTask>
#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

class AppInstalling;
class NetworkCost;

// Large downloads on a metered connection ask first, naming the size: an
// Update all always, installs the user did not start one by one (the
// starter apps) above 50 MB. A single install from the app page never asks,
// and where the system cannot tell whether the connection is metered,
// nothing asks. Published to the views as `store.metered`.
class MeteredDownloads : public QObject
{
    Q_OBJECT
    // The question shown, or null: {text, bytes (-1: unknown), count}.
    Q_PROPERTY(QVariant question READ question NOTIFY questionChanged)

public:
    enum class Batch { updates, installs };
    static constexpr qint64 installsAskAbove = 50'000'000;

    MeteredDownloads(std::shared_ptr<const NetworkCost> cost, std::shared_ptr<AppInstalling> installer, QObject *parent = nullptr);

    // nullopt: the system cannot tell.
    std::optional<bool> isMetered() const;
    // The archives' sizes together; nullopt when one is unknown.
    QCoro::Task<std::optional<qint64>> downloadSize(QList<AppManifestItem> apps) const;
    // Runs start at once unless the connection is metered and the batch
    // worth a question; then start waits for the answer.
    QCoro::Task<void> guard(QList<AppManifestItem> apps, Batch batch, std::function<void()> start);
    // The question's sentence: "Updating 3 apps downloads 312 MB on a metered connection."
    static QString sentence(Batch batch, int count, std::optional<qint64> bytes);

    // The question shown, or null (see the property).
    QVariant question() const;
    Q_INVOKABLE void downloadAnyway();
    Q_INVOKABLE void notNow();

Q_SIGNALS:
    void questionChanged();

private:
    struct Question {
        QString text;
        std::optional<qint64> bytes;
        int count = 0;
        std::function<void()> start;
    };

    std::shared_ptr<const NetworkCost> m_cost;
    std::shared_ptr<AppInstalling> m_installer;
    std::optional<Question> m_question;  // one at a time: a newer one replaces it
};
