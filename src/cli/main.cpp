#include "CliCommand.h"

#include "SystemLanguage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

namespace {

void printHelp(const CliRegistry &registry, QTextStream &stream)
{
    stream << Cli::usageLine(QStringLiteral("vantrel [--version] COMMAND [ARGUMENTS]")) << "\n\n"
           << qtTrId("cliCommandsHeading") << "\n";
    for (const CliCommand &command : registry.commands())
        stream << "  vantrel " << command.usage << "\n      " << qtTrId(command.summaryId) << "\n";
    stream << "\n" << qtTrId("cliHelpHint").arg(QStringLiteral("vantrel help COMMAND")) << "\n";
    stream.flush();
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));
    // The terminal shows messages, not logs: the categories speak only when
    // asked (QT_LOGGING_RULES, or a rules file, overrides this).
    QLoggingCategory::setFilterRules(QStringLiteral("vantrel.*.warning=false"));
    // Every text speaks the system's language (the window's rule) unless a command's --lang says otherwise.
    VantrelTranslator translator(VantrelLocaleUtil::normalized(SystemLanguage().preferredLanguage()));

    CliRegistry registry;
    registerCatalogCommands(registry);
    registerStoreCommands(registry);
    registerVerifyCommand(registry);
    registerRepairCommand(registry);
    registerCompletionCommand(registry);

    // Everything from the command's name on belongs to the command.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(QCoreApplication::arguments())) {
        Cli::err() << "vantrel: " << Cli::parseProblem(parser) << "\n";
        printHelp(registry, Cli::err());
        return CliExit::usage;
    }
    QStringList args = parser.positionalArguments();
    if (parser.isSet(version)) {
        Cli::out() << "vantrel " << VANTREL_VERSION << "\n";
        Cli::out().flush();
        return CliExit::ok;
    }
    if (parser.isSet(help)) {
        printHelp(registry, Cli::out());
        return CliExit::ok;
    }
    if (args.isEmpty()) {
        printHelp(registry, Cli::err());
        return CliExit::usage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("help")) {
        const CliCommand *command = args.isEmpty() ? nullptr : registry.find(args.first());
        if (command)
            Cli::out() << Cli::helpText(*command);
        else
            printHelp(registry, Cli::out());
        Cli::out().flush();
        return CliExit::ok;
    }
    const CliCommand *command = registry.find(name);
    if (!command) {
        Cli::err() << "vantrel: " << qtTrId("cliUnknownCommand").arg(Cli::printable(name)) << "\n";
        printHelp(registry, Cli::err());
        return CliExit::usage;
    }
    const int status = Cli::run(*command, args, translator);
    Cli::out().flush();
    Cli::err().flush();
    return status;
}
