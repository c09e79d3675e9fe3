#include "LinuxSystemVersion.h"

#include <sys/utsname.h>
#ifdef __APPLE__
#include <sys/sysctl.h>
#endif

OperatingSystemVersion LinuxSystemVersion::parseRelease(const QString &release)
{
    qint64 parts[3] = {0, 0, 0};
    int index = 0;
    bool inNumber = false;
    for (QChar c : release) {
        if (c.isDigit() && c.unicode() < 0x80) {
            if (parts[index] < (Q_INT64_C(1) << 40))
                parts[index] = parts[index] * 10 + (c.unicode() - '0');
            inNumber = true;
        } else if (c == QLatin1Char('.') && inNumber && index < 2) {
            ++index;
            inNumber = false;
        } else {
            break;
        }
    }
    return OperatingSystemVersion{parts[0], parts[1], parts[2]};
}

OperatingSystemVersion LinuxSystemVersion::operatingSystemVersion() const
{
#ifdef __APPLE__
    char product[64] = {};
    size_t size = sizeof(product) - 1;
    if (sysctlbyname("kern.osproductversion", product, &size, nullptr, 0) == 0)
        return parseRelease(QString::fromLatin1(product));
#endif
    struct utsname names {};
    if (uname(&names) != 0)
        return {};
    return parseRelease(QString::fromLatin1(names.release));
}
