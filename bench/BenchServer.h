#pragma once

#include <QString>

#include <memory>

// Serves one file over loopback HTTP from its own threads, streaming it
// straight from a memory map so the server is never the slow side.
class BenchServer
{
public:
    explicit BenchServer(const QString &filePath);
    ~BenchServer();
    BenchServer(const BenchServer &) = delete;
    BenchServer &operator=(const BenchServer &) = delete;

    // http://127.0.0.1:<port>/<file name>
    QString url() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
