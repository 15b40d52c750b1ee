// The fax cover sheet editor: a modal dialog over the panel's cover-sheet texts, with the
// length limits of its fields and the five-line rule of its comments box.
#include <string>
#include <vector>

#include "JobRoutingPanel.h"
#include "PPDControls.h"

namespace qor::jrpanel {

namespace {

enum EditorItem : DialogItemIndex {
    kOKItem = 1,
    kCancelItem = 2,
    kPagesItem = 3,
    kToNameItem = 4,
    kToVoiceItem = 5,
    kFromNameItem = 6,
    kCompanyItem = 7,
    kAddress1Item = 8,
    kAddress2Item = 9,
    kFaxItem = 10,
    kVoiceItem = 11,
    kEmailItem = 12,
    kCommentsItem = 13
};

constexpr char kEnter = 3;
constexpr char kTab = 9;
constexpr char kReturn = 13;
constexpr char kEscape = 27;
// A paste is tried against the comments box with at most this much of the clipboard.
constexpr std::size_t kMostPastedBytes = 1024;
// Labels start here; the e-mail label, being the widest, further left.
constexpr short kLabelLeft = 23;
constexpr short kEmailLabelLeft = 10;
constexpr short kLabelGap = 8;

struct EditorField {
    DialogItemIndex item;
    const char* label;
    std::optional<std::string> CoverSheetFields::*pending;  // null: not edited here
    std::string CoverSheetFields::*display;
};

// In the order the editor fills them: the focus ends in the last non-empty one.
constexpr EditorField kFillOrder[] = {
    {kEmailItem, "Email:", &CoverSheetFields::EmailFieldText, &CoverSheetFields::faxCoverEmail},
    {kVoiceItem, "Voice #:", &CoverSheetFields::VoiceFieldText, &CoverSheetFields::faxCoverVoice},
    {kFaxItem, "Fax #:", &CoverSheetFields::SendingFaxFieldText, &CoverSheetFields::faxCoverFax},
    {kAddress1Item, "Address 1:", &CoverSheetFields::AddressFieldText1,
     &CoverSheetFields::faxCoverAddress1},
    {kAddress2Item, "Address 2:", &CoverSheetFields::AddressFieldText2,
     &CoverSheetFields::faxCoverAddress2},
    {kCompanyItem, "Company:", &CoverSheetFields::CompanyNameFieldText,
     &CoverSheetFields::faxCoverCompany},
    {kFromNameItem, "Name:", &CoverSheetFields::SenderNameFieldText,
     &CoverSheetFields::faxCoverName},
    {kPagesItem, "Pages to Follow:", &CoverSheetFields::PagesFieldText,
     &CoverSheetFields::faxCoverPages},
};
constexpr EditorField kToVoiceField{kToVoiceItem,
                                    "Voice #:", &CoverSheetFields::RecVoiceNumberFieldText,
                                    &CoverSheetFields::recVoiceText};

const EditorField* FieldOfItem(DialogItemIndex item) {
    if (item == kToVoiceItem) return &kToVoiceField;
    for (const EditorField& field : kFillOrder)
        if (field.item == item) return &field;
    return nullptr;
}

ControlRef ItemControl(DialogRef dialog, DialogItemIndex item) {
    ControlRef control = nullptr;
    GetDialogItemAsControl(dialog, item, &control);
    return control;
}

std::size_t LongestTextOf(DialogItemIndex item) {
    switch (item) {
        case kPagesItem:
            return 4;
        case kToVoiceItem:
        case kFaxItem:
        case kVoiceItem:
            return 20;
        default:
            return 45;
    }
}

void MakeStaticText(WindowRef window, ControlRef root, const Rect& bounds, const std::string& text,
                    SInt16 justification) {
    ControlFontStyleRec style;
    style.flags = kControlUseJustMask;
    style.just = justification;
    ControlRef label = nullptr;
    if (CreateStaticTextControl(window, &bounds, text, &style, &label) == noErr)
        EmbedAndShowControl(label, root);
}

void MakeLabels(JobRoutingContext* context, DialogRef dialog) {
    WindowRef window = GetDialogWindow(dialog);
    ControlRef root = nullptr;
    GetRootControl(window, &root);
    std::vector<std::pair<DialogItemIndex, const char*>> labels = {{kToNameItem, "Name:"},
                                                                   {kToVoiceItem, "Voice #:"}};
    for (const EditorField& field : kFillOrder) labels.emplace_back(field.item, field.label);
    for (const auto& [item, text] : labels) {
        ControlRef control = ItemControl(dialog, item);
        if (!control) continue;
        Rect itemBounds;
        GetControlBounds(control, &itemBounds);
        const Rect bounds{itemBounds.top, item == kEmailItem ? kEmailLabelLeft : kLabelLeft,
                          itemBounds.bottom, static_cast<short>(itemBounds.left - kLabelGap)};
        MakeStaticText(window, root, bounds, Localized(*context, text), teFlushRight);
    }
    SetWindowTitleWithCFString(window, Localized(*context, "Facsimile Transmission Form"));
    SetControlTitleWithCFString(ItemControl(dialog, kOKItem), Localized(*context, "OK"));
    SetControlTitleWithCFString(ItemControl(dialog, kCancelItem), Localized(*context, "Cancel"));
    const std::pair<Rect, const char*> headings[] = {{{52, 16, 68, 149}, "To:"},
                                                     {{148, 16, 164, 149}, "From:"},
                                                     {{376, 16, 392, 149}, "Comments:"}};
    for (const auto& [bounds, text] : headings)
        MakeStaticText(window, root, bounds, Localized(*context, text), teFlushLeft);
}

void FillItem(DialogRef dialog, DialogItemIndex item, const std::string& text) {
    SetControlText(ItemControl(dialog, item), text);
    if (!text.empty()) SelectDialogItemText(dialog, item, 0, 32767);
}

// Each stored comment line on a line of its own, up to the last one that holds text, so that
// confirming the editor again gives back the same lines.
std::string JoinedComments(const CoverSheetFields& fields) {
    std::size_t count = fields.faxCoverComments.size();
    while (count > 0 && fields.faxCoverComments[count - 1].empty()) --count;
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text += kReturn;
        text += fields.faxCoverComments[i];
    }
    return text;
}

void FillDialog(JobRoutingContext* context, DialogRef dialog) {
    const std::string recipient = FieldText(context->RecipientNameFieldControl).value_or("");
    context->recText = DisplayCopy(recipient);
    SetControlText(ItemControl(dialog, kToNameItem), context->recText);
    DeactivateControl(ItemControl(dialog, kToNameItem));
    FillItem(dialog, kToVoiceItem, context->recVoiceText);
    SetControlText(ItemControl(dialog, kCommentsItem), JoinedComments(*context));
    SelectDialogItemText(dialog, kCommentsItem, 0, 32767);
    for (const EditorField& field : kFillOrder)
        FillItem(dialog, field.item, context->*field.display);
}

// Takes the comments box's lines as it lays them out, at most five.
void TakeComments(JobRoutingContext* context, DialogRef dialog) {
    std::vector<std::string> lines;
    GetTextBoxLines(ItemControl(dialog, kCommentsItem), &lines);
    for (std::size_t i = 0; i < kCommentLines; ++i) {
        std::string line = i < lines.size() && i < kCommentBoxLines ? lines[i] : std::string();
        if (!line.empty() && line.back() == kReturn) line.pop_back();
        context->faxCoverComments[i] = DisplayCopy(line);
        context->CommentsFieldText[i] = context->faxCoverComments[i];
    }
}

}  // namespace

