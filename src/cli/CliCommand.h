#pragma once

#include "async/WaitForTask.h"
#include "i18n/VantrelLocale.h"
#include "i18n/VantrelTranslator.h"

#include <QCoroTask>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <exception>
#include <optional>

// Exit statuses shared by every command (docs/users/terminal.md lists them).
namespace CliExit {
inline constexpr int ok = 0;
inline constexpr int failure = 1;
inline constexpr int usage = 2;
// The catalog could not be fetched, and the command needs it (install, update).
inline constexpr int unreachable = 3;
// verify: an app is damaged, or was installed before verification existed; open: the app's program
// cannot start. A repair puts either right.
inline constexpr int damaged = 4;
// install, update: the disk has not room for the app; stopped before the download.
inline constexpr int noSpace = 5;
// update, remove, rollback, repair: the app is running (its process ids are printed); nothing was changed.
inline constexpr int running = 6;
// install, update with --no-metered: the connection is metered; nothing was downloaded.
inline constexpr int metered = 7;
// update: an app named is held at its version; nothing was changed (release it first).
inline constexpr int held = 8;
// install, update: the catalog has expired (its date is printed); nothing was downloaded.
inline constexpr int catalogExpired = 9;
}  // namespace CliExit

class QCommandLineParser;
struct CliCommand;

// What a command runs with, after its options were parsed.
struct CliInvocation {
    const CliCommand &command;
    const QCommandLineParser &parser;
    QStringList positional;
    // --lang, or the system's preferred language as the window normalises it.
    VantrelLocale locale = VantrelLocale::en;

    bool isSet(const QString &option) const;
    // Prints the problem and the command's usage; returns CliExit::usage.
    int usageError(const QString &problem) const;
};

// The tables are built before --lang is read, so the texts they hold are
// message ids (QT_TRID_NOOP), translated when printed.

// An option besides --help and --lang.
struct CliOption {
    QString name;
    const char *descriptionId;
    QString valueName = {};  // empty for a switch
};

// A positional argument as the command's help lists it.
struct CliArgument {
    QString name;
    const char *descriptionId;
};

struct CliCommand {
    QString name;
    // Synopsis after the tool's name, e.g. "check [--json] SOURCE"; the same in every language.
    QString usage;
    // One line for the command list.
    const char *summaryId;
    QList<CliOption> options;
    QList<CliArgument> arguments;
    bool takesLanguage = false;
    // Every argument is positional, even one that looks like an option
    // (versions such as "-1"); such a command has no --help of its own.
    bool literalArguments = false;
    // Returns the exit status.
    std::function<int(const CliInvocation &)> run;
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
void registerStoreCommands(CliRegistry &registry);    // StoreCommands.cpp: list, install, update, remove, rollback, open
void registerVerifyCommand(CliRegistry &registry);     // VerifyCommand.cpp: verify
void registerRepairCommand(CliRegistry &registry);     // RepairCommand.cpp: repair
void registerCompletionCommand(CliRegistry &registry);  // CompletionCommand.cpp: complete (what a shell offers)

class QJsonObject;

namespace Cli {

QTextStream &out();
QTextStream &err();

// Parses args (what follows the command's name), switches translator to
// --lang when given and runs the command; a parse failure prints the problem
// and the usage and returns CliExit::usage.
int run(const CliCommand &command, const QStringList &args, VantrelTranslator &translator);

// The command's usage line, summary, options and arguments, in the language installed.
QString helpText(const CliCommand &command);

// Why parser refused the arguments, in the language installed; valueOptions
// are the names of the options that take a value.
QString parseProblem(const QCommandLineParser &parser, const QStringList &valueOptions = {});

// "usage: vantrel SYNOPSIS" in the language installed.
QString usageLine(const QString &synopsis);

// Prints the usage line to standard error and returns CliExit::usage.
int usageError(const CliCommand &command, const QString &problem = QString());

// Replaces control characters so catalog texts cannot drive the terminal.
QString printable(const QString &text);

// One compact JSON object on a line of standard output: what every --json prints.
void printJson(const QJsonObject &object);

}  // namespace Cli
