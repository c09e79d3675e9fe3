#include "CliCommand.h"
#include "codec/EnumNames.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

const QCommandLineOption &helpOption()
{
    static const QCommandLineOption option(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    return option;
}

const QCommandLineOption &langOption()
{
    static const QCommandLineOption option(QStringLiteral("lang"), QString(), QStringLiteral("en|pl|de"));
    return option;
}

void setUp(QCommandLineParser &parser, const CliCommand &command)
{
    if (!command.literalArguments)
        parser.addOption(helpOption());
    if (command.takesLanguage)
        parser.addOption(langOption());
    for (const CliOption &option : command.options)
        parser.addOption(QCommandLineOption(option.name, QString(), option.valueName));
}

// Two columns: names, then what they mean.
QString table(const QList<std::pair<QString, QString>> &rows)
{
    qsizetype width = 0;
    for (const auto &[name, meaning] : rows)
        width = std::max(width, name.size());
    QString text;
    for (const auto &[name, meaning] : rows)
        text += QStringLiteral("  ") + name.leftJustified(width + 2) + meaning + QLatin1Char('\n');
    return text;
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

void printJson(const QJsonObject &object)
{
    out() << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << Qt::endl;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int run(const CliCommand &command, const QStringList &args, VantrelTranslator &translator)
{
    QCommandLineParser parser;
    setUp(parser, command);
    QStringList argv{QStringLiteral("vantrel")};
    if (command.literalArguments)
        argv << QStringLiteral("--");
    const bool parsed = parser.parse(argv + args);
    CliInvocation invocation{command, parser, parser.positionalArguments()};
    invocation.locale = translator.locale();
    // --lang first, so that the help and the complaints, too, speak it (unless its value is what is missing).
    if (command.takesLanguage && parser.isSet(langOption()) && (parsed || !parser.value(langOption()).isEmpty())) {
        const QString code = parser.value(langOption());
        const auto locale = EnumNames::fromName<VantrelLocale>(code);
        if (!locale)
            return usageError(command, qtTrId("cliUnknownLanguage").arg(printable(code)));
        invocation.locale = *locale;
        translator.setLocale(*locale);
    }
    if (!parsed) {
        QStringList valueOptions{langOption().names()};
        for (const CliOption &option : command.options) {
            if (!option.valueName.isEmpty())
                valueOptions << option.name;
        }
        return usageError(command, parseProblem(parser, valueOptions));
    }
    if (!command.literalArguments && parser.isSet(helpOption())) {
        out() << helpText(command);
        out().flush();
        return CliExit::ok;
    }
    return command.run(invocation);
}

// Qt words its complaints in English only: they are worded again from what it names.
QString parseProblem(const QCommandLineParser &parser, const QStringList &valueOptions)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QStringList dashed;
        for (const QString &name : unknown)
            dashed << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        return qtTrId("cliUnknownOption", int(dashed.size())).arg(printable(dashed.join(QStringLiteral(", "))));
    }
    // Otherwise a value is missing after an option that takes one, or given to one that takes none.
    static const QRegularExpression quotedOption(QStringLiteral("'-+([^'=]+)[^']*'"));
    const QRegularExpressionMatch option = quotedOption.match(parser.errorText());
    if (!option.hasMatch())
        return printable(parser.errorText());
    const QString name = printable(option.captured(1));
    return qtTrId(valueOptions.contains(name) ? "cliMissingValue" : "cliUnexpectedValue").arg(QStringLiteral("--") + name);
}

QString helpText(const CliCommand &command)
{
    QList<std::pair<QString, QString>> options;
    if (!command.literalArguments)
        options.append({QStringLiteral("-h, --help"), qtTrId("cliHelpOption")});
    if (command.takesLanguage)
        options.append({QStringLiteral("--lang <en|pl|de>"), qtTrId("cliLangOption")});
    for (const CliOption &option : command.options) {
        const QString value = option.valueName.isEmpty() ? QString() : QStringLiteral(" <%1>").arg(option.valueName);
        options.append({QStringLiteral("--") + option.name + value, qtTrId(option.descriptionId)});
    }
    QList<std::pair<QString, QString>> arguments;
    for (const CliArgument &argument : command.arguments)
        arguments.append({argument.name, qtTrId(argument.descriptionId)});

    QString text = usageLine(QStringLiteral("vantrel ") + command.usage) + QLatin1Char('\n') + qtTrId(command.summaryId)
        + QLatin1Char('\n');
    if (!options.isEmpty())
        text += QLatin1Char('\n') + qtTrId("cliOptionsHeading") + QLatin1Char('\n') + table(options);
    if (!arguments.isEmpty())
        text += QLatin1Char('\n') + qtTrId("cliArgumentsHeading") + QLatin1Char('\n') + table(arguments);
    return text;
}

QString usageLine(const QString &synopsis)
{
    return qtTrId("cliUsage").arg(synopsis);
}

int usageError(const CliCommand &command, const QString &problem)
{
    if (!problem.isEmpty())
        err() << "vantrel " << command.name << ": " << problem << Qt::endl;
    err() << usageLine(QStringLiteral("vantrel ") + command.usage) << Qt::endl;
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
