// Inside of the toolbox layer: the records behind the handles and helpers the sources share.
#pragma once

#include <QPointer>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "Toolbox.h"

class QEventLoop;

namespace qor::toolbox {

enum class ControlKind {
    RootPane,
    UserPane,
    PushButton,
    CheckBox,
    RadioButton,
    RadioGroup,
    PopupButton,
    StaticText,
    EditText,
    TextBox,
};

}  // namespace qor::toolbox

struct OpaqueEventHandlerRef {
    EventHandlerUPP proc = nullptr;
    std::vector<EventTypeSpec> types;
    void* userData = nullptr;
    OpaqueEventTargetRef* target = nullptr;
    bool removed = false;
};

struct OpaqueEventTargetRef {
    // In installation order; dispatch walks it backwards so the newest handler runs first.
    std::vector<std::shared_ptr<OpaqueEventHandlerRef>> handlers;
    OpaqueControlRef* control = nullptr;
    OpaqueWindowPtr* window = nullptr;
};

struct OpaqueEventHandlerCallRef {
    std::vector<std::shared_ptr<OpaqueEventHandlerRef>> chain;
    std::size_t next = 0;
};

struct OpaqueEventRef {
    UInt32 eventClass = 0;
    UInt32 kind = 0;
    std::map<EventParamName, std::pair<EventParamType, std::vector<unsigned char>>> params;
};

namespace qor::toolbox {

// What a control is made with, whether by a call or from a template.
struct ControlSettings {
    std::string title;
    SRefCon refCon = 0;
    bool visible = true;
    bool enabled = true;
    bool active = true;
    bool autoToggle = true;
    bool password = false;
    SInt16 justification = teFlushDefault;
    SInt16 titleWidth = 0;
    // A variable-width popup is as wide as its widest item, at most as wide as its bounds.
    bool variableWidth = false;
};

}  // namespace qor::toolbox

struct OpaqueControlRef : qor::toolbox::ControlSettings {
    qor::toolbox::ControlKind kind = qor::toolbox::ControlKind::UserPane;
    OpaqueWindowPtr* owner = nullptr;
    OpaqueControlRef* parent = nullptr;
    std::vector<OpaqueControlRef*> children;
    Rect bounds;
    SInt32 value = 0;
    SInt32 minimum = 0;
    SInt32 maximum = 0;
    ControlID id;
    MenuRef menu = nullptr;
    ControlKeyFilterUPP keyFilter = nullptr;
    // Owned through Qt's parent chain, which ends at the window's widget.
    QPointer<QWidget> widget;
    OpaqueEventTargetRef target;
};

struct OpaqueWindowPtr {
    std::unique_ptr<QWidget> widget;
    std::vector<std::unique_ptr<OpaqueControlRef>> controls;
    OpaqueControlRef* root = nullptr;
    OpaqueControlRef* defaultButton = nullptr;
    OpaqueControlRef* cancelButton = nullptr;
    OpaqueControlRef* focus = nullptr;
    OpaqueDialogPtr* dialog = nullptr;
    OpaqueEventTargetRef target;
    QEventLoop* modalLoop = nullptr;
    bool quitModal = false;
};

struct MenuItemRecord {
    std::string text;
    bool enabled = true;
    MenuCommand command = 0;
};

struct OpaqueMenuRef {
    MenuID id = 0;
    std::vector<MenuItemRecord> items;
    std::vector<OpaqueControlRef*> popups;  // popups that show this menu
};

struct OpaqueDialogPtr {
    OpaqueWindowPtr* window = nullptr;
    std::vector<OpaqueControlRef*> items;  // item n is items[n - 1]
    DialogItemIndex defaultItem = 0;
    DialogItemIndex cancelItem = 0;
    // From the first ModalDialog on, items are reported (oldest first) and keys go through the
    // filter of the latest ModalDialog call.
    bool inModal = false;
    ModalFilterUPP filter = nullptr;
    std::deque<DialogItemIndex> reports;
};

