#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding: print it and abort so libFuzzer keeps the input.
[[noreturn]] inline void fuzzFinding(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "FINDING: %s %s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                                        \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzFinding(#condition, detail);                                                                 \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
