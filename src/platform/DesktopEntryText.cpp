#include "DesktopEntryText.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <optional>

namespace DesktopEntryText {

namespace {

// File names stay well below the file system's 255 bytes with ".desktop" and ".png".
constexpr int maxIdLength = 160;

// Escapes of the string type; false for a character no value can hold.
bool appendEscaped(QString &out, QChar c)
{
    switch (c.unicode()) {
    case '\\': out += QLatin1String("\\\\"); return true;
    case '\n': out += QLatin1String("\\n"); return true;
    case '\t': out += QLatin1String("\\t"); return true;
    case '\r': out += QLatin1String("\\r"); return true;
    default: break;
    }
    if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || c.isNonCharacter())
        return false;
    out += c;
    return true;
}

QString cut(const QString &text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    // Never between the halves of a surrogate pair.
    const int end = text.at(maxChars - 1).isHighSurrogate() ? maxChars - 1 : maxChars;
    return text.left(end);
}

}  // namespace

namespace {

QString idWith(const QString &bundleId, const QString &appId, const char *prefix, bool keepHyphens)
{
    const QString source = bundleId.trimmed().isEmpty() ? appId : bundleId;
    QStringList parts;
    for (const QString &part : source.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        QString clean;
        for (const QChar c : part) {
            const bool kept = (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('_') || (keepHyphens && c == QLatin1Char('-'));
            clean += kept ? c : QChar('_');
        }
        if (clean.front().isDigit())
            clean.prepend(QLatin1Char('_'));
        parts.append(clean);
    }
    QString id = parts.isEmpty() ? QStringLiteral("app") : parts.join(QLatin1Char('.'));
    // Where cleaning or cutting changed the identifier, two apps could meet in
    // one id ("a b" and "a_b"): a hash of the original keeps them apart.
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(source.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    if (id.size() > maxIdLength)
        id = id.left(maxIdLength - 17) + QLatin1Char('_') + hash;
    else if (id != source)
        id += QLatin1Char('_') + hash;
    return QLatin1String(prefix) + id;
}

}  // namespace

QString fileId(const QString &bundleId, const QString &appId)
{
    return idWith(bundleId, appId, idPrefix, false);
}

QString legacyFileId(const QString &bundleId, const QString &appId)
{
    return idWith(bundleId, appId, legacyIdPrefix, true);
}

QString stringValue(const QString &text, int maxChars)
{
    QString flat;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            flat += QLatin1Char(' ');
        else if (c.category() != QChar::Other_Control && c.category() != QChar::Other_Format && !c.isNonCharacter())
            flat += c;
    }
    flat = cut(flat.simplified(), maxChars);
    QString out;
    for (const QChar c : std::as_const(flat))
        appendEscaped(out, c);
    return out;
}

QString listValue(const QStringList &items, int maxChars)
{
    QString out;
    for (const QString &item : items) {
        const QString value = stringValue(item, 64).replace(QLatin1Char(';'), QLatin1String("\\;"));
        if (value.isEmpty() || out.size() + value.size() + 1 > maxChars)
            continue;
        out += value + QLatin1Char(';');
    }
    return out;
}

std::optional<QString> execArgument(const QString &argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
    }
    quoted += QLatin1Char('"');
    QString out;
    for (const QChar c : std::as_const(quoted)) {
        if (!appendEscaped(out, c))
            return std::nullopt;
    }
    return out;
}

