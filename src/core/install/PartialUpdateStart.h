#pragma once

#include "PartialUpdate.h"

#include <QCoroTask>
#include <QString>
#include <functional>
#include <optional>

// Whether an install builds the release from the installed copy
// (PartialUpdate) instead of taking the whole archive, and the start of it.
// When one that was tried falls back, why goes to the log and onWholeArchive
// hears it.
namespace PartialUpdateStart {

struct Request {
    AppManifestItem app;
    QString installRoot;
    // A repair, or the caller asked for the whole archive.
    bool wholeArchiveAsked = false;
    // Where the file list is kept; none: no partial update.
    bool listsKept = false;
    // Whether measuring the archive found the server answers range requests.
    std::optional<bool> servesRanges;
    std::function<void()> onWholeArchive;
};

// The record offers a file list over an allowed remote, a copy is
// installed, and the server was not found to ignore ranges.
QCoro::Task<bool> worthTrying(Request request);

// Assembles into work.extracted, which it makes; a tree it cannot finish is
// cleared, its checksums dropped. Throws AppInstallerError(cancelled) and
// PlatformError(fileSystem).
QCoro::Task<PartialUpdate::Outcome> assemble(PartialUpdate::Work work, std::function<void()> onWholeArchive);

}  // namespace PartialUpdateStart
