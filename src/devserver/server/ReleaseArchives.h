#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The folder of release archives the service serves.
class ReleaseArchives
{
public:
    explicit ReleaseArchives(QString directory) : m_directory(std::move(directory)) {}

    const QString &directory() const { return m_directory; }

    // A name the service will serve: a plain "*.zip" or "*.zip.files" file name, no path parts.
    static bool isServableName(const QString &name);
    // Path of a servable regular file in the folder, if there is one.
    std::optional<QString> pathFor(const QString &name) const;

    // SHA-256 (lower-case hex) of each named archive that exists, read in
    // blocks; names without a file are left out and listed in missing.
    QMap<QString, QString> checksums(const QStringList &names, QStringList *missing = nullptr) const;

private:
    QString m_directory;
};
