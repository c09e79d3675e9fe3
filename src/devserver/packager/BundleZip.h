#pragma once

#include <QString>
#include <stdexcept>

struct SampleArchive;

class PackagingError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

namespace BundleZip {

// The Info.plist (XML) of a sample bundle.
QByteArray infoPlist(const SampleArchive &archive);

// Writes archivePath: NAME.app/Contents/Info.plist and
// NAME.app/Contents/MacOS/EXECUTABLE (a copy of program, mode 0755).
// Written to a temporary name first, so a half-written archive is never left
// under the final name. Throws PackagingError.
void write(const SampleArchive &archive, const QString &program, const QString &archivePath);

}  // namespace BundleZip
