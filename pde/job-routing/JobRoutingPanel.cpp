// The Job Routing panel's life cycle: its context, the controls Initialize makes, the fields
// that follow the chosen routing mode, the USB test, and Terminate.
#include "JobRoutingPanel.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "JobRoutingOptions.h"
#include "PPDControls.h"
#include "PrintSession.h"
#include "PrinterChecks.h"
#include "TicketHelpers.h"

extern char** environ;

namespace qor::jrpanel {

namespace {

// The feature token a PPD announces for printers that take routed jobs.
constexpr std::string_view kJobRoutingFeature = "P";
// Names another program to run in place of lpstat, for tests and unusual installations.
constexpr const char* kLpstatVariable = "QOR_LPSTAT";
constexpr const char* kLpstatPath = "/usr/bin/lpstat";
// The first line of lpstat's answer is read up to this many characters.
constexpr std::size_t kLpstatLineLength = 99;
// A field's label ends this far left of the field and starts this far left of it.
constexpr short kLabelGap = 8;
constexpr short kLabelWidth = 200;

// Closes the compiled PPD however Initialize leaves.
class OpenPPD {
  public:
    explicit OpenPPD(PMTicketRef printerInfo) {
        status_ = ppdOpenCompiledPPDFromTicket(printerInfo, &context_, &file_);
    }
    ~OpenPPD() {
        if (status_ == kPPDNoErr) ppdCloseCompiledPPDFromTicket(context_, file_);
    }
    OpenPPD(const OpenPPD&) = delete;
    OpenPPD& operator=(const OpenPPD&) = delete;
    OSStatus status() const { return status_; }
    PPDContextViel get() const { return context_; }

