#include "SettingsUserDefaults.h"

#include "PlatformLogging.h"
#include "faults/FaultPoint.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QThread>

namespace {
const QString sizeKey = QStringLiteral("size");
const QString valueKey = QStringLiteral("value");
}  // namespace

SettingsUserDefaults::SettingsUserDefaults()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Vantrel"), QStringLiteral("VantrelLauncher")))
{
}

SettingsUserDefaults::SettingsUserDefaults(const QString &iniFilePath)
    : m_settings(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat))
{
}

SettingsUserDefaults::~SettingsUserDefaults() = default;

QString SettingsUserDefaults::fileName() const
{
    return m_settings->fileName();
}

QVariant SettingsUserDefaults::object(const QString &key) const
{
    // Picks up what another process (the window, the command-line tool) wrote.
    m_settings->sync();
    if (m_settings->contains(key))
        return m_settings->value(key);
    const QString arraySize = key + QLatin1Char('/') + sizeKey;
    if (!m_settings->contains(arraySize))
        return {};
    bool ok = false;
    const int size = m_settings->value(arraySize).toString().toInt(&ok);
    if (!ok || size < 0)
        return QVariant(QStringLiteral("unreadable array"));  // some other type: not an array, not a blob
    QStringList values;
    values.reserve(size);
    const int read = m_settings->beginReadArray(key);
    for (int i = 0; i < read; ++i) {
        m_settings->setArrayIndex(i);
        const QVariant value = m_settings->value(valueKey);
        if (value.typeId() != QMetaType::QString) {
            m_settings->endArray();
            return QVariant(QStringLiteral("unreadable array"));
        }
        values.append(value.toString());
    }
    m_settings->endArray();
    return values;
}

void SettingsUserDefaults::setData(const QString &key, const QByteArray &data)
{
    preserveCorruptedFile();
    m_settings->remove(key);
    m_settings->setValue(key, data);
    write();
}

void SettingsUserDefaults::setStringArray(const QString &key, const QStringList &values)
{
    preserveCorruptedFile();
    m_settings->remove(key);
    m_settings->beginWriteArray(key, int(values.size()));
    for (int i = 0; i < values.size(); ++i) {
        m_settings->setArrayIndex(i);
        m_settings->setValue(valueKey, values.at(i));
    }
    m_settings->endArray();
    write();
}

void SettingsUserDefaults::removeObject(const QString &key)
{
    preserveCorruptedFile();
    m_settings->remove(key);
    write();
}

void SettingsUserDefaults::change(const std::function<void(UserDefaults &)> &step)
{
    const QString path = fileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QLockFile lock(path + QStringLiteral(".vantrel-lock"));
    lock.setStaleLockTime(staleLockMs);
    // Short, jittered retries: changes take milliseconds, and QLockFile's own
    // waiting doubles its pause up to seconds. tryLock also clears a stale lock.
    const QDeadlineTimer deadline(2 * staleLockMs);
    bool locked = lock.tryLock(0);
    while (!locked && !deadline.hasExpired()) {
        QThread::msleep(2 + QRandomGenerator::global()->bounded(8));
        locked = lock.tryLock(0);
    }
    if (!locked)
        qCWarning(lcPlatform) << "The settings lock could not be taken (" << lock.error() << "); changing without it";
    FaultPoint::reach("records-locked");
    // Reads inside step see what the other processes stored up to now.
    m_settings->sync();
    step(*this);
}

void SettingsUserDefaults::write()
{
    // Written at once so another process sees the records straight away.
    m_settings->sync();
}

void SettingsUserDefaults::preserveCorruptedFile()
{
    if (m_corruptionChecked)
        return;
    m_corruptionChecked = true;
    m_settings->sync();  // parses the file
    if (m_settings->status() != QSettings::FormatError)
        return;
    const QString path = m_settings->fileName();
    const QString aside = path + QStringLiteral(".corrupt");
    QFile::remove(aside);
    QFile::copy(path, aside);
}
