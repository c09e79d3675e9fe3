// `vantrel complete [WORD...]`: what a shell may offer after `vantrel WORD...`,
// one candidate a line: the commands, a command's options, the languages after
// --lang, and app ids from the catalog the last refresh kept (no network).
// The bash completion the package installs asks it, so what it offers is
// always the tool's own.

#include "CliCommand.h"
#include "codec/EnumNames.h"

#include "DefaultCollaborators.h"
#include "catalog/ManifestClient.h"
#include "catalog/ManifestPolicy.h"

#include <QNetworkAccessManager>

namespace {

QStringList commandNames(const CliRegistry &registry)
{
    QStringList names;
    for (const CliCommand &command : registry.commands())
        names << command.name;
    return names << QStringLiteral("help");
}

// Every app the catalog kept on disk lists, beta ones included.
QStringList storedAppIds()
{
    QNetworkAccessManager session;
    const LauncherStore::Collaborators c = defaultCollaborators(&session);
    const std::optional<StoredCatalog> stored = c.manifestLoader ? c.manifestLoader->storedManifest() : std::nullopt;
    QStringList ids;
    for (const AppManifestItem &app : ManifestPolicy::visibleApps(stored ? stored->manifest : SeedManifest::manifest(), true))
        ids << app.id;
    return ids;
}

QStringList candidates(const CliRegistry &registry, const QStringList &words)
{
    if (words.isEmpty())
        return commandNames(registry) << QStringLiteral("--help") << QStringLiteral("--version");
    if (words.first() == QLatin1String("help"))
        return words.size() == 1 ? commandNames(registry) : QStringList();
    const CliCommand *command = registry.find(words.first());
    if (!command)
        return {};
    const QString previous = words.last();
    if (command->takesLanguage && previous == QLatin1String("--lang")) {
        QStringList languages;
        for (const VantrelLocale locale : EnumNames::allCases<VantrelLocale>())
            languages << EnumNames::name(locale);
        return languages;
    }
    QStringList offered;
    for (const CliOption &option : command->options) {
        if (previous == QLatin1String("--") + option.name && !option.valueName.isEmpty())
            return {};  // a value of the caller's own
        offered << QStringLiteral("--") + option.name;
    }
    if (!command->literalArguments)
        offered << QStringLiteral("--help");
    if (command->takesLanguage)
        offered << QStringLiteral("--lang");
    for (const CliArgument &argument : command->arguments) {
        if (argument.name.startsWith(QLatin1String("ID")))
            return offered + storedAppIds();
    }
    return offered;
}

}  // namespace

void registerCompletionCommand(CliRegistry &registry)
{
    registry.add({
        .name = QStringLiteral("complete"),
        .usage = QStringLiteral("complete [WORD...]"),
        .summaryId = QT_TRID_NOOP("cliCompleteSummary"),
        .arguments = {{QStringLiteral("WORD..."), QT_TRID_NOOP("cliCompleteWordsArgument")}},
        .literalArguments = true,
        .run = [&registry](const CliInvocation &call) {
            for (const QString &candidate : candidates(registry, call.positional))
                Cli::out() << candidate << "\n";
            Cli::out().flush();
            return CliExit::ok;
        },
    });
}
