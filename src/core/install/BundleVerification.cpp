#include "BundleVerification.h"

#include <QStringList>

#include <algorithm>

namespace {

// "%n files changed" and the like: one plural message a kind.
QString countText(VerificationFinding::Kind kind, int n)
{
    switch (kind) {
    case VerificationFinding::Kind::changed: return qtTrId("verifyChangedCount", n);
    case VerificationFinding::Kind::missing: return qtTrId("verifyMissingCount", n);
    case VerificationFinding::Kind::permissions: return qtTrId("verifyPermissionsCount", n);
    case VerificationFinding::Kind::linkChanged: return qtTrId("verifyLinkChangedCount", n);
    case VerificationFinding::Kind::linkLeadsOut: return qtTrId("verifyLinkLeadsOutCount", n);
    case VerificationFinding::Kind::extra: return qtTrId("verifyExtraCount", n);
    case VerificationFinding::Kind::desktopMissing: return qtTrId("verifyDesktopMissingCount", n);
    case VerificationFinding::Kind::desktopChanged: return qtTrId("verifyDesktopChangedCount", n);
    }
    return {};
}

}  // namespace

int BundleVerification::count(VerificationFinding::Kind kind) const
{
    return int(std::count_if(findings.cbegin(), findings.cend(), [kind](const VerificationFinding &f) { return f.kind == kind; }));
}

void BundleVerification::addFindings(const QList<VerificationFinding> &more)
{
    if (more.isEmpty() || (status != Status::intact && status != Status::damaged))
        return;
    findings.append(more);
    status = Status::damaged;
}

BundleVerification::Repair BundleVerification::repair() const
{
    switch (status) {
    case Status::intact:
    case Status::cancelled:
        return Repair::none;
    case Status::legacyReceipt:
    case Status::unreadableReceipt:
        return Repair::reinstall;
    case Status::damaged:
        break;
    }
    using Kind = VerificationFinding::Kind;
    const auto onlyOf = [this](std::initializer_list<Kind> kinds) {
        return std::all_of(findings.cbegin(), findings.cend(), [kinds](const VerificationFinding &f) {
            return std::find(kinds.begin(), kinds.end(), f.kind) != kinds.end();
        });
    };
    // A fresh copy writes the desktop's files too; so does a repair of the bits.
    const bool desktopOnly = count(Kind::desktopMissing) + count(Kind::desktopChanged) > 0
        && onlyOf({Kind::extra, Kind::desktopMissing, Kind::desktopChanged});
    if (desktopOnly)
        return Repair::desktop;
    if (onlyOf({Kind::permissions, Kind::extra, Kind::desktopMissing, Kind::desktopChanged}))
        return Repair::permissions;
    return Repair::reinstall;
}

QString BundleVerification::summary() const
{
    using Kind = VerificationFinding::Kind;
    switch (status) {
    case Status::legacyReceipt:
        return qtTrId("verifyLegacyReceipt");
    case Status::unreadableReceipt:
        return qtTrId("verifyUnreadableReceipt");
    case Status::cancelled:
        return qtTrId("verifyCancelled");
    case Status::intact:
    case Status::damaged:
        break;
    }
    QStringList parts;
    if (status == Status::intact)
        parts.append(qtTrId("verifyIntact"));
    // Damage first, extra entries last.
    for (const Kind kind : {Kind::changed, Kind::missing, Kind::permissions, Kind::linkChanged, Kind::linkLeadsOut,
                            Kind::desktopMissing, Kind::desktopChanged, Kind::extra}) {
        if (const int n = count(kind))
            parts.append(countText(kind, n));
    }
    return parts.join(QStringLiteral(", "));
}

QString BundleVerification::kindLabel(VerificationFinding::Kind kind)
{
    switch (kind) {
    case VerificationFinding::Kind::missing: return qtTrId("verifyFindingMissing");
    case VerificationFinding::Kind::changed: return qtTrId("verifyFindingChanged");
    case VerificationFinding::Kind::permissions: return qtTrId("verifyFindingPermissions");
    case VerificationFinding::Kind::linkChanged: return qtTrId("verifyFindingLinkChanged");
    case VerificationFinding::Kind::linkLeadsOut: return qtTrId("verifyFindingLinkLeadsOut");
    case VerificationFinding::Kind::extra: return qtTrId("verifyFindingExtra");
    case VerificationFinding::Kind::desktopMissing: return qtTrId("verifyFindingDesktopMissing");
    case VerificationFinding::Kind::desktopChanged: return qtTrId("verifyFindingDesktopChanged");
    }
    return {};
}
