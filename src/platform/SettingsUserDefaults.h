#pragma once

#include "system/SystemLayers.h"

#include <QSettings>
#include <memory>

// UserDefaults over QSettings. Data blobs are stored as QByteArray values and
// string arrays as settings arrays (a size and one entry per element), because
// a plain QStringList of one element or none does not survive an INI round trip
// with its type. A corrupted file reads as empty and is copied aside
// ("<file>.corrupt") before anything is written over it.
//
// Several processes (the window, the terminal tool, a second login) share the
// file. change() holds a lock file beside it ("<file>.vantrel-lock"; QSettings
// keeps its own "<file>.lock" for the write itself), so a read-change-write
// of one key never overwrites what another process wrote in between.
class SettingsUserDefaults : public UserDefaults
{
public:
    // The application's own settings: QSettings("Vantrel", "VantrelLauncher"),
    // on Linux ~/.config/Vantrel/VantrelLauncher.conf.
    SettingsUserDefaults();
    // An INI file at path (tests, tools).
    explicit SettingsUserDefaults(const QString &iniFilePath);
    ~SettingsUserDefaults() override;

    QString fileName() const;

    QVariant object(const QString &key) const override;
    void setData(const QString &key, const QByteArray &data) override;
    void setStringArray(const QString &key, const QStringList &values) override;
    void removeObject(const QString &key) override;
    void change(const std::function<void(UserDefaults &)> &step) override;
    QString storagePath() const override { return fileName(); }

    // A holder older than this is taken for hung; a dead holder is noticed at once.
    static constexpr int staleLockMs = 10000;

private:
    void preserveCorruptedFile();
    void write();

    std::unique_ptr<QSettings> m_settings;
    bool m_corruptionChecked = false;
};
