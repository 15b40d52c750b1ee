// The panels' controls, menus, windows, dialogs, alerts, events, clipboard and beep on Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Basic types

using OSStatus = std::int32_t;
using OSErr = std::int16_t;
using Boolean = unsigned char;
using SInt16 = std::int16_t;
using UInt16 = std::uint16_t;
using SInt32 = std::int32_t;
using UInt32 = std::uint32_t;
using OSType = std::uint32_t;
using FourCharCode = std::uint32_t;
using ResType = std::uint32_t;
using Size = long;
using ItemCount = unsigned long;
using SRefCon = std::intptr_t;
using EventModifiers = UInt16;
using OptionBits = UInt32;

// Window coordinates, y growing downwards.
struct Rect {
    short top = 0;
    short left = 0;
    short bottom = 0;
    short right = 0;
    bool operator==(const Rect&) const = default;
};

struct Point {
    short v = 0;
    short h = 0;
};

struct ControlID {
    OSType signature = 0;
    SInt32 id = 0;
};

struct RGBColor {
    UInt16 red = 0;
    UInt16 green = 0;
    UInt16 blue = 0;
};

struct ControlFontStyleRec {
    SInt16 flags = 0;
    SInt16 font = 0;
    SInt16 size = 0;
    SInt16 style = 0;
    SInt16 mode = 0;
    SInt16 just = 0;
    RGBColor foreColor;
    RGBColor backColor;
};

struct ControlEditTextSelectionRec {
    SInt16 selStart = 0;
    SInt16 selEnd = 0;
};

