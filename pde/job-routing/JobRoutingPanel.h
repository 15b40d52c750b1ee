// The Job Routing panel: its context, entry points, handlers, key filters and cover-sheet editor.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "KeySets.h"
#include "PPDLib.h"
#include "PlugInFrame.h"
#include "Toolbox.h"

namespace qor::jrpanel {

// The encoding Initialize gives the context: every text of this system is UTF-8.
inline constexpr std::uint32_t kSystemTextEncoding = 0x08000100u;

// Template numbers of the panel's controls and of the editor dialog.
inline constexpr SInt16 kPrintToLabelID = 7110;
inline constexpr SInt16 kPrintToGroupID = 7120;
inline constexpr SInt16 kFirstRadioID = 7121;
inline constexpr SInt16 kUserNameFieldID = 7129;
inline constexpr SInt16 kPINFieldID = 7130;
inline constexpr SInt16 kRecipientFieldID = 7134;
inline constexpr SInt16 kPhoneFieldID = 7135;
inline constexpr SInt16 kStationFieldID = 7136;
inline constexpr SInt16 kCoverSheetCheckBoxID = 7140;
inline constexpr SInt16 kEditCoverSheetButtonID = 7141;
inline constexpr SInt16 kFaxCoverDialogID = -6484;

inline constexpr std::size_t kMaxRadioButtons = 6;
inline constexpr std::size_t kCommentLines = 6;
inline constexpr std::size_t kCommentBoxLines = 5;

// Routing modes by their 0-based position in the PPD's PrintTo list.
enum RoutingPosition : int {
    kPositionPrinter = 0,
    kPositionFax = 1,
    kPositionConfidential = 2,
    kPositionRepeat = 3,
    kPositionReserve = 4,
    kPositionVerify = 5
};

// A length-prefixed display copy holds at most this many bytes.
inline constexpr std::size_t kDisplayCopyBytes = 255;
// The longest start of text that fits in the given number of bytes without splitting a
// character.
std::string CutText(std::string_view text, std::size_t bytes);
inline std::string DisplayCopy(std::string_view text) {
    return CutText(text, kDisplayCopyBytes);
}

// The cover-sheet values the editor works on: a pending text (what the next store writes) and
// a display copy (what the editor shows) for each. Kept together so that the editor can take
// a snapshot and give it back on Cancel.
struct CoverSheetFields {
    std::optional<std::string> RecipientNameFieldText;
    std::string recText;
    std::optional<std::string> RecVoiceNumberFieldText;
    std::string recVoiceText;
    std::optional<std::string> SenderNameFieldText;
    std::string faxCoverName;
    std::optional<std::string> CompanyNameFieldText;
    std::string faxCoverCompany;
    std::optional<std::string> AddressFieldText1;
    std::string faxCoverAddress1;
    std::optional<std::string> AddressFieldText2;
    std::string faxCoverAddress2;
    std::optional<std::string> SendingFaxFieldText;
    std::string faxCoverFax;
    std::optional<std::string> VoiceFieldText;
    std::string faxCoverVoice;
    std::optional<std::string> EmailFieldText;
    std::string faxCoverEmail;
    std::array<std::optional<std::string>, kCommentLines> CommentsFieldText;
    std::array<std::string, kCommentLines> faxCoverComments;
    std::optional<std::string> PagesFieldText;
    std::string faxCoverPages;
};

struct JobRoutingContext : pde::PDEContextHead, CoverSheetFields {
    ControlRef printButton = nullptr;
    PMPrintSession thisPrintSession = nullptr;
    EventHandlerRef myControlHandler = nullptr;
    EventHandlerRef myPhoneTextHandler = nullptr;  // never installed
    EventHandlerRef EditCoverSheetHandler = nullptr;
    EventHandlerRef CheckBoxCtlHandler = nullptr;
    EventHandlerRef PrintButtonHandler = nullptr;
    KeywordInfoList PPDPrintToArrayRef;
    xUIHeader PPDPrintToUIHeader{};
    MenuRef PrintToMenuRef = nullptr;  // unused
    ControlRef printToGroupControl = nullptr;
    std::array<ControlRef, kMaxRadioButtons> printToControls{};
    ControlRef printToLabel = nullptr;
    std::int16_t ptDefault = 0;

