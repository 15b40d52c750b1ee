// The column of PPD controls: layout arithmetic, checkboxes, popups with their labels.
#include "PPDControls.h"

#include <algorithm>

namespace {

constexpr SInt16 kCheckBoxHeight = 18;
constexpr SInt16 kPopupHeight = 20;

// Offsets that fit a control below the previous one; a checkbox sits lower in its row than a
// popup, so the gap depends on both kinds.
void spaceFromPrevious(Rect* layout, std::int16_t lastControlType, bool isCheckBox) {
    if (lastControlType == 0) {
        if (isCheckBox) {
            layout->top += 6;
            layout->bottom = static_cast<short>(layout->top + kCheckBoxHeight);
        }
    } else if (lastControlType == kPPDBoolean) {
        if (isCheckBox) {
            layout->bottom = static_cast<short>(layout->top + kCheckBoxHeight);
        } else {
            layout->top += 12;
            layout->bottom = static_cast<short>(layout->top + kPopupHeight);
        }
    } else if (isCheckBox) {
        layout->top -= 2;
        layout->bottom = static_cast<short>(layout->top + kCheckBoxHeight);
    }
}

std::string mainKeywordText(PPDContextViel context, std::int16_t mainKeyIndex,
                            const qor::core::Bundle* bundle) {
    Str255 keyword = {};
    ppdGetMainString(context, mainKeyIndex, keyword);
    return PDELocalizedText(bundle, StringFromPString(keyword));
}

// A menu item text that begins with a sign is taken by the menu manager as a separator or a
// style mark; a leading blank keeps it a plain item that reads the same.
std::string menuItemText(std::string text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.insert(0, " ");
    return text;
}

OSStatus makePopup(PPDContextViel context, const Rect& layout, const qor::core::Bundle* bundle,
                   WindowRef window, ControlRef pane, KeySetInfo* info, SInt32 controlID) {
    const UISet& uiSet = info->PPDUISetRef;
    ControlRef popup = nullptr;
    CreatePopupButtonControl(window, &layout, {}, kPDEPopupNoMenuID, true, 0, 0, 0, &popup);
    MenuRef menu = nullptr;
    OSStatus status = CreateNewMenu(static_cast<MenuID>(controlID + 1), kMenuAttrNone, &menu);
    if (status != noErr) {
        // An empty popup would only confuse; nothing refers to it yet.
        DisposeControl(popup);
        return status;
    }
    // The option list can be shorter than the header's count when the library could not
    // describe an option; the menu shows what there is.
    const std::size_t count = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<std::int16_t>(uiSet[kUISetNumOptions], 0)),
        info->PPDkeyInfoArrayRef.size());
    for (std::size_t i = 0; i < count; ++i) {
        const KeywordInfoArray& entry = info->PPDkeyInfoArrayRef[i];
        MenuItemIndex item = 0;
        AppendMenuItemTextWithCFString(
            menu, menuItemText(PDELocalizedText(bundle, entry[kInfoOptionKeyword])), 0, 0, &item);
        if (entry[kInfoForbidden] == kForbiddenTrue) DisableMenuItem(menu, item);
    }
    const std::string title = mainKeywordText(context, uiSet[kUISetMainKeyIndex], bundle);
    SetControlPopupMenuHandle(popup, menu);
    SetControl32BitMinimum(popup, 1);
    SetControl32BitMaximum(popup, static_cast<SInt32>(count));
    SetControlTitleWithCFString(popup, title);
    SetControl32BitValue(popup, info->keyDefault);
    EmbedAndShowControl(popup, pane);

    ControlFontStyleRec style;
    style.flags = kControlUseJustMask;
    style.just = teFlushRight;
    const short width = static_cast<short>(layout.right - layout.left);
    const Rect labelBounds{
        static_cast<short>(layout.top + 2), static_cast<short>(layout.left - width - 28),
        static_cast<short>(layout.bottom - 2), static_cast<short>(layout.left - 4)};
    ControlRef label = nullptr;
    if (CreateStaticTextControl(window, &labelBounds, title + ":", &style, &label) == noErr)
        EmbedAndShowControl(label, pane);

    KeySetInfoSetControlRef(info, popup);
    KeySetInfoSetMenuRef(info, menu);
    return noErr;
}

}  // namespace

std::string PDELocalizedText(const qor::core::Bundle* bundle, std::string_view keyword) {
    return bundle != nullptr ? bundle->localizedString(keyword) : std::string(keyword);
}

void PositionControl(ControlRef pane, Rect* layout) {
    if (layout == nullptr) return;
    Rect bounds;
    GetControlBounds(pane, &bounds);
    const int dh = std::max(0, (bounds.right - bounds.left) / 2);
    layout->top = static_cast<short>(bounds.top + 20);
    // Counted from the window's left edge, not the pane's: the labels take the room between.
    layout->left = static_cast<short>(dh + 9);
    layout->right = static_cast<short>(layout->left + dh + 5);
    layout->bottom = static_cast<short>(layout->top + 20);
}

OSStatus CreateControlFromContext(PPDContextViel context, Rect* layout,
                                  const qor::core::Bundle* bundle, std::int16_t* lastControlType,
                                  ControlRef pane, KeySetInfo* info, SInt32 controlID) {
    if (layout == nullptr || lastControlType == nullptr || info == nullptr) return paramErr;
    const UISet& uiSet = info->PPDUISetRef;
    const std::int16_t pickConstraint = uiSet[kUISetPickConstraint];
    // Nothing to choose: the keyword's only option applies anyway.
    if (pickConstraint == kPPDPickOne && uiSet[kUISetNumOptions] == 1) return noErr;

    const bool isCheckBox = pickConstraint == kPPDBoolean;
    WindowRef window = GetControlOwner(pane);
    spaceFromPrevious(layout, *lastControlType, isCheckBox);

    OSStatus status = noErr;
    if (isCheckBox) {
        ControlRef box = NewControl(window, layout, {}, true, 0, 0, 1, checkBoxAutoToggleProc,
                                    static_cast<SRefCon>(controlID));
        EmbedAndShowControl(box, pane);
        KeySetInfoSetControlRef(info, box);
        SetControlTitleWithCFString(box,
                                    mainKeywordText(context, uiSet[kUISetMainKeyIndex], bundle));
        SetControl32BitValue(box, info->keyDefault);
    } else {
        status = makePopup(context, *layout, bundle, window, pane, info, controlID);
    }

    layout->top = static_cast<short>(layout->bottom + (isCheckBox ? 4 : 12));
    layout->bottom = static_cast<short>(layout->top + 20);
    *lastControlType = pickConstraint;
    return status;
}

OSStatus EmbedAndShowControl(ControlRef control, ControlRef container) {
    OSStatus status = EmbedControl(control, container);
    if (status == noErr) status = SetControlVisibility(control, true, true);
    return status;
}

void SetControlToDefault(const KeySetInfo* info) {
    SetControl32BitValue(KeySetInfoGetControlRef(info), KeySetInfoGetDefaultRef(info));
}