// Builds a four-character code from its four characters, first character in the high byte.
constexpr FourCharCode FOUR_CHAR_CODE(const char (&code)[5]) {
    return (static_cast<UInt32>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<UInt32>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<UInt32>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<UInt32>(static_cast<unsigned char>(code[3]));
}

// ---------------------------------------------------------------------------------------------
// Results

inline constexpr OSStatus noErr = 0;
inline constexpr OSStatus paramErr = -50;
inline constexpr OSStatus noTypeErr = -102;
inline constexpr OSStatus memFullErr = -108;
inline constexpr OSStatus errInvalidWindowRef = -5600;
inline constexpr OSStatus eventNotHandledErr = -9874;
inline constexpr OSStatus eventParameterNotFoundErr = -9870;
inline constexpr OSStatus menuItemNotFoundErr = -5622;
inline constexpr OSStatus errDataNotSupported = -30581;
inline constexpr OSStatus errControlDoesntSupportFocus = -30582;
inline constexpr OSStatus errUnknownControl = -30584;
inline constexpr OSStatus errControlIsNotEmbedder = -30590;
inline constexpr OSStatus errCantEmbedIntoSelf = -30594;
inline constexpr OSStatus errCantEmbedRoot = -30595;
inline constexpr OSStatus controlHandleInvalidErr = -30599;

// ---------------------------------------------------------------------------------------------
// Handles, all owned by this layer

struct OpaqueControlRef;
struct OpaqueWindowPtr;
struct OpaqueMenuRef;
struct OpaqueDialogPtr;
struct OpaqueEventRef;
struct OpaqueEventHandlerRef;
struct OpaqueEventHandlerCallRef;
struct OpaqueEventTargetRef;
struct OpaqueScrapRef;

using ControlRef = OpaqueControlRef*;
using WindowRef = OpaqueWindowPtr*;
using MenuRef = OpaqueMenuRef*;
using DialogRef = OpaqueDialogPtr*;
using EventRef = OpaqueEventRef*;
using EventHandlerRef = OpaqueEventHandlerRef*;
using EventHandlerCallRef = OpaqueEventHandlerCallRef*;
using EventTargetRef = OpaqueEventTargetRef*;
using ScrapRef = OpaqueScrapRef*;

using ControlPartCode = SInt16;
using MenuID = SInt16;
using MenuItemIndex = UInt16;
using MenuAttributes = UInt32;
using MenuItemAttributes = UInt32;
using MenuCommand = UInt32;
using DialogItemIndex = SInt16;
using AlertType = SInt16;
using EventParamName = OSType;
using EventParamType = OSType;
using ScrapFlavorType = FourCharCode;
using ScrapFlavorFlags = UInt32;
using WindowClass = UInt32;
using WindowAttributes = UInt32;

// ---------------------------------------------------------------------------------------------
// Constants

inline constexpr ControlPartCode kControlEntireControl = 0;
inline constexpr ControlPartCode kControlNoPart = 0;
inline constexpr ControlPartCode kControlFocusNoPart = 0;
inline constexpr ControlPartCode kControlFocusNextPart = -1;
inline constexpr ControlPartCode kControlButtonPart = 10;
inline constexpr ControlPartCode kControlCheckBoxPart = 11;
inline constexpr ControlPartCode kControlEditTextPart = 5;
inline constexpr ControlPartCode kControlMenuPart = 2;

// Control procedures of NewControl. A check box made with checkBoxAutoToggleProc flips its own
// value when clicked; one made with checkBoxProc leaves that to its handlers.
inline constexpr SInt16 pushButProc = 0;
inline constexpr SInt16 checkBoxProc = 1;
inline constexpr SInt16 radioButProc = 2;
inline constexpr SInt16 checkBoxAutoToggleProc = 3;

inline constexpr SInt32 kControlCheckBoxUncheckedValue = 0;
inline constexpr SInt32 kControlCheckBoxCheckedValue = 1;
inline constexpr SInt32 kControlCheckBoxMixedValue = 2;
inline constexpr SInt32 kControlRadioButtonUncheckedValue = 0;
inline constexpr SInt32 kControlRadioButtonCheckedValue = 1;

// ControlFontStyleRec flags and text justifications.
inline constexpr SInt16 kControlUseJustMask = 0x0040;
inline constexpr SInt16 teFlushDefault = 0;
inline constexpr SInt16 teCenter = 1;
inline constexpr SInt16 teFlushRight = -1;
inline constexpr SInt16 teFlushLeft = -2;

// User pane features (accepted and kept; the pane draws nothing itself).
inline constexpr UInt32 kControlSupportsEmbedding = 1u << 1;

// Control data tags. Text travels as UTF-8 bytes.
inline constexpr ResType kControlEditTextTextTag = FOUR_CHAR_CODE("text");
inline constexpr ResType kControlStaticTextTextTag = FOUR_CHAR_CODE("text");
inline constexpr ResType kControlEditTextPasswordTag = FOUR_CHAR_CODE("pass");
inline constexpr ResType kControlEditTextSelectionTag = FOUR_CHAR_CODE("sele");
inline constexpr ResType kControlEditTextKeyFilterTag = FOUR_CHAR_CODE("fltr");
inline constexpr ResType kControlKeyFilterTag = FOUR_CHAR_CODE("fltr");
inline constexpr ResType kControlPushButtonDefaultTag = FOUR_CHAR_CODE("dflt");
inline constexpr ResType kControlPushButtonCancelTag = FOUR_CHAR_CODE("cncl");
inline constexpr ResType kControlFontStyleTag = FOUR_CHAR_CODE("font");

inline constexpr MenuID kPopupNoMenuID = -12345;
inline constexpr MenuAttributes kMenuAttrNone = 0;

// Events.
inline constexpr UInt32 kEventClassControl = FOUR_CHAR_CODE("cntl");
inline constexpr UInt32 kEventClassKeyboard = FOUR_CHAR_CODE("keyb");
inline constexpr UInt32 kEventClassWindow = FOUR_CHAR_CODE("wind");
inline constexpr UInt32 kEventControlHit = 1;
inline constexpr UInt32 kEventControlValueFieldChanged = 151;
inline constexpr UInt32 kEventRawKeyDown = 1;
inline constexpr UInt32 kEventRawKeyRepeat = 2;

inline constexpr EventParamName kEventParamDirectObject = FOUR_CHAR_CODE("----");
inline constexpr EventParamName kEventParamControlPart = FOUR_CHAR_CODE("cprt");
inline constexpr EventParamName kEventParamKeyModifiers = FOUR_CHAR_CODE("kmod");
inline constexpr EventParamName kEventParamKeyMacCharCodes = FOUR_CHAR_CODE("kchr");
inline constexpr EventParamName kEventParamKeyCode = FOUR_CHAR_CODE("kcod");
inline constexpr EventParamType typeControlRef = FOUR_CHAR_CODE("ctrl");
inline constexpr EventParamType typeWindowRef = FOUR_CHAR_CODE("wind");
inline constexpr EventParamType typeControlPartCode = FOUR_CHAR_CODE("cprt");
inline constexpr EventParamType typeUInt32 = FOUR_CHAR_CODE("magn");
inline constexpr EventParamType typeChar = FOUR_CHAR_CODE("TEXT");

// Modifier keys. On Linux the Control key plays the part of the Command key, so that Ctrl+V is
// the paste that the panels look for.
inline constexpr EventModifiers cmdKey = 0x0100;
inline constexpr EventModifiers shiftKey = 0x0200;
inline constexpr EventModifiers alphaLock = 0x0400;
inline constexpr EventModifiers optionKey = 0x0800;
inline constexpr EventModifiers controlKey = 0x1000;

// Classic event records, as modal dialog filters see them.
inline constexpr UInt16 nullEvent = 0;
inline constexpr UInt16 mouseDown = 1;
inline constexpr UInt16 keyDown = 3;
inline constexpr UInt16 autoKey = 5;
inline constexpr UInt32 charCodeMask = 0x000000FF;
inline constexpr UInt32 keyCodeMask = 0x0000FF00;

struct EventRecord {
    UInt16 what = nullEvent;
    UInt32 message = 0;  // key events: character code in the low byte, virtual key code above
    UInt32 when = 0;
    Point where;
    EventModifiers modifiers = 0;
};

struct EventTypeSpec {
    UInt32 eventClass = 0;
    UInt32 eventKind = 0;
};

// Alerts.
inline constexpr AlertType kAlertStopAlert = 0;
inline constexpr AlertType kAlertNoteAlert = 1;
inline constexpr AlertType kAlertCautionAlert = 2;
inline constexpr AlertType kAlertPlainAlert = 3;
inline constexpr DialogItemIndex kAlertStdAlertOKButton = 1;
inline constexpr DialogItemIndex kAlertStdAlertCancelButton = 2;
inline constexpr DialogItemIndex kAlertStdAlertOtherButton = 3;
inline constexpr DialogItemIndex kStdOkItemIndex = 1;
inline constexpr DialogItemIndex kStdCancelItemIndex = 2;

// Clipboard flavors: 'TEXT' carries UTF-8, 'utxt' UTF-16 in host byte order.
inline constexpr ScrapFlavorType kScrapFlavorTypeText = FOUR_CHAR_CODE("TEXT");
inline constexpr ScrapFlavorType kScrapFlavorTypeUnicode = FOUR_CHAR_CODE("utxt");
inline constexpr ScrapFlavorFlags kScrapFlavorMaskNone = 0;

// Windows.
inline constexpr WindowClass kDocumentWindowClass = 6;
inline constexpr WindowClass kMovableModalWindowClass = 4;
inline constexpr WindowAttributes kWindowNoAttributes = 0;

// Key filters.
using ControlKeyFilterResult = SInt16;
inline constexpr ControlKeyFilterResult kControlKeyFilterBlockKey = 0;
inline constexpr ControlKeyFilterResult kControlKeyFilterPassKey = 1;

// ---------------------------------------------------------------------------------------------
// Callbacks

using EventHandlerProcPtr = OSStatus (*)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent,
                                         void* inUserData);
