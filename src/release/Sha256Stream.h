#pragma once

#include <QString>

#include <cstddef>
#include <optional>

struct evp_md_ctx_st;

// SHA-256 fed in pieces, so an archive never has to be in memory whole.
class Sha256Stream
{
public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(const Sha256Stream &) = delete;
    Sha256Stream &operator=(const Sha256Stream &) = delete;

    void update(const char *data, std::size_t length);
    // Lower-case hexadecimal digest, 64 characters; ends the stream.
    QString finishHex();

    // Digest of a file read in large blocks; nothing when it cannot be read.
    static std::optional<QString> fileHex(const QString &path);

private:
    evp_md_ctx_st *m_ctx;
};