    ControlRef UserNameFieldControl = nullptr;
    ControlRef UserNameFieldStatic = nullptr;
    std::optional<std::string> UserNameFieldText;
    ControlRef PrivateCodeFieldControl = nullptr;
    ControlRef PrivateCodeFieldStatic = nullptr;
    std::optional<std::string> PrivateCodeFieldText;
    ControlRef RecipientNameFieldControl = nullptr;
    ControlRef RecipientNameFieldStatic = nullptr;
    ControlRef TelephoneNumberFieldControl = nullptr;
    ControlRef TelephoneNumberFieldStatic = nullptr;
    std::optional<std::string> TelephoneNumberFieldText;
    std::string phoneText;
    ControlRef StationNameFieldControl = nullptr;
    ControlRef StationNameFieldStatic = nullptr;
    std::optional<std::string> StationNameFieldText;
    ControlRef CheckBoxControl = nullptr;
    ControlRef EditButtonControl = nullptr;
};

// ---- Life cycle (JobRoutingPanel.cpp)
OSStatus InitContext(JobRoutingContext& context);
OSStatus Initialize(JobRoutingContext* context, PMPDEFlags* flags, std::int32_t ref,
                    ControlRef parentUserPane, PMPrintSession printSession);
void Terminate(JobRoutingContext& context);
OSStatus MyControlInterruptHandler(EventHandlerCallRef call, EventRef event, void* context);
OSStatus ToggleEditCoverSheetButton(EventHandlerCallRef call, EventRef event, void* context);
bool IsUSBPrinter(PMPrintSession printSession);
// Whether a line of "lpstat -v" output names a USB device.
bool IsUSBDeviceLine(std::string_view firstLine);
// The localization of the panel's bundle that best matches the user's languages.
std::string PreferredLocalization(const JobRoutingContext& context);
// The translation of key from the panel's strings, the key itself when there is none.
std::string Localized(const JobRoutingContext& context, std::string_view key);
// A field's text, nothing when it cannot be read; the clear text of a password field with
// clear = true.
std::optional<std::string> FieldText(ControlRef field, bool clear = false);

// ---- Settings and summary (JobRoutingSync.cpp)
OSStatus Sync(JobRoutingContext* context, PMPrintSession printSession, Boolean syncDirection);
OSStatus GetSummaryText(JobRoutingContext* context, QorArrayRef* titleArray,
                        QorArrayRef* summaryArray);

// ---- Input rules (JobRoutingInput.cpp)
OSStatus SetEditTextKeyFilter(ControlRef field, ControlKeyFilterUPP filter);
ControlKeyFilterResult UserNameInterruptHandler(ControlRef field, SInt16* keyCode, SInt16* charCode,
                                                EventModifiers* modifiers);
ControlKeyFilterResult PINFilter(ControlRef field, SInt16* keyCode, SInt16* charCode,
                                 EventModifiers* modifiers);
ControlKeyFilterResult GeneralMaxInterruptHandler(ControlRef field, SInt16* keyCode,
                                                  SInt16* charCode, EventModifiers* modifiers);
ControlKeyFilterResult PhoneNumericFilter(ControlRef field, SInt16* keyCode, SInt16* charCode,
                                          EventModifiers* modifiers);
ControlKeyFilterResult StationNameFilter(ControlRef field, SInt16* keyCode, SInt16* charCode,
                                         EventModifiers* modifiers);
OSStatus printButtonEventHandler(EventHandlerCallRef call, EventRef event, void* context);
OSStatus PostStopAlert(std::string_view messageKey, const core::Bundle* bundle);
// Characters of UTF-8 text (not bytes): the length limits count what the user typed.
std::size_t CharacterCount(std::string_view text);
// The clipboard's text; nothing when it holds none.
std::optional<std::string> ClipboardText();

// ---- Cover-sheet editor (CoverSheetEditor.cpp)
OSStatus OpenEditCoverSheetDlog(EventHandlerCallRef call, EventRef event, void* context);
OSStatus GetFaxCoverText(JobRoutingContext* context);
Boolean FaxCoverDlgFilter(DialogRef dialog, EventRecord* event, DialogItemIndex* item);
bool isTextShortEnough(DialogRef dialog, std::size_t addedLength, std::size_t longestLength);
bool willTextFitInCommentsArea(DialogRef dialog, bool paste, std::size_t mostLines, char character);

}  // namespace qor::jrpanel