using EventHandlerUPP = EventHandlerProcPtr;
using ControlKeyFilterProcPtr = ControlKeyFilterResult (*)(ControlRef theControl, SInt16* keyCode,
                                                           SInt16* charCode,
                                                           EventModifiers* modifiers);
using ControlKeyFilterUPP = ControlKeyFilterProcPtr;
using ModalFilterProcPtr = Boolean (*)(DialogRef theDialog, EventRecord* theEvent,
                                       DialogItemIndex* itemHit);
using ModalFilterUPP = ModalFilterProcPtr;

inline EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr proc) {
    return proc;
}
inline void DisposeEventHandlerUPP(EventHandlerUPP) {}
inline ControlKeyFilterUPP NewControlKeyFilterUPP(ControlKeyFilterProcPtr proc) {
    return proc;
}
inline void DisposeControlKeyFilterUPP(ControlKeyFilterUPP) {}
inline ModalFilterUPP NewModalFilterUPP(ModalFilterProcPtr proc) {
    return proc;
}
inline void DisposeModalFilterUPP(ModalFilterUPP) {}

// ---------------------------------------------------------------------------------------------
// Windows

OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes attributes,
                         const Rect* contentBounds, WindowRef* outWindow);
void DisposeWindow(WindowRef window);
void ShowWindow(WindowRef window);
void HideWindow(WindowRef window);
Boolean IsWindowVisible(WindowRef window);
OSStatus SetWindowTitleWithCFString(WindowRef window, std::string_view title);
// The root control fills the window's content; controls made in the window are embedded in it.
OSStatus GetRootControl(WindowRef window, ControlRef* outControl);
OSStatus SetWindowDefaultButton(WindowRef window, ControlRef button);
OSStatus GetWindowDefaultButton(WindowRef window, ControlRef* outButton);
OSStatus SetWindowCancelButton(WindowRef window, ControlRef button);
OSStatus GetWindowCancelButton(WindowRef window, ControlRef* outButton);
OSStatus SetKeyboardFocus(WindowRef window, ControlRef control, ControlPartCode part);
OSStatus GetKeyboardFocus(WindowRef window, ControlRef* outControl);
OSStatus ClearKeyboardFocus(WindowRef window);
// Runs the window modally until QuitAppModalLoopForWindow is called for it.
OSStatus RunAppModalLoopForWindow(WindowRef window);
OSStatus QuitAppModalLoopForWindow(WindowRef window);

