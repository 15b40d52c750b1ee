// A panel bundle for the host's tests: a panel with a note field, a check box that stops
// printing from the Print button, as the Job Routing panel's check does, one that routes the
// job to repeat printing and one that makes storing the settings fail; and a panel that declines
// every printer. Both write what the host made them do into a log the tests read.
#include <string>

#include "PlugInFrame.h"
#include "TicketHelpers.h"
#include "Toolbox.h"

namespace {

std::string gLog;

void note(const std::string& what) {
    gLog += gLog.empty() ? what : " " + what;
}

struct HostTestContext : qor::pde::PDEContextHead {
    ControlRef holdBox = nullptr;
    ControlRef noteField = nullptr;
    ControlRef repeatBox = nullptr;
    ControlRef refuseBox = nullptr;
    EventHandlerRef printCheck = nullptr;
};

OSStatus printButtonCheck(EventHandlerCallRef, EventRef, void* data) {
    auto* context = static_cast<HostTestContext*>(data);
    if (GetControl32BitValue(context->holdBox) == 0) return eventNotHandledErr;
    note("Held");
    StandardAlert(kAlertStopAlert, "The test panel holds this job.", "", nullptr, nullptr);
    return noErr;
}

struct HostTestPanel {
    static constexpr qor::pde::PanelConstants kConstants{
        "0B7E55A1-6C1D-4F43-9E55-0D7A1C2B3A01", "com.quorvan.test.HostTestKind", "HostTest", 120,
        "com.quorvan.test.HostPanel"};
    using Context = HostTestContext;

    static OSStatus InitContext(Context&) {
        note("Prologue");
        return kPDENoErr;
    }

    static OSStatus Initialize(Context* context, PMPDEFlags* flags, std::int32_t, ControlRef pane,
                               PMPrintSession session) {
        if (!context || !session) return kPDEDeclineErr;
        note("Initialize");
        context->parentUserPane = pane;
        WindowRef window = GetControlOwner(pane);
        Rect bounds;
        GetControlBounds(pane, &bounds);
        const Rect box{static_cast<short>(bounds.top + 20), 20, static_cast<short>(bounds.top + 40),
                       200};
        CreateCheckBoxControl(window, &box, "Hold the job", 0, true, &context->holdBox);
        EmbedControl(context->holdBox, pane);
        const Rect label{static_cast<short>(bounds.top + 50), 20,
                         static_cast<short>(bounds.top + 70), 80};
        ControlRef labelControl = nullptr;
        CreateStaticTextControl(window, &label, "Note:", nullptr, &labelControl);
        EmbedControl(labelControl, pane);
        const Rect field{static_cast<short>(bounds.top + 50), 88,
                         static_cast<short>(bounds.top + 70), 300};
        CreateEditUnicodeTextControl(window, &field, "", false, nullptr, &context->noteField);
        EmbedControl(context->noteField, pane);
        const Rect repeat{static_cast<short>(bounds.top + 80), 20,
                          static_cast<short>(bounds.top + 100), 300};
        CreateCheckBoxControl(window, &repeat, "Keep for repeat printing", 0, true,
                              &context->repeatBox);
        EmbedControl(context->repeatBox, pane);
        const Rect refuse{static_cast<short>(bounds.top + 100), 20,
                          static_cast<short>(bounds.top + 120), 300};
        CreateCheckBoxControl(window, &refuse, "Refuse to store", 0, true, &context->refuseBox);
        EmbedControl(context->refuseBox, pane);
        ControlRef printButton = nullptr;
        GetWindowDefaultButton(window, &printButton);
        const EventTypeSpec hit{kEventClassControl, kEventControlHit};
        InstallControlEventHandler(printButton, &printButtonCheck, 1, &hit, context,
                                   &context->printCheck);
        if (flags) *flags = 0;
        const OSStatus status = Sync(context, session, true);
        return status == kPDESyncKeyNotFound ? kPDENoErr : status;
    }

    static OSStatus Sync(Context* context, PMPrintSession session, Boolean syncDirection) {
        if (!context || !session) return kPDESyncNoSessionErr;
        note(syncDirection ? "Restore" : "Store");
        PMTicketRef ticket = nullptr;
        OSStatus status = GetTicketRef(session, kPDE_PMPrintSettingsRef, &ticket);
        if (status != kPDENoErr) return status;
        qor::core::Dictionary* ppd = nullptr;
        if ((status = PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &ppd)) != kPMNoError)
            return status;
        if (syncDirection) {
            const std::string* text = ppd->findString("HostTestNote");
            SetControlText(context->noteField, text ? *text : "");
        } else {
            if (GetControl32BitValue(context->refuseBox) != 0) return kPDETicketUnavailableErr;
            std::string text;
            CopyControlText(context->noteField, &text);
            ppd->set("HostTestNote", qor::core::Value(text));
            if (GetControl32BitValue(context->repeatBox) != 0)
                ppd->set("PrintTo", qor::core::Value("JRRepeat"));
        }
        return kPDENoErr;
    }

    static OSStatus GetSummaryText(Context* context, QorArrayRef* titles, QorArrayRef* values) {
        if (!context) return kPDENoContextErr;
        std::string text;
        CopyControlText(context->noteField, &text);
        *titles = qor::core::makeStringArray({"Note", "Held"}).release();
        *values = qor::core::makeStringArray(
                      {text, GetControl32BitValue(context->holdBox) ? "Yes" : "No"})
                      .release();
        return kPDENoErr;
    }

    static void Terminate(Context& context) {
        note("Terminate");
        RemoveEventHandler(context.printCheck);
    }
};

struct DecliningPanel {
    static constexpr qor::pde::PanelConstants kConstants{"0B7E55A1-6C1D-4F43-9E55-0D7A1C2B3A02",
                                                         "com.quorvan.test.DecliningKind", nullptr,
                                                         100, "com.quorvan.test.HostPanel"};
    using Context = qor::pde::PDEContextHead;

    static OSStatus InitContext(Context&) { return kPDENoErr; }
    static OSStatus Initialize(Context*, PMPDEFlags*, std::int32_t, ControlRef, PMPrintSession) {
        note("Decline");
        return kPDEDeclineErr;
    }
    static OSStatus Sync(Context*, PMPrintSession, Boolean) { return kPDENoErr; }
    static OSStatus GetSummaryText(Context*, QorArrayRef*, QorArrayRef*) { return kPDENoErr; }
    static void Terminate(Context&) { note("TerminateDeclined"); }
};

}  // namespace

QOR_PDE_EXPORT_FACTORY(HostTestPluginFactory, HostTestPanel)
QOR_PDE_EXPORT_FACTORY(DecliningPluginFactory, DecliningPanel)

// The calls the panels saw since the last read, separated by blanks; reading empties it.
extern "C" __attribute__((visibility("default"))) const char* HostTestPanelTakeLog() {
    static std::string taken;
    taken = std::move(gLog);
    gLog.clear();
    return taken.c_str();
}
