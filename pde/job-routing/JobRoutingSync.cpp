// Moves the Job Routing settings between the panel and the print-settings ticket, and gives
// the panel's part of the print dialog's summary.
#include <string>
#include <vector>

#include "JobRoutingOptions.h"
#include "JobRoutingPanel.h"
#include "Objects.h"
#include "PrintSession.h"
#include "TicketHelpers.h"

namespace qor::jrpanel {

namespace {

using core::Dictionary;

// The page count the editor offers while the settings hold none.
constexpr std::string_view kDefaultPageCount = "1";

std::optional<std::string> TicketText(PMTicketRef ticket, std::string_view key) {
    std::string value;
    if (PMTicketGetCFString(ticket, kPMTopLevel, kPMTopLevel, key, &value) != kPMNoError)
        return std::nullopt;
    return value;
}

// A cover-sheet option restored into its pending text and its display copy.
struct CoverSheetOption {
    std::string_view key;
    std::optional<std::string> CoverSheetFields::*pending;
    std::string CoverSheetFields::*display;
};

constexpr CoverSheetOption kSenderOptions[] = {
    {jr::kCSName, &CoverSheetFields::SenderNameFieldText, &CoverSheetFields::faxCoverName},
    {jr::kCSCompany, &CoverSheetFields::CompanyNameFieldText, &CoverSheetFields::faxCoverCompany},
    {jr::kCSAddr1, &CoverSheetFields::AddressFieldText1, &CoverSheetFields::faxCoverAddress1},
    {jr::kCSAddr2, &CoverSheetFields::AddressFieldText2, &CoverSheetFields::faxCoverAddress2},
    {jr::kCSSendFax, &CoverSheetFields::SendingFaxFieldText, &CoverSheetFields::faxCoverFax},
    {jr::kCSSendVoice, &CoverSheetFields::VoiceFieldText, &CoverSheetFields::faxCoverVoice},
    {jr::kCSEmail, &CoverSheetFields::EmailFieldText, &CoverSheetFields::faxCoverEmail},
};
constexpr CoverSheetOption kRecipientOption{
    jr::kCSRecipient, &CoverSheetFields::RecipientNameFieldText, &CoverSheetFields::recText};
constexpr CoverSheetOption kRecVoiceOption{
    jr::kCSRecVoice, &CoverSheetFields::RecVoiceNumberFieldText, &CoverSheetFields::recVoiceText};
constexpr CoverSheetOption kPagesOption{jr::kCSPages, &CoverSheetFields::PagesFieldText,
                                        &CoverSheetFields::faxCoverPages};

// A text the ticket holds becomes, decoded, a pending text and its display copy; one it lacks
// leaves both as they are.
void RestoreText(PMTicketRef ticket, std::string_view key, std::optional<std::string>& pending,
                 std::string& display) {
    if (auto value = TicketText(ticket, key)) {
        std::string plain = jr::decodeSpecialCharacters(*value);
        display = DisplayCopy(plain);
        pending = std::move(plain);
    }
}

void RestoreCoverSheetOption(JobRoutingContext* context, PMTicketRef ticket,
                             const CoverSheetOption& option) {
    RestoreText(ticket, option.key, context->*option.pending, context->*option.display);
}

void Reset(JobRoutingContext* context) {
    if (context->printToGroupControl) SetControlValue(context->printToGroupControl, 1);
    if (context->CheckBoxControl) SetControl32BitValue(context->CheckBoxControl, 0);
    ToggleEditCoverSheetButton(nullptr, nullptr, context);
    for (ControlRef field :
         {context->UserNameFieldControl, context->PrivateCodeFieldControl,
          context->RecipientNameFieldControl, context->TelephoneNumberFieldControl,
          context->StationNameFieldControl})
        if (field) SetControlText(field, "");
    context->UserNameFieldText.reset();
    context->RecipientNameFieldText.reset();
    context->PrivateCodeFieldText.reset();
    context->StationNameFieldText.reset();
    context->TelephoneNumberFieldText.reset();
    for (auto& comment : context->CommentsFieldText) comment.reset();
    context->phoneText.clear();
    for (const auto& option : kSenderOptions) (context->*option.display).clear();
    for (auto& comment : context->faxCoverComments) comment.clear();
    context->recText.clear();
    context->recVoiceText.clear();
    context->faxCoverPages.clear();
}

void SelectFirstEnabledOption(JobRoutingContext* context) {
    for (std::size_t i = 0; i < context->printToControls.size(); ++i) {
        ControlRef radio = context->printToControls[i];
        if (radio && IsControlEnabled(radio)) {
            SetControlValue(context->printToGroupControl, static_cast<SInt16>(i + 1));
            return;
        }
    }
}

void SetFieldFromTicket(ControlRef field, PMTicketRef ticket, std::string_view key) {
    if (auto value = TicketText(ticket, key); value && field)
        SetControlText(field, jr::decodeSpecialCharacters(*value));
}

OSStatus Restore(JobRoutingContext* context, PMTicketRef ticket) {
    Dictionary* ppdDict = nullptr;
    OSStatus status = PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &ppdDict);
    if (status != kPMNoError || !ppdDict) return status;
    Reset(context);
    context->faxCoverPages = kDefaultPageCount;

