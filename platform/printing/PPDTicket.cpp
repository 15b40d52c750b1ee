// Opening the PPD that a printer-information ticket names.
#include <memory>
#include <utility>

#include "PPDLib.h"
#include "PrintSession.h"

OSStatus ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfo, PPDContextViel* context,
                                      PPDFileRef* file) {
    if (printerInfo == nullptr || context == nullptr || file == nullptr) return kPPDParamErr;
    std::string path;
    if (PMTicketGetCFString(printerInfo, kPMTopLevel, kPMTopLevel, kPMCompiledPPDKey, &path) !=
            kPMNoError ||
        path.empty())
        return kPPDFileNotFoundErr;
    OSStatus status = ppdOpenCompiledPPDFromFile(path.c_str(), context);
    if (status != kPPDNoErr) return status;
    *file = std::make_unique<PPDFileRecord>(PPDFileRecord{std::move(path)}).release();
    return kPPDNoErr;
}