OSStatus OpenEditCoverSheetDlog(EventHandlerCallRef, EventRef, void* userData) {
    auto* context = static_cast<JobRoutingContext*>(userData);
    if (context && context->CheckBoxControl &&
        GetControl32BitValue(context->CheckBoxControl) == kControlCheckBoxCheckedValue)
        GetFaxCoverText(context);
    return noErr;
}

OSStatus GetFaxCoverText(JobRoutingContext* context) {
    if (!context) return paramErr;
    // A click runs this outside the host's calls, so the panel's resources are made current here.
    pde::PDE_UseResFile useResFile(context->theResFile);
    const CoverSheetFields snapshot = *context;
    DialogRef dialog = GetNewDialog(kFaxCoverDialogID, nullptr, nullptr);
    if (!dialog) return memFullErr;
    MakeLabels(context, dialog);
    SetDialogDefaultItem(dialog, kOKItem);
    FillDialog(context, dialog);

    for (;;) {
        DialogItemIndex item = 0;
        ModalDialog(FaxCoverDlgFilter, &item);
        // No item at all means the dialog went away underneath the loop: asking again would
        // never end, so it counts as Cancel.
        if (item == kCancelItem || item <= 0) {
            static_cast<CoverSheetFields&>(*context) = snapshot;
            break;
        }
        if (item == kOKItem) {
            TakeComments(context, dialog);
            break;
        }
        if (const EditorField* field = FieldOfItem(item)) {
            context->*field->display =
                DisplayCopy(FieldText(ItemControl(dialog, item)).value_or(""));
            context->*field->pending = context->*field->display;
        }
    }
    DisposeDialog(dialog);
    return noErr;
}

