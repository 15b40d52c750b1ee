// The option panel engine shared by the Color, Finishing, Imaging and Paper Handling panels.
#include "OptionPanel.h"

#include <string>
#include <vector>

#include "PrintSession.h"
#include "PrinterChecks.h"
#include "TicketHelpers.h"

namespace qor::pde {

namespace {

constexpr std::string_view kOnText = "On";

bool isCheckBox(const KeySetInfo& info) {
    return info.PPDUISetRef[kUISetPickConstraint] == kPPDBoolean;
}

// True when the keyword lists its "On" option before the other one.
bool onListedFirst(const KeywordInfoList& options) {
    return options.size() == 2 && options[0][kInfoTranslation] == kOnText &&
           options[1][kInfoTranslation] != kOnText;
}

// The option entry a control's value stands for, or null when the value names none.
const KeywordInfoArray* chosenEntry(const KeySetInfo& info, SInt32 value) {
    const KeywordInfoList& options = info.PPDkeyInfoArrayRef;
    const long position = isCheckBox(info)
                              ? static_cast<long>(CheckBoxOptionPosition(options, value))
                              : static_cast<long>(value) - 1;
    if (position < 0 || static_cast<std::size_t>(position) >= options.size()) return nullptr;
    return &options[static_cast<std::size_t>(position)];
}

// The key set of one listed keyword, or nothing when the PPD does not offer it as a control.
// found tells whether the PPD knows the keyword at all.
bool readKeySet(PPDContextViel ppd, const std::string& keyword, KeySetInfo* info, bool* found) {
    Str255 name;
    PStringFromString(keyword, name);
    const std::int16_t mainIndex = ppdGetMainIndex(ppd, name);
    if (mainIndex == 0) return false;
    *found = true;
    if (ppdGetUIKeyType(ppd, mainIndex) != kPPDUIKey || ppdCountUIOptions(ppd, mainIndex) < 1)
        return false;
    xUIHeader header;
    if (!ppdGetUIHeader(ppd, mainIndex, &header)) return false;
    info->keyStringRef = keyword;
    GetUIListFromPPD(ppd, &info->PPDkeyInfoArrayRef, &header, &info->keyDefault);
    SaveUIHeaderSet(&header, &info->PPDUISetRef);
    return true;
}

// Builds the key sets of the bundle's keywords; false when the panel does not serve the
// printer. A bundle that lists no keywords serves every printer with an empty pane.
bool buildKeySets(const OptionPanelFields& fields, PPDContextViel ppd) {
    const core::Bundle* bundle = fields.head.theBundleRef;
    const core::Array* keywords =
        bundle != nullptr ? bundle->infoDictionary().findArray(kPMPPDKeysSupportedKey) : nullptr;
    if (keywords == nullptr) return true;
    fields.PPDKeySetInfoRef = std::make_unique<KeySetList>();
    bool needed = false;
    for (const core::Value& listed : *keywords) {
        const std::string* keyword = listed.asString();
        if (keyword == nullptr) continue;
        KeySetInfo info;
        if (readKeySet(ppd, *keyword, &info, &needed)) fields.PPDKeySetInfoRef->append(info);
    }
    return needed && IsQuorvanPrinter(ppd);
}

void makeControls(const OptionPanelFields& fields, const OptionPanelParameters& parameters,
                  const OptionPanelAdditions& additions, PPDContextViel ppd) {
    ControlRef pane = fields.head.parentUserPane;
    PositionControl(pane, &fields.currentContrlRect);
    KeySetList& list = *fields.PPDKeySetInfoRef;
    for (std::size_t i = 0; i < list.count(); ++i) {
        KeySetInfo& info = *list.at(i);
        if (additions.beforeControl) additions.beforeControl();
        CreateControlFromContext(ppd, &fields.currentContrlRect, fields.head.theBundleRef,
                                 &fields.lastControlType, pane, &info,
                                 parameters.controlIDBase + static_cast<SInt32>(10 * i));
        if (additions.afterControl) additions.afterControl(info);
    }
    // The pane ends just below the last control, so the host can size its window to it.
    Rect bounds;
    GetControlBounds(pane, &bounds);
    bounds.bottom = static_cast<short>(fields.currentContrlRect.top + 10);
    SetControlBounds(pane, &bounds);
}

std::size_t keySetCount(const OptionPanelFields& fields) {
    return fields.PPDKeySetInfoRef ? fields.PPDKeySetInfoRef->count() : 0;
}

void setControlsFromSettings(const OptionPanelFields& fields, const core::Dictionary& settings) {
    for (std::size_t i = 0; i < keySetCount(fields); ++i) {
        const KeySetInfo& info = *fields.PPDKeySetInfoRef->at(i);
        const KeywordInfoList& options = info.PPDkeyInfoArrayRef;
        const std::string* chosen =
            options.empty() ? nullptr : settings.findString(options[0][kInfoMainKeyword]);
        const std::int16_t position =
            chosen != nullptr
                ? FindPPDKeyPairsMatch(&options, options[0][kInfoMainKeyword], *chosen)
                : -1;
        if (position < 0) {
            SetControlToDefault(&info);
            continue;
        }
        const auto p = static_cast<std::size_t>(position);
        SetControl32BitValue(info.keyControlRef, isCheckBox(info)
                                                     ? CheckBoxValueForPosition(options, p)
                                                     : static_cast<SInt32>(p) + 1);
    }
}

OSStatus storeControls(const OptionPanelFields& fields, PMTicketRef settingsTicket) {
    OSStatus result = kPDENoErr;
    for (std::size_t i = 0; i < keySetCount(fields); ++i) {
        const KeySetInfo& info = *fields.PPDKeySetInfoRef->at(i);
        if (!IsControlActive(info.keyControlRef)) continue;
        const KeywordInfoArray* entry = chosenEntry(info, GetControl32BitValue(info.keyControlRef));
        if (entry == nullptr) continue;
        core::Dictionary* settings = nullptr;
        const OSStatus status =
            PMTicketGetPPDDict(settingsTicket, kPMTopLevel, kPMTopLevel, &settings);
        if (status != kPMNoError) {
            result = status;
            continue;
        }
        settings->set((*entry)[kInfoMainKeyword], core::Value((*entry)[kInfoOptionKeyword]));
    }
    return result;
}

}  // namespace

std::size_t CheckBoxOptionPosition(const KeywordInfoList& options, SInt32 value) {
    const auto position = static_cast<std::size_t>(value < 0 ? 0 : value);
    return onListedFirst(options) ? 1 - std::min<std::size_t>(position, 1) : position;
}

SInt32 CheckBoxValueForPosition(const KeywordInfoList& options, std::size_t position) {
    if (onListedFirst(options)) return position == 0 ? 1 : 0;
    return static_cast<SInt32>(position);
}

OSStatus OptionPanelInitialize(const OptionPanelFields& fields,
                               const OptionPanelParameters& parameters,
                               const OptionPanelAdditions& additions, PMPDEFlags* flags,
                               ControlRef parentUserPane, PMPrintSession printSession) {
    if (printSession == nullptr) return kPDENoContextErr;

    PMTicketRef printerInfo = nullptr;
    if (GetTicketFromSession(printSession, kPDE_PMPrinterInfoRef, &printerInfo) == kPDENoErr &&
        PMTicketGetItem(printerInfo, kPMTopLevel, kPMTopLevel, kPMCompiledPPDKey, nullptr) ==
            kPMNoError) {
        PPDContextViel ppd = nullptr;
        PPDFileRef file = nullptr;
        const OSStatus opened = ppdOpenCompiledPPDFromTicket(printerInfo, &ppd, &file);
        fields.head.encoding = kPDETextEncodingSystem;
        if (opened == kPPDNoErr) {
            setInstallableOptions(ppd, printerInfo);
            // A declining panel still closes the PPD it opened.
            OSStatus decline = additions.installedGate ? additions.installedGate(ppd) : kPDENoErr;
            if (decline == kPDENoErr && !buildKeySets(fields, ppd))
                decline = parameters.declineResult;
            if (decline != kPDENoErr) {
                ppdCloseCompiledPPDFromTicket(ppd, file);
                return decline;
            }
            fields.head.parentUserPane = parentUserPane;
            if (fields.PPDKeySetInfoRef) makeControls(fields, parameters, additions, ppd);
        }
        ppdCloseCompiledPPDFromTicket(ppd, file);
    }

    if (flags != nullptr) *flags = 0;
    const OSStatus status = OptionPanelSync(fields, additions, printSession, true);
    return status == kPDESyncKeyNotFound ? kPDENoErr : status;
}

OSStatus OptionPanelSync(const OptionPanelFields& fields, const OptionPanelAdditions& additions,
                         PMPrintSession printSession, Boolean syncDirection) {
    if (printSession == nullptr) return kPDESyncNoSessionErr;
    PMTicketRef settingsTicket = nullptr;
    OSStatus status = GetTicketRef(printSession, kPDE_PMPrintSettingsRef, &settingsTicket);
    if (status != kPDENoErr) return status;
    if (syncDirection) {
        core::Dictionary* settings = nullptr;
        status = PMTicketGetPPDDict(settingsTicket, kPMTopLevel, kPMTopLevel, &settings);
        if (status != kPMNoError) return status;
        setControlsFromSettings(fields, *settings);
        return kPDENoErr;
    }
    if (additions.beforeStore) additions.beforeStore();
    return storeControls(fields, settingsTicket);
}

OSStatus OptionPanelGetSummaryText(const OptionPanelFields& fields, QorArrayRef* titleArray,
                                   QorArrayRef* summaryArray) {
    if (titleArray == nullptr || summaryArray == nullptr) return kPDEMemFullErr;
    std::vector<std::string> titles;
    std::vector<std::string> summaries;
    OSStatus result = kPDENoErr;
    const core::Bundle* bundle = fields.head.theBundleRef;
    for (std::size_t i = 0; i < keySetCount(fields); ++i) {
        const KeySetInfo& info = *fields.PPDKeySetInfoRef->at(i);
        ControlRef control = info.keyControlRef;
        if (!IsControlActive(control)) continue;
        std::string title;
        if (CopyControlTitleAsCFString(control, &title) != noErr)
            title = PDELocalizedText(bundle, "Feature");
        std::string summary;
        const SInt32 value = GetControl32BitValue(control);
        if (isCheckBox(info)) {
            summary = PDELocalizedText(bundle, value == 0 ? "Off" : "On");
        } else {
            // The lists stay in step: an item that cannot be read gives an empty summary.
            const OSStatus status = CopyMenuItemTextAsCFString(
                info.keyMenuRef, static_cast<MenuItemIndex>(value), &summary);
            if (status != noErr) {
                summary.clear();
                result = status;
            }
        }
        titles.push_back(std::move(title));
        summaries.push_back(std::move(summary));
    }
    if (keySetCount(fields) == 0) return result;
    core::Ref titleList = core::makeStringArray(titles);
    core::Ref summaryList = core::makeStringArray(summaries);
    if (!titleList || !summaryList) return kPDEMemFullErr;
    *titleArray = titleList.release();
    *summaryArray = summaryList.release();
    return result;
}

void OptionPanelFreeKeySets(const OptionPanelFields& fields) {
    // The popups do not own their menus; the panel that made them frees them.
    for (std::size_t i = 0; i < keySetCount(fields); ++i)
        DisposeMenu(fields.PPDKeySetInfoRef->at(i)->keyMenuRef);
    fields.PPDKeySetInfoRef.reset();
}

}  // namespace qor::pde
