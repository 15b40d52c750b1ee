// The job pass's fax cover page insertion point, filled in by the cover-sheet library.
#pragma once

#include <functional>
#include <string_view>

#include "argumentStore.h"

namespace qor {

// Writes to standard output (and the log copy); false when the write failed.
using WriteFn = std::function<bool(std::string_view)>;

// Writes the whole cover page (preamble, rows, "showpage\n%%PageTrailer\n"); returns
// false when no page could be made (then nothing was written).
bool writeFaxCoverPage(const argumentStore& store, const WriteFn& write);

}  // namespace qor
