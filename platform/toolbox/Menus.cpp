// Menus of popup buttons: text items, disabled items, menu ids, and the popups that show them.
#include <QComboBox>
#include <QStandardItemModel>
#include <algorithm>

#include "Toolbox-private.h"

using qor::toolbox::ControlKind;

namespace qor::toolbox {

void refreshPopup(OpaqueControlRef* popup) {
    auto* combo = popup->widget ? popup->widget->findChild<QComboBox*>() : nullptr;
    if (!combo) return;
    const QSignalBlocker quiet(combo);
    combo->clear();
    if (popup->menu) {
        for (const auto& item : popup->menu->items) combo->addItem(toQString(item.text));
        // The default model of a combo box is a QStandardItemModel; its items carry the flags.
        if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
            for (std::size_t i = 0; i < popup->menu->items.size(); ++i)
                model->item(static_cast<int>(i))->setEnabled(popup->menu->items[i].enabled);
        }
    }
    syncWidget(popup);
}

void forgetMenuPopup(OpaqueControlRef* popup) {
    if (popup->menu) std::erase(popup->menu->popups, popup);
    popup->menu = nullptr;
}

}  // namespace qor::toolbox

using namespace qor::toolbox;

namespace {

void refreshAll(OpaqueMenuRef* menu) {
    for (auto* popup : menu->popups) refreshPopup(popup);
}

MenuItemRecord* itemOf(MenuRef menu, MenuItemIndex item) {
    auto* m = liveMenu(menu);
    if (!m || item < 1 || item > m->items.size()) return nullptr;
    return &m->items[item - 1];
}

void setItemEnabled(MenuRef menu, MenuItemIndex item, bool enabled) {
    if (auto* record = itemOf(menu, item)) {
        record->enabled = enabled;
        refreshAll(menu);
    }
}

}  // namespace

OSStatus CreateNewMenu(MenuID menuID, MenuAttributes, MenuRef* outMenu) {
    if (!outMenu) return paramErr;
    auto menu = std::make_unique<OpaqueMenuRef>();
    menu->id = menuID;
    *outMenu = menu.get();
    registry().menus.push_back(std::move(menu));
    return noErr;
}

void DisposeMenu(MenuRef menu) {
    auto* m = liveMenu(menu);
    if (!m) return;
    for (auto* popup : std::vector<OpaqueControlRef*>(m->popups)) {
        popup->menu = nullptr;
        refreshPopup(popup);
    }
    std::erase_if(registry().menus, [m](const auto& owned) { return owned.get() == m; });
}

MenuID GetMenuID(MenuRef menu) {
    auto* m = liveMenu(menu);
    return m ? m->id : 0;
}

OSStatus AppendMenuItemTextWithCFString(MenuRef menu, std::string_view text, MenuItemAttributes,
                                        MenuCommand commandID, MenuItemIndex* outNewItem) {
    auto* m = liveMenu(menu);
    if (!m) return paramErr;
    m->items.push_back({std::string(text), true, commandID});
    if (outNewItem) *outNewItem = static_cast<MenuItemIndex>(m->items.size());
    refreshAll(m);
    return noErr;
}

UInt16 CountMenuItems(MenuRef menu) {
    auto* m = liveMenu(menu);
    return m ? static_cast<UInt16>(m->items.size()) : 0;
}

OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, std::string* outText) {
    if (!outText) return paramErr;
    auto* record = itemOf(menu, item);
    if (!record) return liveMenu(menu) ? menuItemNotFoundErr : paramErr;
    *outText = record->text;
    return noErr;
}

void DisableMenuItem(MenuRef menu, MenuItemIndex item) {
    setItemEnabled(menu, item, false);
}
void EnableMenuItem(MenuRef menu, MenuItemIndex item) {
    setItemEnabled(menu, item, true);
}

Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item) {
    auto* record = itemOf(menu, item);
    return record && record->enabled;
}

OSStatus SetControlPopupMenuHandle(ControlRef popup, MenuRef menu) {
    auto* c = liveControl(popup);
    if (!c) return errUnknownControl;
    if (c->kind != ControlKind::PopupButton) return errDataNotSupported;
    auto* m = liveMenu(menu);
    if (menu && !m) return paramErr;
    forgetMenuPopup(c);
    c->menu = m;
    if (m) {
        m->popups.push_back(c);
        c->minimum = 1;
        c->maximum = static_cast<SInt32>(m->items.size());
        storeValue(c, c->value);
    }
    refreshPopup(c);
    return noErr;
}

MenuRef GetControlPopupMenuHandle(ControlRef popup) {
    auto* c = liveControl(popup);
    return c ? c->menu : nullptr;
}
