#include "CliCommand.h"

#include "SystemLanguage.h"
#include "i18n/VantrelTranslator.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

const QCommandLineOption &helpOption()
{
    static const QCommandLineOption option({QStringLiteral("h"), QStringLiteral("help")},
                                           QStringLiteral("Shows this help."));
    return option;
}

const QCommandLineOption &langOption()
{
    static const QCommandLineOption option(QStringLiteral("lang"),
                                           QStringLiteral("Language of the texts and of the catalog: en, pl or de."),
                                           QStringLiteral("en|pl|de"));
    return option;
}

void setUp(QCommandLineParser &parser, const CliCommand &command)
{
    if (!command.literalArguments)
        parser.addOption(helpOption());
    if (command.takesLanguage)
        parser.addOption(langOption());
    parser.addOptions(command.options);
    for (const CliArgument &argument : command.arguments)
        parser.addPositionalArgument(argument.name, argument.description);
}

}  // namespace

const CliCommand *CliRegistry::find(const QString &name) const
{
    for (const CliCommand &command : m_commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

bool CliInvocation::isSet(const QString &option) const
{
    return parser.isSet(option);
}

int CliInvocation::usageError(const QString &problem) const
{
    return Cli::usageError(command, problem);
}

namespace Cli {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int run(const CliCommand &command, const QStringList &args)
{
    QCommandLineParser parser;
    setUp(parser, command);
    QStringList argv{QStringLiteral("vantrel")};
    if (command.literalArguments)
        argv << QStringLiteral("--");
    if (!parser.parse(argv + args))
        return usageError(command, printable(parser.errorText()));
    if (!command.literalArguments && parser.isSet(helpOption())) {
        out() << helpText(command);
        out().flush();
        return CliExit::ok;
    }
    CliInvocation invocation{command, parser, parser.positionalArguments()};
    invocation.locale = VantrelLocaleUtil::normalized(SystemLanguage().preferredLanguage());
    // The texts speak the system's language, then the chosen one, from the window's translation files.
    VantrelTranslator translator(invocation.locale);
    if (command.takesLanguage && parser.isSet(langOption())) {
        const QString code = parser.value(langOption());
        const auto locale = VantrelLocaleUtil::fromRawValue(code);
        if (!locale)
            return usageError(command, qtTrId("cliUnknownLanguage").arg(printable(code)));
        invocation.locale = *locale;
        translator.setLocale(*locale);
    }
    return command.run(invocation);
}

QString helpText(const CliCommand &command)
{
    QCommandLineParser parser;
    setUp(parser, command);
    // Qt's first line names the program's path; ours names the command.
    const QString details = parser.helpText().section(QLatin1Char('\n'), 1);
    return QStringLiteral("usage: vantrel ") + command.usage + QLatin1Char('\n') + command.summary + QLatin1Char('\n')
        + details;
}

int usageError(const CliCommand &command, const QString &problem)
{
    if (!problem.isEmpty())
        err() << "vantrel " << command.name << ": " << problem << Qt::endl;
    err() << "usage: vantrel " << command.usage << Qt::endl;
    return CliExit::usage;
}

QString printable(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            result += c;
    }
    return result;
}

}  // namespace Cli