// ---------------------------------------------------------------------------------------------
// Controls

ControlRef NewControl(WindowRef owner, const Rect* bounds, std::string_view title, Boolean visible,
                      SInt16 value, SInt16 minimum, SInt16 maximum, SInt16 procID, SRefCon refCon);
void DisposeControl(ControlRef control);

OSStatus CreateUserPaneControl(WindowRef window, const Rect* bounds, UInt32 features,
                               ControlRef* outControl);
OSStatus CreatePushButtonControl(WindowRef window, const Rect* bounds, std::string_view title,
                                 ControlRef* outControl);
OSStatus CreateCheckBoxControl(WindowRef window, const Rect* bounds, std::string_view title,
                               SInt32 initialValue, Boolean autoToggle, ControlRef* outControl);
OSStatus CreateRadioButtonControl(WindowRef window, const Rect* bounds, std::string_view title,
                                  SInt32 initialValue, Boolean autoToggle, ControlRef* outControl);
// Radio buttons embedded in a group are exclusive; the group's value is the 1-based position of
// the chosen button among them, 0 when none is chosen.
OSStatus CreateRadioGroupControl(WindowRef window, const Rect* bounds, ControlRef* outControl);
// A titleWidth of 0 draws no title; the title is still kept and can be read back.
OSStatus CreatePopupButtonControl(WindowRef window, const Rect* bounds, std::string_view title,
                                  MenuID menuID, Boolean variableWidth, SInt16 titleWidth,
                                  SInt16 titleJustification, UInt32 titleStyle,
                                  ControlRef* outControl);
OSStatus CreateStaticTextControl(WindowRef window, const Rect* bounds, std::string_view text,
                                 const ControlFontStyleRec* style, ControlRef* outControl);
// A password field shows its text masked; its clear text is read with
// kControlEditTextPasswordTag.
OSStatus CreateEditUnicodeTextControl(WindowRef window, const Rect* bounds, std::string_view text,
                                      Boolean isPassword, const ControlFontStyleRec* style,
                                      ControlRef* outControl);
