#include "CliCommand.h"

#include <cstdio>

const CliCommand *CliRegistry::find(const QString &name) const
{
    for (const CliCommand &command : m_commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
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

int usageError(const CliCommand &command, const QString &problem)
{
    if (!problem.isEmpty())
        err() << "vantrel " << command.name << ": " << problem << Qt::endl;
    err() << "usage: vantrel " << command.usage << Qt::endl;
    return CliExit::usage;
}

std::optional<VantrelLocale> parseLang(const QString &code)
{
    return VantrelLocaleUtil::fromRawValue(code);
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
