// The Job Routing panel's input rules: the key filters of its five fields and the check of the
// required fields when the user clicks Print.
#include <string>
#include <vector>

#include "JobRoutingPanel.h"

namespace qor::jrpanel {

namespace {

constexpr std::size_t kUserNameLongest = 32;
constexpr std::size_t kPINLongest = 4;
constexpr std::size_t kRecipientLongest = 45;
constexpr std::size_t kPhoneLongest = 60;
constexpr std::size_t kStationLongest = 20;

constexpr std::string_view kPINCharacters = "123456";
constexpr std::string_view kPhoneCharacters = "0123456789 #&()*,-@W^";

bool IsMotionKey(unsigned char ch) {
    return ch == 8 || (ch >= 28 && ch <= 31);
}

bool AllAccepted(std::string_view text, std::string_view accepted) {
    return accepted.empty() || text.find_first_not_of(accepted) == std::string_view::npos;
}

// Passes a key of the accepted set (any key when the set is empty) and the motion keys; the
// others, and any but a motion key once the field is full, are blocked with a beep.
ControlKeyFilterResult FilterKey(ControlRef field, const SInt16* charCode,
                                 const EventModifiers* modifiers, std::string_view accepted,
                                 std::size_t longest) {
    const auto ch = static_cast<unsigned char>(*charCode & 0xFF);
    if (modifiers && (*modifiers & cmdKey)) {
        // Command keys add no text, except a paste, which must keep to the field's rules as
        // typing does.
        if (ch != 'v' && ch != 'V') return kControlKeyFilterPassKey;
        const auto pasted = ClipboardText();
        if (pasted && AllAccepted(*pasted, accepted) &&
            CharacterCount(FieldText(field, true).value_or("")) + CharacterCount(*pasted) <=
                longest)
            return kControlKeyFilterPassKey;
        SysBeep(1);
        return kControlKeyFilterBlockKey;
    }
    const bool motion = IsMotionKey(ch);
    bool pass = motion || accepted.empty() || accepted.find(static_cast<char>(ch)) != accepted.npos;
    // The clear text counts, also in the PIN field, whatever part of it is selected.
    if (pass && !motion && CharacterCount(FieldText(field, true).value_or("")) >= longest)
        pass = false;
    if (pass) return kControlKeyFilterPassKey;
    SysBeep(1);
    return kControlKeyFilterBlockKey;
}

}  // namespace

std::optional<std::string> ClipboardText() {
    ScrapRef scrap = nullptr;
    Size size = 0;
    if (GetCurrentScrap(&scrap) != noErr ||
        GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size) != noErr || size <= 0)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, text.data()) != noErr)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(size));
    return text;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (unsigned char byte : text)
        if ((byte & 0xC0) != 0x80) ++count;
    return count;
}

OSStatus SetEditTextKeyFilter(ControlRef field, ControlKeyFilterUPP filter) {
    if (!field || !filter) return paramErr;
    return SetControlData(field, kControlEntireControl, kControlEditTextKeyFilterTag, sizeof filter,
                          &filter);
}

ControlKeyFilterResult UserNameInterruptHandler(ControlRef field, SInt16*, SInt16* charCode,
                                                EventModifiers* modifiers) {
    return FilterKey(field, charCode, modifiers, {}, kUserNameLongest);
}

ControlKeyFilterResult PINFilter(ControlRef field, SInt16*, SInt16* charCode,
                                 EventModifiers* modifiers) {
    return FilterKey(field, charCode, modifiers, kPINCharacters, kPINLongest);
}

ControlKeyFilterResult GeneralMaxInterruptHandler(ControlRef field, SInt16*, SInt16* charCode,
                                                  EventModifiers* modifiers) {
    return FilterKey(field, charCode, modifiers, {}, kRecipientLongest);
}

ControlKeyFilterResult PhoneNumericFilter(ControlRef field, SInt16*, SInt16* charCode,
                                          EventModifiers* modifiers) {
    return FilterKey(field, charCode, modifiers, kPhoneCharacters, kPhoneLongest);
}

ControlKeyFilterResult StationNameFilter(ControlRef field, SInt16*, SInt16* charCode,
                                         EventModifiers* modifiers) {
    return FilterKey(field, charCode, modifiers, {}, kStationLongest);
}

OSStatus printButtonEventHandler(EventHandlerCallRef, EventRef event, void* userData) {
    auto* context = static_cast<JobRoutingContext*>(userData);
    if (!context || !event || GetEventClass(event) != kEventClassControl ||
        GetEventKind(event) != kEventControlHit)
        return eventNotHandledErr;
    ControlRef hit = nullptr;
    if (GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr, sizeof hit,
                          nullptr, &hit) != noErr ||
        !hit || hit != context->printButton)
        return eventNotHandledErr;

    struct Required {
        ControlRef field;
        const char* message;
    };
    std::vector<Required> required;
    switch (context->ptDefault) {
        case kPositionFax:
            required = {
                {context->RecipientNameFieldControl, "Please enter a recipient name for the fax."},
                {context->TelephoneNumberFieldControl,
                 "Please enter a telephone number for the fax."},
                {context->StationNameFieldControl,
                 "Pleae enter a station name representing your location."}};
            break;
        case kPositionConfidential:
            required = {{context->UserNameFieldControl, "Please enter a user name."},
                        {context->PrivateCodeFieldControl,
                         "Please enter a 4-digit PIN, using the numbers 1-6."}};
            break;
        case kPositionRepeat:
        case kPositionReserve:
        case kPositionVerify:
            required = {{context->UserNameFieldControl, "Please enter a user name."}};
            break;
        default:
            break;
    }
    for (const Required& r : required) {
        const auto text = FieldText(r.field, true);
        if (!text || !text->empty()) continue;
        SetKeyboardFocus(GetControlOwner(r.field), r.field, kControlEditTextPart);
        PostStopAlert(r.message, context->theBundleRef);
        return noErr;  // the click is used up: the dialog stays open and nothing prints
    }
    return eventNotHandledErr;
}

OSStatus PostStopAlert(std::string_view messageKey, const core::Bundle* bundle) {
    const std::string message =
        bundle ? bundle->localizedString(messageKey) : std::string(messageKey);
    DialogItemIndex item = 0;
    StandardAlert(kAlertStopAlert, message, "", nullptr, &item);
    return noErr;
}

}  // namespace qor::jrpanel
