#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <variant>

enum class ComparisonResult { orderedAscending = -1, orderedSame = 0, orderedDescending = 1 };

// A pre-release token: a number or a text run.
using VersionToken = std::variant<qint64, QString>;

struct ParsedVersion {
    QList<qint64> numbers;
    std::optional<QList<VersionToken>> prerelease;

    explicit ParsedVersion(const QString &text);
    static QList<VersionToken> tokens(const QString &text);
};

// orderedDescending exactly when lhs is the newer version. Never fails.
ComparisonResult compareVersions(const QString &lhs, const QString &rhs);

// "ascending", "same" or "descending".
QString comparisonResultName(ComparisonResult result);