// An editable box of several lines that wraps its text at its width. Line breaks cross this
// layer as carriage returns.
OSStatus CreateMultilineEditTextControl(WindowRef window, const Rect* bounds, std::string_view text,
                                        const ControlFontStyleRec* style, ControlRef* outControl);

// Values. Setting a value clamps it into [minimum, maximum]; changing the range clamps the value.
// Values set here send no events; only a click or a popup choice does.
void SetControl32BitValue(ControlRef control, SInt32 value);
SInt32 GetControl32BitValue(ControlRef control);
void SetControl32BitMinimum(ControlRef control, SInt32 minimum);
SInt32 GetControl32BitMinimum(ControlRef control);
void SetControl32BitMaximum(ControlRef control, SInt32 maximum);
SInt32 GetControl32BitMaximum(ControlRef control);
inline void SetControlValue(ControlRef c, SInt16 v) {
    SetControl32BitValue(c, v);
}
inline SInt16 GetControlValue(ControlRef c) {
    return static_cast<SInt16>(GetControl32BitValue(c));
}

OSStatus SetControlTitleWithCFString(ControlRef control, std::string_view title);
OSStatus CopyControlTitleAsCFString(ControlRef control, std::string* outTitle);
void SetControlReference(ControlRef control, SRefCon data);
SRefCon GetControlReference(ControlRef control);
OSStatus SetControlID(ControlRef control, const ControlID* id);
OSStatus GetControlID(ControlRef control, ControlID* outId);
// Finds a control of the window (any depth) by its id.
OSStatus GetControlByID(WindowRef window, const ControlID* id, ControlRef* outControl);
WindowRef GetControlOwner(ControlRef control);

// Embedding. Bounds stay in window coordinates whatever the embedder.
OSStatus EmbedControl(ControlRef control, ControlRef container);
OSStatus GetSuperControl(ControlRef control, ControlRef* outParent);
OSStatus CountSubControls(ControlRef control, UInt16* outNumChildren);
OSStatus GetIndexedSubControl(ControlRef control, UInt16 index, ControlRef* outSubControl);

// Visibility. A control's own flag is kept when an embedder hides ("latent" visibility);
// IsControlVisible answers whether it and every embedder are visible, IsControlLatentlyVisible
// gives the control's own flag.
OSStatus SetControlVisibility(ControlRef control, Boolean visible, Boolean draw);
void ShowControl(ControlRef control);
void HideControl(ControlRef control);
Boolean IsControlVisible(ControlRef control);
Boolean IsControlLatentlyVisible(ControlRef control);

// Enabled and active are separate flags; the control takes input only when both are set, for it
// and for every embedder. The queries answer for the control and its embedders together.
OSStatus EnableControl(ControlRef control);
OSStatus DisableControl(ControlRef control);
Boolean IsControlEnabled(ControlRef control);
OSStatus ActivateControl(ControlRef control);
OSStatus DeactivateControl(ControlRef control);
Boolean IsControlActive(ControlRef control);

// Geometry. MoveControl moves embedded controls along; SetControlBounds and SizeControl change
// the control alone.
Rect* GetControlBounds(ControlRef control, Rect* outBounds);
void SetControlBounds(ControlRef control, const Rect* bounds);
void MoveControl(ControlRef control, SInt16 h, SInt16 v);
void SizeControl(ControlRef control, SInt16 width, SInt16 height);
void Draw1Control(ControlRef control);

// Tagged data: texts (UTF-8), selection, key filter, default and cancel marks, font style.
// Selections are byte offsets into the UTF-8 text (the clear text of a password field), so they
// measure what the text tags give. The text tag of a password field gives its mask, the password
// tag the clear text (of any field).
OSStatus SetControlData(ControlRef control, ControlPartCode part, ResType tag, Size size,
                        const void* data);
OSStatus GetControlData(ControlRef control, ControlPartCode part, ResType tag, Size bufferSize,
                        void* buffer, Size* actualSize);