  private:
    OSStatus status_ = kPPDOpenErr;
    PPDContextViel context_ = nullptr;
    PPDFileRef file_ = nullptr;
};

// The templates give positions inside the pane; the toolbox places controls in window
// coordinates, so each is moved by the pane's origin.
ControlRef NewPaneControl(SInt16 templateID, ControlRef pane) {
    ControlRef control = GetNewControl(templateID, GetControlOwner(pane));
    if (!control) return nullptr;
    Rect paneBounds, bounds;
    GetControlBounds(pane, &paneBounds);
    GetControlBounds(control, &bounds);
    MoveControl(control, static_cast<SInt16>(bounds.left + paneBounds.left),
                static_cast<SInt16>(bounds.top + paneBounds.top));
    return control;
}

// The right-aligned label beside a field.
ControlRef MakeFieldLabel(ControlRef field, ControlRef pane, const std::string& text) {
    Rect fieldBounds;
    GetControlBounds(field, &fieldBounds);
    const Rect bounds{fieldBounds.top, static_cast<short>(fieldBounds.left - kLabelWidth),
                      fieldBounds.bottom, static_cast<short>(fieldBounds.left - kLabelGap)};
    ControlFontStyleRec style;
    style.flags = kControlUseJustMask;
    style.just = teFlushRight;
    ControlRef label = nullptr;
    if (CreateStaticTextControl(GetControlOwner(pane), &bounds, text, &style, &label) != noErr)
        return nullptr;
    EmbedControl(label, pane);
    return label;
}

// One text field of the panel: its template, label text, key filter and context slots.
struct TextField {
    SInt16 templateID;
    const char* label;
    ControlKeyFilterUPP filter;
    ControlRef JobRoutingContext::*field;
    ControlRef JobRoutingContext::*labelControl;
};

constexpr TextField kFields[] = {
    {kUserNameFieldID, "User Name:", UserNameInterruptHandler,
     &JobRoutingContext::UserNameFieldControl, &JobRoutingContext::UserNameFieldStatic},
    {kPINFieldID, "PIN(####, 1-6):", PINFilter, &JobRoutingContext::PrivateCodeFieldControl,
     &JobRoutingContext::PrivateCodeFieldStatic},
    {kRecipientFieldID, "Recipient Name:", GeneralMaxInterruptHandler,
     &JobRoutingContext::RecipientNameFieldControl, &JobRoutingContext::RecipientNameFieldStatic},
    {kPhoneFieldID, "Fax #:", PhoneNumericFilter, &JobRoutingContext::TelephoneNumberFieldControl,
     &JobRoutingContext::TelephoneNumberFieldStatic},
    {kStationFieldID, "Station Name:", StationNameFilter,
     &JobRoutingContext::StationNameFieldControl, &JobRoutingContext::StationNameFieldStatic},
};

EventHandlerRef InstallHandler(ControlRef control, EventHandlerProcPtr proc, UInt32 kind,
                               JobRoutingContext* context) {
    const EventTypeSpec eventType{kEventClassControl, kind};
    EventHandlerRef handler = nullptr;
    if (InstallControlEventHandler(control, NewEventHandlerUPP(proc), 1, &eventType, context,
                                   &handler) != noErr)
        return nullptr;
    return handler;
}

void MakeRoutingControls(JobRoutingContext* context, PPDContextViel ppd, std::int16_t mainIndex) {
    ControlRef pane = context->parentUserPane;
    ControlRef group = NewPaneControl(kPrintToGroupID, pane);
    context->printToGroupControl = group;
    if (group) EmbedAndShowControl(group, pane);

    const std::size_t options =
        std::min<std::size_t>({static_cast<std::size_t>(std::max<std::int16_t>(
                                   context->PPDPrintToUIHeader.numOptions, 0)),
                               context->PPDPrintToArrayRef.size(), kMaxRadioButtons});
    for (std::size_t i = 0; group && i < options; ++i) {
        const KeywordInfoArray& option = context->PPDPrintToArrayRef[i];
        ControlRef radio = NewPaneControl(static_cast<SInt16>(kFirstRadioID + i), pane);
        if (!radio) continue;
        context->printToControls[i] = radio;
        SetControlTitleWithCFString(radio, Localized(*context, option[kInfoOptionKeyword]));
        EmbedAndShowControl(radio, group);
        if (option[kInfoForbidden] == kForbiddenTrue) DisableControl(radio);
    }

    if (group) {
        SetControlValue(group, context->ptDefault);
        Str255 name{};
        ppdGetMainString(ppd, mainIndex, name);
        SetControlTitleWithCFString(group, Localized(*context, StringFromPString(name)));
        EmbedAndShowControl(group, pane);
    }
    context->printToLabel = NewPaneControl(kPrintToLabelID, pane);
    if (context->printToLabel) {
        SetControlText(context->printToLabel, Localized(*context, "Print To:"));
        EmbedAndShowControl(context->printToLabel, pane);
    }
    if (group) {
        SetControlValue(group, context->ptDefault);
        context->myControlHandler =
            InstallHandler(group, MyControlInterruptHandler, kEventControlHit, context);
    }

    for (const TextField& entry : kFields) {
        ControlRef field = NewPaneControl(entry.templateID, pane);
        if (!field) continue;
        context->*entry.field = field;
        EmbedControl(field, pane);
        context->*entry.labelControl =
            MakeFieldLabel(field, pane, Localized(*context, entry.label));
        SetEditTextKeyFilter(field, entry.filter);
    }

    const std::string localization = PreferredLocalization(*context);
    const bool coverSheet = localization != "Japanese" && localization != "Korean" &&
                            localization != "zh_CN" && localization != "zh_TW";
    if (coverSheet) {
        if ((context->CheckBoxControl = NewPaneControl(kCoverSheetCheckBoxID, pane))) {
            SetControlTitleWithCFString(context->CheckBoxControl,
                                        Localized(*context, "Include Cover Sheet"));
            EmbedControl(context->CheckBoxControl, pane);
            context->CheckBoxCtlHandler =
                InstallHandler(context->CheckBoxControl, ToggleEditCoverSheetButton,
                               kEventControlValueFieldChanged, context);
        }
        if ((context->EditButtonControl = NewPaneControl(kEditCoverSheetButtonID, pane))) {
            SetControlTitleWithCFString(context->EditButtonControl,
                                        Localized(*context, "Edit Cover Sheet..."));
            EmbedControl(context->EditButtonControl, pane);
            DeactivateControl(context->EditButtonControl);
            context->EditCoverSheetHandler = InstallHandler(
                context->EditButtonControl, OpenEditCoverSheetDlog, kEventControlHit, context);
        }
    }
    if (context->printButton)
        context->PrintButtonHandler = InstallHandler(context->printButton, printButtonEventHandler,
                                                     kEventControlHit, context);
}

// The PPD's checks and the controls they allow: 0, or the status with which the panel declines.
OSStatus MakeControls(JobRoutingContext* context, PMTicketRef printerInfo, ControlRef pane) {
    OpenPPD ppd(printerInfo);
    // A PPD that cannot be read leaves the panel without controls, as a missing one does.
    if (ppd.status() != kPPDNoErr) return kPDENoErr;
    context->encoding = kSystemTextEncoding;
    if (!IsQuorvanPrinter(ppd.get()) || !QorFeatureSupported(ppd.get(), kJobRoutingFeature))
        return kPDEDeclineErr;
    setInstallableOptions(ppd.get(), printerInfo);

    Str255 keyword{};
    PStringFromString(jr::kPrintTo, keyword);
    const std::int16_t mainIndex = ppdGetMainIndex(ppd.get(), keyword);
    if (mainIndex == 0 || ppdGetUIKeyType(ppd.get(), mainIndex) != kPPDUIKey ||
        ppdCountUIOptions(ppd.get(), mainIndex) < 2)
        return kPDENoContextErr;
    if (ppdGetUIHeader(ppd.get(), mainIndex, &context->PPDPrintToUIHeader)) {
        context->PPDPrintToArrayRef.clear();
        GetUIListFromPPD(ppd.get(), &context->PPDPrintToArrayRef, &context->PPDPrintToUIHeader,
                         &context->ptDefault);
    }

    GetWindowDefaultButton(GetControlOwner(pane), &context->printButton);
    context->parentUserPane = pane;
    MakeRoutingControls(context, ppd.get(), mainIndex);
    return kPDENoErr;
}

void ShowField(ControlRef field, ControlRef label) {
    SetControlVisibility(field, true, true);
    EnableControl(field);
    SetControlVisibility(label, true, true);
}

void UpdateModeFields(JobRoutingContext* context, bool userClick) {
    for (const TextField& entry : kFields) {
        DisableControl(context->*entry.field);
        SetControlVisibility(context->*entry.field, false, true);
        SetControlVisibility(context->*entry.labelControl, false, true);
    }
    SetControlVisibility(context->CheckBoxControl, false, true);
    SetControlVisibility(context->EditButtonControl, false, true);

    int p = -1;
    if (context->printToGroupControl && IsControlActive(context->printToGroupControl)) {
        p = GetControlValue(context->printToGroupControl) - 1;
        context->ptDefault = static_cast<std::int16_t>(p);
    }
    WindowRef window = GetControlOwner(context->parentUserPane);
    if (p == kPositionFax) {
        ShowField(context->RecipientNameFieldControl, context->RecipientNameFieldStatic);
        ShowField(context->TelephoneNumberFieldControl, context->TelephoneNumberFieldStatic);
        ShowField(context->StationNameFieldControl, context->StationNameFieldStatic);
        SetControlVisibility(context->CheckBoxControl, true, true);
        SetControlVisibility(context->EditButtonControl, true, true);
        if (userClick)
            SetKeyboardFocus(window, context->RecipientNameFieldControl, kControlEditTextPart);
    } else if (p >= kPositionConfidential && p <= kPositionVerify) {
        if (p == kPositionConfidential)
            ShowField(context->PrivateCodeFieldControl, context->PrivateCodeFieldStatic);
        ShowField(context->UserNameFieldControl, context->UserNameFieldStatic);
        if (userClick)
            SetKeyboardFocus(window, context->UserNameFieldControl, kControlEditTextPart);
    }
}

}  // namespace

std::string CutText(std::string_view text, std::size_t bytes) {
    std::size_t end = std::min(text.size(), bytes);
    // Back off continuation bytes so that the cut falls between characters.
    if (end < text.size())
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

std::string PreferredLocalization(const JobRoutingContext& context) {
    return context.theBundleRef ? context.theBundleRef->preferredLocalization()
                                : std::string("English");
}

std::string Localized(const JobRoutingContext& context, std::string_view key) {
    return context.theBundleRef ? context.theBundleRef->localizedString(key) : std::string(key);
}

std::optional<std::string> FieldText(ControlRef field, bool clear) {
    if (!field) return std::nullopt;
    std::string text;
    if (!clear) {
        if (CopyControlText(field, &text) != noErr) return std::nullopt;
        return text;
    }
    Size size = 0;
    if (GetControlDataSize(field, kControlEntireControl, kControlEditTextPasswordTag, &size) !=
        noErr)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(size));
    if (size > 0 && GetControlData(field, kControlEntireControl, kControlEditTextPasswordTag, size,
                                   text.data(), &size) != noErr)
        return std::nullopt;
    return text;
}

OSStatus InitContext(JobRoutingContext&) {
    // Every field starts empty by its own initializer.
    return kPDENoErr;
}

OSStatus Initialize(JobRoutingContext* context, PMPDEFlags* flags, std::int32_t,
                    ControlRef parentUserPane, PMPrintSession printSession) {
    if (!context || !printSession) return kPDEDeclineErr;
    context->thisPrintSession = printSession;

    PMTicketRef printerInfo = nullptr;
    const bool haveTicket =
        GetTicketFromSession(printSession, kPDE_PMPrinterInfoRef, &printerInfo) == kPDENoErr;
    OSStatus status = kPDENoErr;
    if (haveTicket) {
        status = PMTicketGetItem(printerInfo, kPMTopLevel, kPMTopLevel, kPMCompiledPPDKey, nullptr);
        if (IsUSBPrinter(printSession)) return kPDEDeclineErr;
    }
    if (haveTicket && status == kPMNoError && parentUserPane) {
        status = MakeControls(context, printerInfo, parentUserPane);
        if (status != kPDENoErr) return status;
    }

    if (flags) *flags = 0;
    status = Sync(context, printSession, true);
    return status == kPDESyncKeyNotFound ? kPDENoErr : status;
}

OSStatus MyControlInterruptHandler(EventHandlerCallRef call, EventRef event, void* userData) {
    auto* context = static_cast<JobRoutingContext*>(userData);
    if (context) UpdateModeFields(context, event != nullptr);
    if (event) return CallNextEventHandler(call, event);
    return noErr;
}

OSStatus ToggleEditCoverSheetButton(EventHandlerCallRef call, EventRef event, void* userData) {
    if (event) CallNextEventHandler(call, event);
    auto* context = static_cast<JobRoutingContext*>(userData);
    if (!context || !context->CheckBoxControl || !context->EditButtonControl) return noErr;
    if (GetControl32BitValue(context->CheckBoxControl) == kControlCheckBoxCheckedValue)
        ActivateControl(context->EditButtonControl);
    else
        DeactivateControl(context->EditButtonControl);
    return noErr;
}

bool IsUSBDeviceLine(std::string_view firstLine) {
    return firstLine.find("usb") != std::string_view::npos;
}

bool IsUSBPrinter(PMPrintSession printSession) {
    PMPrinter printer = nullptr;
    if (PMSessionGetCurrentPrinter(printSession, &printer) != kPMNoError) return false;
    const std::string queue(PMPrinterGetID(printer));
    // Without a queue name there is nothing to ask lpstat about.
    if (queue.empty()) return false;

    const char* program = std::getenv(kLpstatVariable);
    if (!program || !*program) program = kLpstatPath;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The queue name travels as one argument, never through a shell.
    char arg0[] = "lpstat";
    char arg1[] = "-v";
    char* argv[] = {arg0, arg1, const_cast<char*>(queue.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return false;
    }

    std::string line;
    bool lineDone = false;
    char buffer[512];
    for (;;) {
        const ssize_t got = read(fds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        // Read to the end so that the program never blocks on a full pipe.
        for (ssize_t i = 0; i < got && !lineDone; ++i) {
            if (buffer[i] == '\n' || line.size() == kLpstatLineLength)
                lineDone = true;
            else
                line.push_back(buffer[i]);
        }
    }
    close(fds[0]);
    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    return IsUSBDeviceLine(line);
}

void Terminate(JobRoutingContext& context) {
    context.thisPrintSession = nullptr;
    for (EventHandlerRef* handler :
         {&context.myControlHandler, &context.myPhoneTextHandler, &context.EditCoverSheetHandler,
          &context.CheckBoxCtlHandler, &context.PrintButtonHandler}) {
        if (*handler) RemoveEventHandler(*handler);
        *handler = nullptr;
    }
    // The panel's controls go with it, so that a pane reused by the host is left clean.
    for (ControlRef& radio : context.printToControls) {
        DisposeControl(radio);
        radio = nullptr;
    }
    for (ControlRef* control :
         {&context.printToGroupControl, &context.printToLabel, &context.UserNameFieldControl,
          &context.UserNameFieldStatic, &context.PrivateCodeFieldControl,
          &context.PrivateCodeFieldStatic, &context.RecipientNameFieldControl,
          &context.RecipientNameFieldStatic, &context.TelephoneNumberFieldControl,
          &context.TelephoneNumberFieldStatic, &context.StationNameFieldControl,
          &context.StationNameFieldStatic, &context.CheckBoxControl, &context.EditButtonControl}) {
        DisposeControl(*control);
        *control = nullptr;
    }
}

// The frame's view of this panel.
struct JobRoutingPanel {
    static constexpr const pde::PanelConstants& kConstants = pde::kJobRoutingPanel;
    using Context = JobRoutingContext;
    static OSStatus InitContext(Context& c) { return jrpanel::InitContext(c); }
    static OSStatus Initialize(Context* c, PMPDEFlags* flags, std::int32_t ref, ControlRef pane,
                               PMPrintSession session) {
        return jrpanel::Initialize(c, flags, ref, pane, session);
    }
    static OSStatus Sync(Context* c, PMPrintSession session, Boolean direction) {
        return jrpanel::Sync(c, session, direction);
    }
    static OSStatus GetSummaryText(Context* c, QorArrayRef* titles, QorArrayRef* summaries) {
        return jrpanel::GetSummaryText(c, titles, summaries);
    }
    static void Terminate(Context& c) { jrpanel::Terminate(c); }
};

}  // namespace qor::jrpanel

QOR_PDE_EXPORT_FACTORY(JobRoutingPluginFactory, qor::jrpanel::JobRoutingPanel)
