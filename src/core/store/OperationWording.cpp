#include "OperationWording.h"

#include "CatalogExpiry.h"
#include "errors/LauncherError.h"
#include "install/AppInstallerError.h"

namespace OperationWording {

QString refusalText(Refusal refusal, const QDateTime &catalogExpiresAt)
{
    if (refusal == Refusal::catalogExpired)
        return CatalogExpiry::line(catalogExpiresAt);
    return qtTrId(RefusalText::key(refusal));
}

QString errorLine(const AppOperation &operation, const QDateTime &catalogExpiresAt)
{
    if (!operation.outcome())
        return {};
    const OperationOutcome &outcome = *operation.outcome();
    const QString &name = operation.app().name;
    const AppOperation::Kind kind = operation.kind();
    if (outcome.kind == OperationOutcome::Kind::refused) {
        const char *id = kind == AppOperation::Kind::remove ? "errorCannotRemove"
            : kind == AppOperation::Kind::rollBack          ? "errorCannotRollBack"
            : kind == AppOperation::Kind::repair            ? "errorCannotRepair"
            : kind == AppOperation::Kind::verify            ? "errorCannotVerify"
                                                            : "errorCannotInstall";
        // An expired catalog is the user's to put right: the line says how.
        if (outcome.refusal == Refusal::catalogExpired)
            return qtTrId(id).arg(name) + QLatin1Char(' ') + refusalText(Refusal::catalogExpired, catalogExpiresAt);
        return qtTrId(id).arg(name);
    }
    if (outcome.kind != OperationOutcome::Kind::failed)
        return {};
    if (kind == AppOperation::Kind::open)
        return outcome.reason;
    const char *id = kind == AppOperation::Kind::remove ? "errorRemoveFailed"
        : kind == AppOperation::Kind::rollBack          ? "errorRollBackFailed"
        : kind == AppOperation::Kind::repair            ? "errorRepairFailed"
        : kind == AppOperation::Kind::verify            ? "errorVerifyFailed"
                                                        : "errorInstallFailed";
    return qtTrId(id).arg(name, outcome.reason);
}

QString reasonText(const AppOperation &operation, const QDateTime &catalogExpiresAt)
{
    if (!operation.outcome())
        return {};
    const OperationOutcome &outcome = *operation.outcome();
    switch (outcome.kind) {
    case OperationOutcome::Kind::done:
        return {};
    case OperationOutcome::Kind::failed:
        return outcome.reason;
    case OperationOutcome::Kind::cancelled:
        return AppInstallerError(AppInstallerError::Kind::cancelled).localizedDescription();
    case OperationOutcome::Kind::refused:
        break;
    }
    if (outcome.refusal == Refusal::noUpdate || outcome.refusal == Refusal::unknownApp)
        return qtTrId("updateNotAvailable");
    if (outcome.refusal == Refusal::held)
        return qtTrId(RefusalText::key(Refusal::held));
    return errorLine(operation, catalogExpiresAt);
}

QString describe(const std::exception_ptr &failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const LauncherError &error) {
        return error.localizedDescription();
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error.");
    }
}

}  // namespace OperationWording
