#pragma once

#include "i18n/VantrelLocale.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <exception>
#include <optional>

// Exit statuses shared by every command.
namespace CliExit {
inline constexpr int ok = 0;
inline constexpr int failure = 1;
inline constexpr int usage = 2;
}  // namespace CliExit

struct CliCommand {
    QString name;
    // Synopsis after the tool's name, e.g. "check [--json] SOURCE".
    QString usage;
    // One line for the command list.
    QString summary;
    // Arguments after the command's name; returns the exit status.
    std::function<int(QStringList args)> run;
};

class CliRegistry
{
public:
    void add(CliCommand command) { m_commands.append(std::move(command)); }
    const QList<CliCommand> &commands() const { return m_commands; }
    const CliCommand *find(const QString &name) const;

private:
    QList<CliCommand> m_commands;
};

// One function per command group, each called from main.cpp in one line.
void registerCatalogCommands(CliRegistry &registry);  // CatalogCommands.cpp: check, compare
void registerStoreCommands(CliRegistry &registry);    // StoreCommands.cpp: list, install, open

namespace Cli {

QTextStream &out();
QTextStream &err();

// Prints "usage: vantrel USAGE" to standard error and returns CliExit::usage.
int usageError(const CliCommand &command, const QString &problem = QString());

// "en", "pl" or "de"; nullopt for anything else.
std::optional<VantrelLocale> parseLang(const QString &code);

// Runs the task in a nested event loop and returns its result or rethrows its
// error. (QCoro::waitFor on its own never returns when the task throws.)
template<typename T>
T waitFor(QCoro::Task<T> task)
{
    std::exception_ptr error;
    auto guarded = [](QCoro::Task<T> inner, std::exception_ptr *failure) -> QCoro::Task<std::optional<T>> {
        try {
            co_return co_await std::move(inner);
        } catch (...) {
            *failure = std::current_exception();
        }
        co_return std::nullopt;
    };
    std::optional<T> result = QCoro::waitFor(guarded(std::move(task), &error));
    if (error)
        std::rethrow_exception(error);
    return std::move(*result);
}

inline void waitFor(QCoro::Task<void> task)
{
    std::exception_ptr error;
    auto guarded = [](QCoro::Task<void> inner, std::exception_ptr *failure) -> QCoro::Task<void> {
        try {
            co_await std::move(inner);
        } catch (...) {
            *failure = std::current_exception();
        }
    };
    QCoro::waitFor(guarded(std::move(task), &error));
    if (error)
        std::rethrow_exception(error);
}

// Replaces control characters so catalog texts cannot drive the terminal.
QString printable(const QString &text);

}  // namespace Cli
