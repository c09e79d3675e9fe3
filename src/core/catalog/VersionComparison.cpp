#include "VersionComparison.h"

#include <QStringView>
#include <algorithm>
#include <limits>

namespace {

// A base-10 run of ASCII digits that fits a signed 64-bit integer.
std::optional<qint64> asciiInteger(QStringView text)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        const int digit = c.unicode() - '0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// Letters and numbers; everything else separates runs.
bool isTokenCharacter(char32_t c)
{
    if (QChar::isLetterOrNumber(c))
        return true;
    // Spacing vowel signs of Indic and similar scripts are alphabetic too.
    return QChar::category(c) == QChar::Mark_SpacingCombining;
}

ComparisonResult compareValues(qint64 lhs, qint64 rhs)
{
    if (lhs < rhs)
        return ComparisonResult::orderedAscending;
    if (lhs > rhs)
        return ComparisonResult::orderedDescending;
    return ComparisonResult::orderedSame;
}

// Plain code-point order of canonically equivalent forms; no locale, no numbers.
ComparisonResult compareText(const QString &lhs, const QString &rhs)
{
    const QList<uint> a = lhs.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> b = rhs.normalized(QString::NormalizationForm_C).toUcs4();
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (ia == a.end() && ib == b.end())
        return ComparisonResult::orderedSame;
    if (ia == a.end())
        return ComparisonResult::orderedAscending;
    if (ib == b.end())
        return ComparisonResult::orderedDescending;
    return *ia < *ib ? ComparisonResult::orderedAscending : ComparisonResult::orderedDescending;
}

ComparisonResult compareTokens(const VersionToken &lhs, const VersionToken &rhs)
{
    const bool lhsNumber = std::holds_alternative<qint64>(lhs);
    const bool rhsNumber = std::holds_alternative<qint64>(rhs);
    if (lhsNumber && rhsNumber)
        return compareValues(std::get<qint64>(lhs), std::get<qint64>(rhs));
    if (lhsNumber)
        return ComparisonResult::orderedAscending;
    if (rhsNumber)
        return ComparisonResult::orderedDescending;
    return compareText(std::get<QString>(lhs), std::get<QString>(rhs));
}

}  // namespace

ParsedVersion::ParsedVersion(const QString &text)
{
    QStringView rest(text);
    const qsizetype plus = rest.indexOf(QLatin1Char('+'));
    if (plus >= 0)
        rest = rest.left(plus);

    QStringView core = rest;
    const qsizetype hyphen = rest.indexOf(QLatin1Char('-'));
    if (hyphen >= 0) {
        core = rest.left(hyphen);
        prerelease = tokens(rest.mid(hyphen + 1).toString());
    }

    for (QStringView piece : core.split(QLatin1Char('.'), Qt::SkipEmptyParts))
        numbers.append(asciiInteger(piece).value_or(0));
}

QList<VersionToken> ParsedVersion::tokens(const QString &text)
{
    QList<VersionToken> result;
    const QList<uint> codePoints = text.toLower().toUcs4();
    QString run;
    auto flush = [&] {
        if (run.isEmpty())
            return;
        if (const auto number = asciiInteger(run))
            result.append(*number);
        else
            result.append(run);
        run.clear();
    };
    for (const uint c : codePoints) {
        // A combining mark belongs to the character before it, as in a grapheme.
        const bool extendsRun = !run.isEmpty() && QChar::isMark(char32_t(c));
        if (extendsRun || isTokenCharacter(char32_t(c))) {
            const char32_t one[1] = {char32_t(c)};
            run.append(QString::fromUcs4(one, 1));
        } else {
            flush();
        }
    }
    flush();
    return result;
}

ComparisonResult compareVersions(const QString &lhs, const QString &rhs)
{
    const ParsedVersion left(lhs);
    const ParsedVersion right(rhs);

    const qsizetype count = std::max(left.numbers.size(), right.numbers.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 a = i < left.numbers.size() ? left.numbers.at(i) : 0;
        const qint64 b = i < right.numbers.size() ? right.numbers.at(i) : 0;
        if (const ComparisonResult r = compareValues(a, b); r != ComparisonResult::orderedSame)
            return r;
    }

    if (!left.prerelease && !right.prerelease)
        return ComparisonResult::orderedSame;
    if (!left.prerelease)
        return ComparisonResult::orderedDescending;  // a release is newer than its pre-releases
    if (!right.prerelease)
        return ComparisonResult::orderedAscending;

    const QList<VersionToken> &a = *left.prerelease;
    const QList<VersionToken> &b = *right.prerelease;
    for (qsizetype i = 0;; ++i) {
        if (i >= a.size())
            return i >= b.size() ? ComparisonResult::orderedSame : ComparisonResult::orderedAscending;
        if (i >= b.size())
            return ComparisonResult::orderedDescending;
        if (const ComparisonResult r = compareTokens(a.at(i), b.at(i)); r != ComparisonResult::orderedSame)
            return r;
    }
}

QString comparisonResultName(ComparisonResult result)
{
    switch (result) {
    case ComparisonResult::orderedAscending: return QStringLiteral("ascending");
    case ComparisonResult::orderedSame: return QStringLiteral("same");
    case ComparisonResult::orderedDescending: return QStringLiteral("descending");
    }
    return {};
}