Boolean FaxCoverDlgFilter(DialogRef dialog, EventRecord* event, DialogItemIndex* item) {
    if (!event || (event->what != keyDown && event->what != autoKey)) return false;
    const char ch = static_cast<char>(event->message & charCodeMask);
    const DialogItemIndex focus = GetDialogKeyboardFocusItem(dialog);
    auto refuse = [] {
        SysBeep(1);
        return true;
    };

    if (!(event->modifiers & cmdKey)) {
        if (ch == kEnter || ch == kEscape) {
            if (item) *item = ch == kEnter ? kOKItem : kCancelItem;
            return true;
        }
        if (ch == 8 || ch == kTab || (ch >= 28 && ch <= 31)) return false;
        if (ch == kReturn) {
            // A new line only in the comments box; elsewhere Return does nothing.
            if (focus != kCommentsItem) return true;
            return willTextFitInCommentsArea(dialog, false, kCommentBoxLines, ch) ? false
                                                                                  : refuse();
        }
        const bool fits = focus == kCommentsItem
                              ? willTextFitInCommentsArea(dialog, false, kCommentBoxLines, ch)
                              : isTextShortEnough(dialog, 1, LongestTextOf(focus));
        return fits ? false : refuse();
    }
    if (ch == 'V' || ch == 'v') {
        const auto clipboard = ClipboardText();
        if (!clipboard) return refuse();
        const bool fits =
            focus == kCommentsItem
                ? willTextFitInCommentsArea(dialog, true, kCommentBoxLines, 0)
                : isTextShortEnough(dialog, CharacterCount(*clipboard), LongestTextOf(focus));
        return fits ? false : refuse();
    }
    return false;
}

bool isTextShortEnough(DialogRef dialog, std::size_t addedLength, std::size_t longestLength) {
    ControlRef field = ItemControl(dialog, GetDialogKeyboardFocusItem(dialog));
    const std::string text = FieldText(field, true).value_or("");
    ControlEditTextSelectionRec selection;
    std::size_t selected = 0;
    if (GetControlData(field, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                       &selection, nullptr) == noErr) {
        const auto start =
            std::min<std::size_t>(std::max<SInt16>(selection.selStart, 0), text.size());
        const auto end = std::min<std::size_t>(std::max<SInt16>(selection.selEnd, 0), text.size());
        if (end > start)
            selected = CharacterCount(std::string_view(text).substr(start, end - start));
    }
    return CharacterCount(text) - selected + addedLength <= longestLength;
}

bool willTextFitInCommentsArea(DialogRef dialog, bool paste, std::size_t mostLines,
                               char character) {
    ControlRef box = ItemControl(dialog, kCommentsItem);
    std::vector<std::string> lines;
    if (GetTextBoxLines(box, &lines) != noErr) return false;
    if (!paste && character == kReturn && lines.size() >= mostLines) return false;

    std::string candidate;
    if (paste) {
        // Keep a cut character whole, and count the clipboard's line feeds as new lines.
        candidate = CutText(ClipboardText().value_or(""), kMostPastedBytes);
        for (char& c : candidate)
            if (c == '\n') c = kReturn;
    } else {
        // Only the low byte of a typed character is known; a wide letter stands in for one
        // beyond ASCII.
        candidate = static_cast<unsigned char>(character) < 0x80 ? std::string(1, character) : "M";
    }

    std::string text = FieldText(box, true).value_or("");
    ControlEditTextSelectionRec selection;
    std::size_t insertAt = text.size();
    if (GetControlData(box, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                       &selection, nullptr) == noErr)
        insertAt = std::min<std::size_t>(std::max<SInt16>(selection.selStart, 0), text.size());
    text.insert(insertAt, candidate);
    ItemCount count = 0;
    if (CountTextBoxLines(box, text, &count) != noErr) return false;
    return count <= mostLines;
}

}  // namespace qor::jrpanel
