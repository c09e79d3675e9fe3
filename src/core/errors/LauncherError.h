#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Base of every error the core raises. Asynchronous operations (QCoro tasks)
// raise these as exceptions; the store catches them and turns them into state.
class LauncherError : public std::exception
{
public:
    ~LauncherError() override = default;

    // The sentence shown to the user.
    virtual QString localizedDescription() const = 0;

    // Plain-text rendering of the error value: its kind and the values it
    // carries, e.g. checksumMismatch(expected: "ab", actual: "cd").
    virtual QString debugDescription() const = 0;

    const char *what() const noexcept override;

private:
    mutable QByteArray m_what;
};

// An error of the platform (network, file system, archive library, JSON
// parser), passed through with its own message.
class PlatformError : public LauncherError
{
public:
    enum class Domain { network, fileSystem, archive, process, encoding };

    PlatformError(Domain domain, QString message, int code = 0);

    Domain domain() const { return m_domain; }
    int code() const { return m_code; }
    QString localizedDescription() const override { return m_message; }
    QString debugDescription() const override;

private:
    Domain m_domain;
    QString m_message;
    int m_code;
};

// A document that could not be decoded; the message names where it failed,
// e.g. apps[2].status: "Live" is not one of beta, live, comingSoon, retired.
class DecodingError : public LauncherError
{
public:
    explicit DecodingError(QString message) : m_message(std::move(message)) {}

    QString localizedDescription() const override { return m_message; }
    QString debugDescription() const override;

private:
    QString m_message;
};

// Quotes a value the way debugDescription renders carried texts.
QString debugQuoted(const QString &value);