namespace qor::toolbox {

// One description of a control (or a dialog and its items) as the layout resource gives it.
struct ControlTemplate : ControlSettings {
    ControlKind kind = ControlKind::UserPane;
    bool isDialog = false;
    Rect bounds;
    std::optional<SInt32> value;
    std::optional<SInt32> minimum;
    std::optional<SInt32> maximum;
    MenuID menuID = kPopupNoMenuID;
    std::optional<ControlID> controlID;
    std::vector<ControlTemplate> items;
    DialogItemIndex defaultItem = 0;
    DialogItemIndex cancelItem = 0;
};

using LayoutResource = std::map<SInt16, ControlTemplate>;

// Reads a layout resource file; on failure returns nothing and says why in *error.
std::optional<LayoutResource> ReadLayoutResource(const std::string& path, std::string* error);
// The templates of the Layout.plist in a resources folder, read once until the file changes. A
// missing file has none; a bad one is reported on standard error and has none.
const LayoutResource& LayoutOfResourceMap(const std::filesystem::path& resources);

// The live handles, so that a stale or foreign handle is refused instead of followed.
struct Registry {
    std::vector<std::unique_ptr<OpaqueWindowPtr>> windows;
    std::unordered_set<OpaqueControlRef*> controls;
    std::vector<std::unique_ptr<OpaqueMenuRef>> menus;
    std::vector<std::unique_ptr<OpaqueDialogPtr>> dialogs;
    std::unordered_set<OpaqueEventHandlerRef*> handlers;
    OpaqueEventTargetRef application;
    BeepSink beepSink;
    AlertSink alertSink;
    ModalDriver modalDriver;
};
Registry& registry();

OpaqueControlRef* liveControl(ControlRef control);
OpaqueWindowPtr* liveWindow(WindowRef window);
OpaqueMenuRef* liveMenu(MenuRef menu);
OpaqueDialogPtr* liveDialog(DialogRef dialog);

// Makes a control of the given kind in the window, embedded in its root control.
OpaqueControlRef* makeControl(OpaqueWindowPtr* window, ControlKind kind, const Rect& bounds,
                              std::string_view title);
// Brings the widget in line with the control's record.
void syncWidget(OpaqueControlRef* control);
void syncGeometry(OpaqueControlRef* control);
// Shows a text in a static text, edit field or text box.
void putText(OpaqueControlRef* control, std::string_view text);
// Takes the justification of a font style record that asks for it.
void applyStyle(OpaqueControlRef* control, const ControlFontStyleRec* style);
// Clamps and stores a value, updating radio groups and their buttons.
void storeValue(OpaqueControlRef* control, SInt32 value);
// The popup's widget shows the items of its menu again.
void refreshPopup(OpaqueControlRef* popup);
void forgetMenuPopup(OpaqueControlRef* popup);
// Dialog item number of a control, 0 when it is not an item of a dialog.
DialogItemIndex dialogItemOf(OpaqueControlRef* control);
// Reports an item to the dialog's waiting ModalDialog.
void reportDialogItem(OpaqueDialogPtr* dialog, DialogItemIndex item);

// Sends a control event to the control (and its embedders, window, application).
OSStatus sendControlEvent(OpaqueControlRef* control, UInt32 kind, ControlPartCode part,
                          EventModifiers modifiers);
void removeHandlersOf(OpaqueEventTargetRef& target);

// Makes a control follow what its widget does (clicks, choices, keys, focus).
void watchWidget(OpaqueControlRef* control);

// Key translation between Qt and the character codes, key codes and modifiers the panels know.
struct MacKey {
    SInt16 charCode = 0;
    SInt16 keyCode = 0;
    EventModifiers modifiers = 0;
};
std::optional<MacKey> translateKey(const class QKeyEvent& event);

QString toQString(std::string_view text);
std::string fromQString(const QString& text);
// Carriage returns (and CR LF pairs) become the line feeds of Qt's documents.
QString fromMacLines(std::string_view text);

}  // namespace qor::toolbox
