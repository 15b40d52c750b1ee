// The job pass's fax cover page: made only when a fax job asks for one, then written out whole.
#include "CoverPageHook.h"
#include "greyscaleCoverSheet.h"

namespace qor {

bool writeFaxCoverPage(const argumentStore& store, const WriteFn& write) {
    auto sheet = greyscaleCoverSheet::CreateBitmapContextWithWidth(588, 768, store);
    if (!sheet) return false;
    sheet->createImageWith(store);
    // Once the output fails the rest of the page cannot reach the printer either; the job
    // pass notices the failed output on its own next write.
    if (!write(sheet->postScriptImageString())) return true;
    while (const auto line = sheet->nextLine()) {
        if (!write(*line)) return true;
    }
    write("showpage\n%%PageTrailer\n");
    return true;
}

}  // namespace qor
