#include "MeteredDownloads.h"

#include "install/AppInstaller.h"
#include "system/SystemLayers.h"

#include <QLocale>
#include <QPointer>

MeteredDownloads::MeteredDownloads(std::shared_ptr<const NetworkCost> cost, std::shared_ptr<AppInstalling> installer, QObject *parent)
    : QObject(parent), m_cost(std::move(cost)), m_installer(std::move(installer))
{
}

std::optional<bool> MeteredDownloads::isMetered() const
{
    return m_cost ? m_cost->isMetered() : std::nullopt;
}

QCoro::Task<std::optional<qint64>> MeteredDownloads::downloadSize(QList<AppManifestItem> apps) const
{
    qint64 total = 0;
    const std::shared_ptr<AppInstalling> installer = m_installer;  // the store may go meanwhile
    for (const AppManifestItem &app : apps) {
        if (!installer)
            co_return std::nullopt;
        const std::optional<qint64> size = co_await installer->downloadSize(app);
        if (!size)
            co_return std::nullopt;
        total += *size;
    }
    co_return total;
}

QCoro::Task<void> MeteredDownloads::guard(QList<AppManifestItem> apps, Batch batch, std::function<void()> start)
{
    if (apps.isEmpty() || isMetered() != true) {
        start();
        co_return;
    }
    QPointer<MeteredDownloads> self(this);
    const std::optional<qint64> bytes = co_await downloadSize(apps);
    if (!self)
        co_return;
    // Starter apps of unknown size ask too: they may be anything.
    if (batch == Batch::installs && bytes && *bytes <= installsAskAbove) {
        start();
        co_return;
    }
    m_question = Question{sentence(batch, int(apps.size()), bytes), bytes, int(apps.size()), std::move(start)};
    Q_EMIT questionChanged();
}

QString MeteredDownloads::sentence(Batch batch, int count, std::optional<qint64> bytes)
{
    const QString size = bytes ? QLocale().formattedDataSize(*bytes, 1, QLocale::DataSizeSIFormat) : qtTrId("meteredSizeUnknown");
    return qtTrId(batch == Batch::updates ? "meteredUpdatesQuestion" : "meteredInstallsQuestion", count).arg(size);
}

void MeteredDownloads::downloadAnyway()
{
    if (std::optional<Question> question = std::exchange(m_question, std::nullopt)) {
        Q_EMIT questionChanged();
        question->start();
    }
}

void MeteredDownloads::notNow()
{
    if (std::exchange(m_question, std::nullopt))
        Q_EMIT questionChanged();
}

QVariant MeteredDownloads::question() const
{
    if (!m_question)
        return {};
    return QVariantMap{{QStringLiteral("text"), m_question->text},
                       {QStringLiteral("bytes"), m_question->bytes.value_or(-1)},
                       {QStringLiteral("count"), m_question->count}};
}
