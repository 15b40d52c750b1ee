// A panel bundle for the frame's tests: the Color row's constants, a panel without a title
// key, and a panel whose bundle is never loaded. Each records what the frame let it see.
#include <stdexcept>
#include <string>

#include "PlugInFrame.h"
#include "ResourceMap.h"

namespace {

using qor::pde::PanelConstants;
using qor::pde::PDEContextHead;

struct TestContext : PDEContextHead {
    std::string panelData = "allocated";  // freed with the context; a leak would show
    std::int16_t resFileDuringCall = -2;
    int syncs = 0;
};

int gTerminated = 0;

struct ColorTestPanel {
    static constexpr const PanelConstants& kConstants = qor::pde::kColorPanel;
    using Context = TestContext;

    static OSStatus InitContext(Context& context) {
        context.syncs = 0;
        return kPDENoErr;
    }

    static OSStatus Initialize(Context* context, PMPDEFlags* flags, std::int32_t ref,
                               ControlRef parentUserPane, PMPrintSession session) {
        if (!context) return kPDENoContextErr;
        if (ref == -1) throw std::runtime_error("a panel fault");
        context->parentUserPane = parentUserPane;
        if (flags) *flags = 0;
        OSStatus status = Sync(context, session, true);
        return status == kPDESyncKeyNotFound ? kPDENoErr : status;
    }

    static OSStatus Sync(Context* context, PMPrintSession, Boolean) {
        if (!context) return kPDESyncNoSessionErr;
        context->resFileDuringCall = qor::core::CurResFile();
        ++context->syncs;
        return kPDESyncKeyNotFound;
    }

    static OSStatus GetSummaryText(Context* context, QorArrayRef* titles, QorArrayRef* summaries) {
        if (!context) return kPDENoContextErr;
        context->resFileDuringCall = qor::core::CurResFile();
        *titles = qor::core::makeStringArray({"Color"}).release();
        *summaries = qor::core::makeStringArray({context->theBundleRef->localizedString("Summary"),
                                                 std::to_string(context->syncs)})
                         .release();
        return kPDENoErr;
    }

    static void Terminate(Context& context) {
        context.panelData.clear();
        ++gTerminated;
    }
};

struct UntitledTestPanel : ColorTestPanel {
    static constexpr PanelConstants kConstants{"5E1F0C2A-0D6B-4B7E-9A3C-1F2E3D4C5B6A",
                                               "com.quorvan.test.UntitledKind", nullptr, 100,
                                               "com.quorvan.print.pde.Color"};
};

struct OrphanTestPanel : ColorTestPanel {
    static constexpr PanelConstants kConstants{"5E1F0C2A-0D6B-4B7E-9A3C-1F2E3D4C5B6B",
                                               "com.quorvan.test.OrphanKind", "Color", 100,
                                               "com.quorvan.test.NeverLoaded"};
};

}  // namespace

QOR_PDE_EXPORT_FACTORY(ColorPluginFactory, ColorTestPanel)
QOR_PDE_EXPORT_FACTORY(UntitledPluginFactory, UntitledTestPanel)
QOR_PDE_EXPORT_FACTORY(OrphanPluginFactory, OrphanTestPanel)

// How many contexts the panels' own Terminate has freed, for the tests to read.
extern "C" __attribute__((visibility("default"))) int TestPanelTerminatedCount() {
    return gTerminated;
}
