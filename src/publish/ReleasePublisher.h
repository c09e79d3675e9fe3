#pragma once

#include "FileList.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <stdexcept>

class PublishError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The maker's side of a release: an app folder into its archive and the file
// list beside it, and the catalog fields that name both.
namespace ReleasePublisher {

struct Release {
    QString archivePath;
    QString listPath;    // archivePath + ".files"
    QByteArray archiveSha256;
    QByteArray listSha256;
    FileList list;
};

// Writes archiveName in outputDir: appFolder (its own name the archive's top
// folder) with its folders, files (permission bits kept) and links (which
// must stay inside it), in byte order of their paths; then the list. Both
// are written under temporary names and renamed, so a half-written release
// never stands under its name. Throws PublishError.
Release publish(const QString &appFolder, const QString &outputDir, const QString &archiveName);

// "downloadUrl", "sha256", "fileListUrl" and "fileListSha256" of the release,
// its files named below baseUrl.
QJsonObject catalogFields(const Release &release, const QUrl &baseUrl);

// The share of installed copies a release is offered to as an update, from
// the maker's text: a whole number from 0 (halted) to 100. Throws PublishError.
int rolloutPercent(const QString &text);

// The catalog document with the fields set on the app record appId, every
// other key kept. Throws PublishError when the document holds no such app.
QByteArray updateCatalog(const QByteArray &catalog, const QString &appId, const QJsonObject &fields);

}  // namespace ReleasePublisher