    const core::Value* printTo = ppdDict->find(jr::kPrintTo);
    if (!printTo) return kPDENoErr;
    std::int16_t position = -1;
    if (const std::string* keyword = printTo->asString())
        position = FindPPDKeyPairsMatch(&context->PPDPrintToArrayRef, jr::kPrintTo, *keyword);
    if (position >= 0 && context->printToGroupControl)
        SetControlValue(context->printToGroupControl, static_cast<SInt16>(position + 1));
    else if (context->printToGroupControl)
        SelectFirstEnabledOption(context);

    SetFieldFromTicket(context->UserNameFieldControl, ticket, jr::kUserName);
    SetFieldFromTicket(context->RecipientNameFieldControl, ticket, jr::kJobName);
    // The PIN is digits only, so it is kept as it was stored.
    if (auto pin = TicketText(ticket, jr::kHoldKey)) {
        context->PrivateCodeFieldText = *pin;
        if (context->PrivateCodeFieldControl)
            SetControlText(context->PrivateCodeFieldControl, *pin);
    }
    RestoreCoverSheetOption(context, ticket, kRecipientOption);
    RestoreText(ticket, jr::kPhoneNumber, context->TelephoneNumberFieldText, context->phoneText);
    RestoreCoverSheetOption(context, ticket, kRecVoiceOption);
    SetFieldFromTicket(context->StationNameFieldControl, ticket, jr::kStationID);

    const auto coverSheet = TicketText(ticket, jr::kCoverSheet);
    if (context->CheckBoxControl)
        SetControl32BitValue(context->CheckBoxControl,
                             coverSheet && *coverSheet == jr::kCoverSheetOn ? 1 : 0);
    ToggleEditCoverSheetButton(nullptr, nullptr, context);

    for (const auto& option : kSenderOptions) RestoreCoverSheetOption(context, ticket, option);
    for (std::size_t i = 0; i < kCommentLines; ++i)
        RestoreText(ticket, jr::kCSComments[i], context->CommentsFieldText[i],
                    context->faxCoverComments[i]);
    RestoreCoverSheetOption(context, ticket, kPagesOption);

    if (context->TelephoneNumberFieldText && context->TelephoneNumberFieldControl)
        SetControlText(context->TelephoneNumberFieldControl, *context->TelephoneNumberFieldText);
    return kPDENoErr;
}

OSStatus Store(JobRoutingContext* context, PMTicketRef ticket) {
    OSStatus status = kPDENoErr;
    ControlRef group = context->printToGroupControl;
    if (group && IsControlActive(group)) {
        const int chosen = GetControlValue(group) - 1;
        Dictionary* ppdDict = nullptr;
        if (chosen >= 0 && static_cast<std::size_t>(chosen) < context->PPDPrintToArrayRef.size() &&
            PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &ppdDict) == kPMNoError &&
            ppdDict) {
            const KeywordInfoArray& option = context->PPDPrintToArrayRef[chosen];
            ppdDict->set(option[kInfoMainKeyword], option[kInfoOptionKeyword]);
        }
    }
    auto put = [&](std::string_view key, std::string_view value) {
        status = PMTicketSetCFString(ticket, jr::kClientID, key, value, false);
    };
    auto putField = [&](std::string_view key, ControlRef field, bool clear) {
        put(key, jr::encodeSpecialCharacters(FieldText(field, clear).value_or("")));
    };
    putField(jr::kUserName, context->UserNameFieldControl, false);
    putField(jr::kJobName, context->RecipientNameFieldControl, false);
    putField(jr::kHoldKey, context->PrivateCodeFieldControl, true);
    putField(jr::kPhoneNumber, context->TelephoneNumberFieldControl, false);
    putField(jr::kStationID, context->StationNameFieldControl, false);
    const bool coverSheet =
        context->CheckBoxControl && GetControl32BitValue(context->CheckBoxControl) != 0;
    put(jr::kCoverSheet, coverSheet ? jr::kCoverSheetOn : jr::kCoverSheetOff);

