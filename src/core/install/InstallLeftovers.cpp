#include "InstallLeftovers.h"

#include "InstallLocks.h"
#include "InstallReceipt.h"

#include <QDir>

namespace InstallLeftovers {

int remove(const QString &installRoot, const QString &tempDir)
{
    int removed = InstallLocks::removeDeadWorkDirectories(tempDir.isEmpty() ? QDir::tempPath() : tempDir);
    if (!installRoot.isEmpty()) {
        removed += InstallLocks::removeDeadStaged(installRoot);
        removed += InstallLocks::removeDeadLockFiles(installRoot);
        removed += InstallReceipt::removeDeadTrees(installRoot);
    }
    return removed;
}

}  // namespace InstallLeftovers
