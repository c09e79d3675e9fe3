#pragma once

#include "LibarchiveExtractor.h"

// Unpacks a ZIP archive while a download still writes it, through
// libarchive's streaming reader, which needs only the local headers and the
// data behind them. Each entry is written as its bytes arrive, under the
// same rules as the whole-archive road: names that stay inside, no entry
// twice or below a file, the write cap (from the bytes of the archive
// written so far, or the size a file list states), sizes as stated, CRC-32s
// as stated; "__MACOSX/" and AppleDouble files are not written. Files are
// written for the owner alone until the archive is complete and its
// directory agrees (StreamedTreeCheck); only then get they their modes and
// links. Anything this road cannot vouch for ends it with notStreamed and an
// emptied destination, so the whole-archive road decides.
namespace StreamingZipExtractor {

StreamedUnpack unpack(GrowingArchive &archive, const QString &destinationDir, const LibarchiveExtractor::Limits &limits,
                      const std::atomic_bool *cancel, ExtractionProgress *progress, ExtractedChecksums *checksums,
                      const ExpectedFiles *expected);

}  // namespace StreamingZipExtractor
