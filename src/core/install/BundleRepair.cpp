#include "BundleRepair.h"

#include "HeldFolder.h"
#include "InstallReceipt.h"
#include "errors/LauncherError.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace BundleRepair {

int restorePermissions(const QString &bundlePath, const QString &appId)
{
    const HeldFolder bundle(bundlePath);
    const InstallReceipt::TreeReceipt receipt = InstallReceipt::treeReceipt(bundlePath, appId);
    if (receipt.state != InstallReceipt::TreeReceipt::State::described) {
        throw PlatformError(PlatformError::Domain::fileSystem,
                            QStringLiteral("The install receipt of \"%1\" cannot be read.").arg(QFileInfo(bundlePath).fileName()), EINVAL);
    }
    int changed = 0;
    // Folders come before what they hold, so a folder opened again lets its entries be reached.
    for (const BundleEntry &entry : receipt.tree.entries) {
        if (entry.type == BundleEntry::Type::link)
            continue;
        const UniqueFd parent = bundle.openFolder(HeldFolder::parentOf(entry.path));
        const QByteArray name = HeldFolder::nameOf(entry.path);
        struct stat st {};
        if (!parent.isValid() || ::fstatat(parent.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // missing: the content repair's part
        const bool sameType = entry.type == BundleEntry::Type::directory ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
        if (!sameType || int(st.st_mode & 0777) == entry.mode)
            continue;
        // Never through a link, even one put there since the check above.
        if (::fchmodat(parent.get(), name.constData(), mode_t(entry.mode), AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            throw PlatformError(PlatformError::Domain::fileSystem,
                                QStringLiteral("Could not change \"%1\": %2")
                                    .arg(QFile::decodeName(name), QString::fromLocal8Bit(std::strerror(error))),
                                error);
        }
        ++changed;
    }
    return changed;
}

}  // namespace BundleRepair