OSStatus GetControlDataSize(ControlRef control, ControlPartCode part, ResType tag,
                            Size* outMaxSize);
// The text a static text, edit field or text box shows (masked for a password field).
OSStatus SetControlText(ControlRef control, std::string_view text);
OSStatus CopyControlText(ControlRef control, std::string* outText);

// Default behaviour of a click: the control's own tracking (check boxes toggle, radio buttons
// choose, push buttons press), then kEventControlValueFieldChanged when the value changed and
// kEventControlHit. When no handler takes the hit, a dialog item is reported to ModalDialog.
// Real mouse clicks on the widgets end up here too.
ControlPartCode HandleControlClick(ControlRef control, Point where, EventModifiers modifiers,
                                   void* actionProc);
// Chooses an item of a popup as the user would: value change and hit events follow.
ControlPartCode HandlePopupMenuSelection(ControlRef popup, MenuItemIndex item);

// ---------------------------------------------------------------------------------------------
// Menus

OSStatus CreateNewMenu(MenuID menuID, MenuAttributes attributes, MenuRef* outMenu);
void DisposeMenu(MenuRef menu);
MenuID GetMenuID(MenuRef menu);
OSStatus AppendMenuItemTextWithCFString(MenuRef menu, std::string_view text,
                                        MenuItemAttributes attributes, MenuCommand commandID,
                                        MenuItemIndex* outNewItem);
UInt16 CountMenuItems(MenuRef menu);
OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, std::string* outText);
void DisableMenuItem(MenuRef menu, MenuItemIndex item);
void EnableMenuItem(MenuRef menu, MenuItemIndex item);
Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item);
// The popup shows the menu's items; the popup does not own the menu.
OSStatus SetControlPopupMenuHandle(ControlRef popup, MenuRef menu);
MenuRef GetControlPopupMenuHandle(ControlRef popup);

// ---------------------------------------------------------------------------------------------
// Events and handlers

EventTargetRef GetControlEventTarget(ControlRef control);
EventTargetRef GetWindowEventTarget(WindowRef window);
EventTargetRef GetApplicationEventTarget();

// Handlers installed later run first. A handler that returns eventNotHandledErr lets the next
// one run: a control's handlers, then its embedders', the window's and the application's.
OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* typeList, void* userData,
                             EventHandlerRef* outRef);
OSStatus InstallControlEventHandler(ControlRef control, EventHandlerUPP handler, ItemCount numTypes,
                                    const EventTypeSpec* typeList, void* userData,
                                    EventHandlerRef* outRef);
OSStatus InstallWindowEventHandler(WindowRef window, EventHandlerUPP handler, ItemCount numTypes,
                                   const EventTypeSpec* typeList, void* userData,
                                   EventHandlerRef* outRef);
OSStatus RemoveEventHandler(EventHandlerRef handler);
OSStatus CallNextEventHandler(EventHandlerCallRef callRef, EventRef event);

OSStatus CreateEvent(void* allocator, UInt32 eventClass, UInt32 kind, double when, UInt32 flags,
                     EventRef* outEvent);
void ReleaseEvent(EventRef event);
UInt32 GetEventClass(EventRef event);
UInt32 GetEventKind(EventRef event);
OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, Size size,
                           const void* data);
OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* actualType, Size bufferSize, Size* actualSize,
                           void* data);
OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target);

// ---------------------------------------------------------------------------------------------
// Controls and dialogs from templates

