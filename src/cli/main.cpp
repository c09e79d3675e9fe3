#include "CliCommand.h"

#include <QCoreApplication>

namespace {

void printHelp(const CliRegistry &registry, QTextStream &stream)
{
    stream << "usage: vantrel COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const CliCommand &command : registry.commands())
        stream << "  vantrel " << command.usage << "\n      " << command.summary << "\n";
    stream.flush();
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrel"));

    CliRegistry registry;
    registerCatalogCommands(registry);
    registerStoreCommands(registry);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printHelp(registry, Cli::err());
        return CliExit::usage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        printHelp(registry, Cli::out());
        return CliExit::ok;
    }
    const CliCommand *command = registry.find(name);
    if (!command) {
        Cli::err() << "vantrel: unknown command \"" << Cli::printable(name) << "\"\n";
        printHelp(registry, Cli::err());
        return CliExit::usage;
    }
    const int status = command->run(args);
    Cli::out().flush();
    Cli::err().flush();
    return status;
}
