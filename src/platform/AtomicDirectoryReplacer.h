#pragma once

#include "install/InstallerLayers.h"

// Swaps a staged directory into place in one step (Linux renameat2 with
// RENAME_EXCHANGE, macOS renamex_np with RENAME_SWAP), so the destination
// holds either the whole old item or the whole new one at every instant; the
// old copy is left at the staged path. The parent directory is flushed to disk
// after the swap.
class AtomicDirectoryReplacer : public DirectoryReplacer
{
public:
    bool exchange(const QString &destination, const QString &staged) const override;
};
