#pragma once

// OpenSSL keeps an error queue (and, once asked, a random generator) for each
// thread and frees them when the thread ends. Pool threads outlive their jobs,
// and one that is still alive, or just ending, when OpenSSL cleans up at exit
// keeps that state for good. A job that may use OpenSSL on a pool thread hands
// it back when it ends; the next job there allocates it again, a microsecond.
void releaseWorkerCryptoState();

// Hands the state back however the job ends, by return or by exception.
struct WorkerCryptoStateRelease {
    WorkerCryptoStateRelease() = default;
    WorkerCryptoStateRelease(const WorkerCryptoStateRelease &) = delete;
    WorkerCryptoStateRelease &operator=(const WorkerCryptoStateRelease &) = delete;
    ~WorkerCryptoStateRelease() { releaseWorkerCryptoState(); }
};