QString categories(const QString &category)
{
    struct Rule {
        QStringList words;  // beginnings of the category's words, in English, Polish and German
        const char *categories;
    };
    static const QList<Rule> rules = {
        {{QStringLiteral("audio"), QStringLiteral("music"), QStringLiteral("sound"), QStringLiteral("dźwięk"),
          QStringLiteral("muzyk"), QStringLiteral("musik"), QStringLiteral("podcast")}, "AudioVideo;Audio;"},
        {{QStringLiteral("video"), QStringLiteral("wideo"), QStringLiteral("film")}, "AudioVideo;Video;"},
        {{QStringLiteral("photo"), QStringLiteral("zdję"), QStringLiteral("foto")}, "Graphics;Photography;"},
        {{QStringLiteral("design"), QStringLiteral("projekt"), QStringLiteral("graphic"), QStringLiteral("grafi"),
          QStringLiteral("draw"), QStringLiteral("rysun"), QStringLiteral("zeichn")}, "Graphics;"},
        {{QStringLiteral("develop"), QStringLiteral("program"), QStringLiteral("code"), QStringLiteral("entwickl")}, "Development;"},
        {{QStringLiteral("game"), QStringLiteral("gry"), QStringLiteral("gra"), QStringLiteral("spiel")}, "Game;"},
        {{QStringLiteral("educat"), QStringLiteral("eduk"), QStringLiteral("learn"), QStringLiteral("nauka"),
          QStringLiteral("bildung"), QStringLiteral("lern")}, "Education;"},
        {{QStringLiteral("science"), QStringLiteral("wissenschaft")}, "Science;"},
        {{QStringLiteral("network"), QStringLiteral("internet"), QStringLiteral("chat"), QStringLiteral("communic"),
          QStringLiteral("sieć"), QStringLiteral("netz"), QStringLiteral("komunik")}, "Network;"},
        {{QStringLiteral("productiv"), QStringLiteral("produktyw"), QStringLiteral("produktiv"), QStringLiteral("office"),
          QStringLiteral("biur"), QStringLiteral("büro"), QStringLiteral("writ"), QStringLiteral("read"),
          QStringLiteral("czyta"), QStringLiteral("lese"), QStringLiteral("note"), QStringLiteral("notat")}, "Office;"},
        {{QStringLiteral("system")}, "System;"},
    };
    static const QRegularExpression separators(QStringLiteral("\\W+"), QRegularExpression::UseUnicodePropertiesOption);
    const QStringList words = category.toLower().split(separators, Qt::SkipEmptyParts);
    for (const Rule &rule : rules) {
        for (const QString &word : words) {
            for (const QString &beginning : rule.words) {
                if (word.startsWith(beginning))
                    return QLatin1String(rule.categories);
            }
        }
    }
    return QStringLiteral("Utility;");
}

std::optional<QByteArray> entry(const Fields &fields)
{
    const std::optional<QString> exec = execArgument(fields.executable);
    if (!exec)
        return std::nullopt;
    const QString name = stringValue(fields.name, 128);
    QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Version=1.4"),
        QStringLiteral("Name=") + (name.isEmpty() ? QStringLiteral("App") : name),
    };
    const QString comment = stringValue(fields.comment, 256);
    if (!comment.isEmpty() && comment != name)
        lines.append(QStringLiteral("Comment=") + comment);
    lines.append(QStringLiteral("Exec=") + *exec);
    lines.append(QStringLiteral("TryExec=") + stringValue(fields.executable, 4096));
    lines.append(QStringLiteral("Path=") + stringValue(fields.workingFolder, 4096));
    lines.append(QStringLiteral("Icon=") + stringValue(fields.icon));
    lines.append(QStringLiteral("Categories=") + categories(fields.category));
    if (const QString keywords = listValue(fields.keywords); !keywords.isEmpty())
        lines.append(QStringLiteral("Keywords=") + keywords);
    // Startup notification ends when the app's window appears, which the desktop can tell only by its class.
    const bool wmClass = !fields.startupWmClass.isEmpty();
    lines.append(QStringLiteral("StartupNotify=") + (wmClass ? QStringLiteral("true") : QStringLiteral("false")));
    if (wmClass)
        lines.append(QStringLiteral("StartupWMClass=") + stringValue(fields.startupWmClass, 128));
    lines.append(QLatin1String(markKey) + QStringLiteral("=true"));
    lines.append(QStringLiteral("X-Vantrel-Version=") + stringValue(fields.version, 64));
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

bool isMarked(const QByteArray &content)
{
    const QByteArray mark = QByteArray(markKey) + "=true";
    for (const QByteArray &line : content.split('\n')) {
        if (line.trimmed() == mark)
            return true;
    }
    return false;
}

}  // namespace DesktopEntryText
