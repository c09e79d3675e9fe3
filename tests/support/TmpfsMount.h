#pragma once

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

// A small file system of its own at path, so "full" comes after a few
// megabytes; skipReason() says why it cannot mount (the test machines run as root).
class TmpfsMount
{
public:
    TmpfsMount(const QString &path, int megabytes) : m_path(QFile::encodeName(path))
    {
        const QByteArray options = "size=" + QByteArray::number(megabytes) + "m,mode=0700";
        m_error = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, options.constData()) == 0 ? 0 : errno;
    }
    ~TmpfsMount()
    {
        if (mounted())
            ::umount2(m_path.constData(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool mounted() const { return m_error == 0; }
    QString skipReason() const
    {
        return QStringLiteral("cannot mount a small filesystem here (%1); run as root with mount rights")
            .arg(QString::fromLocal8Bit(strerror(m_error)));
    }

private:
    QByteArray m_path;
    int m_error = 0;
};