    // A pending text stays pending after the store, so that storing again (the host may store
    // several times before printing) writes the same cover sheet instead of empty texts.
    auto putPending = [&](std::string_view key, const std::optional<std::string>& pending) {
        put(key, pending ? jr::encodeSpecialCharacters(*pending) : std::string());
    };
    putPending(jr::kCSRecipient, context->RecipientNameFieldText);
    putPending(jr::kCSRecVoice, context->RecVoiceNumberFieldText);
    for (const auto& option : kSenderOptions) putPending(option.key, context->*option.pending);
    for (std::size_t i = 0; i < kCommentLines; ++i)
        putPending(jr::kCSComments[i], context->CommentsFieldText[i]);
    putPending(jr::kCSPages, context->PagesFieldText);
    put(jr::kEncodingStr, PreferredLocalization(*context));
    return status;
}

// "Fax #:" gives "Fax #": a label that ends with colons loses them at both ends.
std::string SummaryTitle(std::string label) {
    if (label.empty() || label.back() != ':') return label;
    const auto first = label.find_first_not_of(':');
    if (first == std::string::npos) return {};
    const auto last = label.find_last_not_of(':');
    return label.substr(first, last - first + 1);
}

}  // namespace

OSStatus Sync(JobRoutingContext* context, PMPrintSession printSession, Boolean syncDirection) {
    if (!context || !printSession) return kPDESyncNoSessionErr;
    PMTicketRef ticket = nullptr;
    OSStatus status = GetTicketRef(printSession, kPDE_PMPrintSettingsRef, &ticket);
    if (status == kPDENoErr) {
        if (syncDirection == 1)
            status = Restore(context, ticket);
        else if (syncDirection == 0)
            status = Store(context, ticket);
    }
    MyControlInterruptHandler(nullptr, nullptr, context);
    return status;
}

OSStatus GetSummaryText(JobRoutingContext* context, QorArrayRef* titleArray,
                        QorArrayRef* summaryArray) {
    if (!context) return kPDENoContextErr;
    std::vector<std::string> titles, values;
    ControlRef group = context->printToGroupControl;
    const bool active = group && IsControlActive(group);
    if (active) {
        static constexpr const char* kLabels[] = {
            "Printer",      "Fax",           "Confidential Print",
            "Repeat Print", "Reserve Print", "Verify Print"};
        const int position = context->ptDefault;
        const char* label = position >= 1 && position <= 5 ? kLabels[position] : kLabels[0];
        titles.push_back(Localized(*context, "Print To:"));
        values.push_back(Localized(*context, label));
    }
    const int p = active ? GetControlValue(group) - 1 : -1;
    context->ptDefault = static_cast<std::int16_t>(p);

    std::vector<std::pair<ControlRef, ControlRef>> fields;
    if (p == kPositionFax) {
        fields = {{context->RecipientNameFieldStatic, context->RecipientNameFieldControl},
                  {context->TelephoneNumberFieldStatic, context->TelephoneNumberFieldControl},
                  {context->StationNameFieldStatic, context->StationNameFieldControl}};
    } else if (p >= kPositionConfidential && p <= kPositionVerify) {
        fields = {{context->UserNameFieldStatic, context->UserNameFieldControl}};
        if (p == kPositionConfidential)
            fields.emplace_back(context->PrivateCodeFieldStatic, context->PrivateCodeFieldControl);
    }
    for (const auto& [label, field] : fields) {
        // The PIN's shown text is its mask, so the summary never shows the digits.
        auto title = FieldText(label);
        auto value = FieldText(field);
        if (!title || !value) continue;
        titles.push_back(SummaryTitle(*title));
        values.push_back(*value);
    }

    core::Ref titleList = core::makeStringArray(titles);
    core::Ref valueList = core::makeStringArray(values);
    if (!titleList || !valueList) return kPDEMemFullErr;
    if (titleArray) *titleArray = titleList.release();
    if (summaryArray) *summaryArray = valueList.release();
    return kPDENoErr;
}

}  // namespace qor::jrpanel