// A control from template controlID of the current resource map (the core layer's CurResFile:
// Layout.plist in the map's resources folder), made in the window; null when there is no such
// template.
ControlRef GetNewControl(SInt16 controlID, WindowRef owner);
// A dialog from template dialogID; null when there is no such template. The dialog is shown.
DialogRef GetNewDialog(SInt16 dialogID, void* storage, WindowRef behind);
void DisposeDialog(DialogRef dialog);
WindowRef GetDialogWindow(DialogRef dialog);
DialogItemIndex CountDITL(DialogRef dialog);
OSStatus GetDialogItemAsControl(DialogRef dialog, DialogItemIndex item, ControlRef* outControl);
OSStatus SetDialogDefaultItem(DialogRef dialog, DialogItemIndex item);
OSStatus SetDialogCancelItem(DialogRef dialog, DialogItemIndex item);
// Selects characters [start, end) of an edit item (end 32767 for all) and puts the focus there.
void SelectDialogItemText(DialogRef dialog, DialogItemIndex item, SInt16 start, SInt16 end);
DialogItemIndex GetDialogKeyboardFocusItem(DialogRef dialog);
// Waits for the next event in the frontmost dialog that concerns an item. Key events go to the
// filter first; what it does not handle goes to the focused item, whose number is then reported.
// Return and Enter report the default item, Escape the cancel item, unless a text box has the
// focus (Return is then a new line).
void ModalDialog(ModalFilterUPP filter, DialogItemIndex* itemHit);

// ---------------------------------------------------------------------------------------------
// Alerts, beep, clipboard

struct AlertStdCFStringAlertParamRec {
    Boolean movable = false;
    Boolean helpButton = false;
    std::string defaultText = "OK";  // empty: no default button
    std::string cancelText;          // empty: no cancel button
    std::string otherText;           // empty: no other button
    DialogItemIndex defaultButton = kAlertStdAlertOKButton;
    DialogItemIndex cancelButton = 0;
};
// Without parameters the alert has a single OK button. The button chosen is written to
// outItemHit.
OSStatus StandardAlert(AlertType type, std::string_view error, std::string_view explanation,
                       const AlertStdCFStringAlertParamRec* param, DialogItemIndex* outItemHit);

void SysBeep(SInt16 duration);

OSStatus GetCurrentScrap(ScrapRef* outScrap);
OSStatus ClearCurrentScrap();
OSStatus PutScrapFlavor(ScrapRef scrap, ScrapFlavorType flavor, ScrapFlavorFlags flags, Size size,
                        const void* data);
OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType flavor, Size* outSize);
OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType flavor, Size* ioByteCount,
                            void* destination);

// ---------------------------------------------------------------------------------------------
// Text layout of a text box

// The lines of the box's text as the box wraps them, each with its ending carriage return when
// it ends a paragraph. An empty box has one empty line.
OSStatus GetTextBoxLines(ControlRef box, std::vector<std::string>* outLines);
// How many lines the box would need to show text (carriage returns as line breaks).
OSStatus CountTextBoxLines(ControlRef box, std::string_view text, ItemCount* outLineCount);

// ---------------------------------------------------------------------------------------------
// Sinks, so that the effects that make no picture can be seen and driven

// Replaces what SysBeep does (by default the application's beep); returns the previous sink.
using BeepSink = std::function<void(SInt16 duration)>;
BeepSink SetBeepSink(BeepSink sink);

struct AlertButton {
    DialogItemIndex item = kAlertStdAlertOKButton;  // what StandardAlert answers for it
    std::string title;
};
struct AlertRequest {
    AlertType type = kAlertStopAlert;
    std::string message;
    std::string explanation;
    std::vector<AlertButton> buttons;  // the buttons present, in item order
    DialogItemIndex defaultButton = kAlertStdAlertOKButton;
};
// Replaces the alert window: the sink gets the alert and answers the button item chosen. Returns
// the previous sink (by default a real message box).
using AlertSink = std::function<DialogItemIndex(const AlertRequest&)>;
AlertSink SetAlertSink(AlertSink sink);

// Drives modal loops instead of a person: called each time ModalDialog or
// RunAppModalLoopForWindow waits for input, with the window waited on. The driver acts through
// the windows' widgets (typing, clicking) or the functions above. Returning false means it has
// nothing more to do: the loop then ends as by the cancel item (ModalDialog) or by
// QuitAppModalLoopForWindow. Returns the previous driver (by default none: a person drives).
using ModalDriver = std::function<bool(WindowRef window)>;
ModalDriver SetModalDriver(ModalDriver driver);
