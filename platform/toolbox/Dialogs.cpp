// Controls and dialogs made from layout templates, the modal dialog loop and standard alerts.
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

#include "ResourceMap.h"
#include "Toolbox-private.h"

using qor::toolbox::ControlKind;
using qor::toolbox::ControlTemplate;

namespace {

// The template of the current resource map (the panel's, while one of its entry points runs).
const ControlTemplate* findTemplate(SInt16 id) {
    const auto resources = qor::core::resourceMapDirectory(qor::core::CurResFile());
    if (!resources) return nullptr;
    const auto& layout = qor::toolbox::LayoutOfResourceMap(*resources);
    const auto found = layout.find(id);
    return found == layout.end() ? nullptr : &found->second;
}

OpaqueControlRef* buildControl(OpaqueWindowPtr* window, const ControlTemplate& t) {
    auto* c = qor::toolbox::makeControl(window, t.kind, t.bounds, {});
    static_cast<qor::toolbox::ControlSettings&>(*c) = t;
    // The title of an edit field or text box is its text; a static text keeps it as both.
    const bool editable = t.kind == ControlKind::EditText || t.kind == ControlKind::TextBox;
    if (editable) c->title.clear();
    if (editable || t.kind == ControlKind::StaticText) qor::toolbox::putText(c, t.title);
    if (t.controlID) c->id = *t.controlID;
    if (t.minimum) c->minimum = *t.minimum;
    if (t.maximum) c->maximum = *t.maximum;
    qor::toolbox::storeValue(c, t.value.value_or(c->value));
    SetControlVisibility(c, t.visible, false);
    return c;
}

OpaqueDialogPtr* frontmostDialog() {
    auto& dialogs = qor::toolbox::registry().dialogs;
    for (auto d = dialogs.rbegin(); d != dialogs.rend(); ++d)
        if ((*d)->window->widget->isVisible()) return d->get();
    return dialogs.empty() ? nullptr : dialogs.back().get();
}

OpaqueControlRef* itemControl(DialogRef dialog, DialogItemIndex item) {
    auto* d = qor::toolbox::liveDialog(dialog);
    if (!d || item < 1 || static_cast<std::size_t>(item) > d->items.size()) return nullptr;
    return d->items[item - 1];
}

DialogItemIndex defaultAlert(const AlertRequest& request) {
    QMessageBox box;
    switch (request.type) {
        case kAlertStopAlert:
            box.setIcon(QMessageBox::Critical);
            break;
        case kAlertCautionAlert:
            box.setIcon(QMessageBox::Warning);
            break;
        case kAlertNoteAlert:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    box.setText(qor::toolbox::toQString(request.message));
    box.setInformativeText(qor::toolbox::toQString(request.explanation));
    std::map<QAbstractButton*, DialogItemIndex> items;
    for (const auto& button : request.buttons) {
        auto* made = box.addButton(qor::toolbox::toQString(button.title), QMessageBox::ActionRole);
        items[made] = button.item;
        if (button.item == request.defaultButton) box.setDefaultButton(made);
    }
    box.exec();
    const auto chosen = items.find(box.clickedButton());
    return chosen == items.end() ? request.defaultButton : chosen->second;
}

}  // namespace

namespace qor::toolbox {

DialogItemIndex dialogItemOf(OpaqueControlRef* control) {
    auto* dialog = control->owner->dialog;
    if (!dialog) return 0;
    const auto found = std::find(dialog->items.begin(), dialog->items.end(), control);
    return found == dialog->items.end()
               ? 0
               : static_cast<DialogItemIndex>(found - dialog->items.begin() + 1);
}

void reportDialogItem(OpaqueDialogPtr* dialog, DialogItemIndex item) {
    if (!dialog->inModal || item <= 0) return;
    dialog->reports.push_back(item);
    if (dialog->window->modalLoop) dialog->window->modalLoop->quit();
}

}  // namespace qor::toolbox

using namespace qor::toolbox;

ControlRef GetNewControl(SInt16 controlID, WindowRef owner) {
    auto* w = liveWindow(owner);
    if (!w) return nullptr;
    const ControlTemplate* t = findTemplate(controlID);
    if (!t || t->isDialog) return nullptr;
    return buildControl(w, *t);
}

DialogRef GetNewDialog(SInt16 dialogID, void*, WindowRef) {
    const ControlTemplate* t = findTemplate(dialogID);
    if (!t || !t->isDialog) return nullptr;
    WindowRef window = nullptr;
    if (CreateNewWindow(kMovableModalWindowClass, kWindowNoAttributes, &t->bounds, &window) !=
        noErr)
        return nullptr;
    SetWindowTitleWithCFString(window, t->title);
    auto owned = std::make_unique<OpaqueDialogPtr>();
    auto* d = owned.get();
    d->window = window;
    window->dialog = d;
    registry().dialogs.push_back(std::move(owned));
    for (const auto& item : t->items) d->items.push_back(buildControl(window, item));
    SetDialogDefaultItem(d, t->defaultItem);
    SetDialogCancelItem(d, t->cancelItem);
    if (t->visible) ShowWindow(window);
    return d;
}

void DisposeDialog(DialogRef dialog) {
    auto* d = liveDialog(dialog);
    if (!d) return;
    DisposeWindow(d->window);
}

WindowRef GetDialogWindow(DialogRef dialog) {
    auto* d = liveDialog(dialog);
    return d ? d->window : nullptr;
}

DialogItemIndex CountDITL(DialogRef dialog) {
    auto* d = liveDialog(dialog);
    return d ? static_cast<DialogItemIndex>(d->items.size()) : 0;
}

OSStatus GetDialogItemAsControl(DialogRef dialog, DialogItemIndex item, ControlRef* outControl) {
    if (!outControl) return paramErr;
    *outControl = itemControl(dialog, item);
    return *outControl ? noErr : errUnknownControl;
}

namespace {

OSStatus markItem(DialogRef dialog, DialogItemIndex item, DialogItemIndex OpaqueDialogPtr::*slot,
                  OSStatus (*markButton)(WindowRef, ControlRef)) {
    auto* d = liveDialog(dialog);
    if (!d) return paramErr;
    auto* c = itemControl(dialog, item);
    if (item != 0 && !c) return paramErr;
    d->*slot = item;
    return markButton(d->window, c && c->kind == ControlKind::PushButton ? c : nullptr);
}

}  // namespace

OSStatus SetDialogDefaultItem(DialogRef dialog, DialogItemIndex item) {
    return markItem(dialog, item, &OpaqueDialogPtr::defaultItem, SetWindowDefaultButton);
}

OSStatus SetDialogCancelItem(DialogRef dialog, DialogItemIndex item) {
    return markItem(dialog, item, &OpaqueDialogPtr::cancelItem, SetWindowCancelButton);
}

void SelectDialogItemText(DialogRef dialog, DialogItemIndex item, SInt16 start, SInt16 end) {
    auto* c = itemControl(dialog, item);
    if (!c || (c->kind != ControlKind::EditText && c->kind != ControlKind::TextBox)) return;
    SetKeyboardFocus(c->owner, c, kControlEditTextPart);
    const ControlEditTextSelectionRec selection{start, end};
    SetControlData(c, kControlEntireControl, kControlEditTextSelectionTag, sizeof selection,
                   &selection);
}

DialogItemIndex GetDialogKeyboardFocusItem(DialogRef dialog) {
    auto* d = liveDialog(dialog);
    if (!d || !d->window->focus) return -1;
    const DialogItemIndex item = dialogItemOf(d->window->focus);
    return item > 0 ? item : -1;
}

void ModalDialog(ModalFilterUPP filter, DialogItemIndex* itemHit) {
    if (itemHit) *itemHit = 0;
    OpaqueDialogPtr* d = frontmostDialog();
    if (!d) return;
    d->inModal = true;
    d->filter = filter;
    OpaqueWindowPtr* w = d->window;
    if (!w->widget->isVisible()) {
        w->widget->setWindowModality(Qt::ApplicationModal);
        w->widget->show();
    }
    auto waiting = [d] { return liveDialog(d) && d->reports.empty(); };
    while (waiting()) {
        if (auto& driver = registry().modalDriver) {
            const bool more = driver(w);
            // A script that has run out ends the dialog as its cancel item would.
            if (!more && waiting()) {
                const DialogItemIndex last = d->cancelItem > 0 ? d->cancelItem : d->defaultItem;
                if (last <= 0) break;
                d->reports.push_back(last);
            }
        } else {
            QEventLoop loop;
            w->modalLoop = &loop;
            loop.exec();
            if (liveDialog(d)) w->modalLoop = nullptr;
        }
    }
    if (!liveDialog(d) || d->reports.empty()) return;
    if (itemHit) *itemHit = d->reports.front();
    d->reports.pop_front();
}

OSStatus StandardAlert(AlertType type, std::string_view error, std::string_view explanation,
                       const AlertStdCFStringAlertParamRec* param, DialogItemIndex* outItemHit) {
    AlertRequest request;
    request.type = type;
    request.message = std::string(error);
    request.explanation = std::string(explanation);
    if (!param) {
        request.buttons = {{kAlertStdAlertOKButton, "OK"}};
    } else {
        const std::pair<DialogItemIndex, const std::string*> texts[] = {
            {kAlertStdAlertOKButton, &param->defaultText},
            {kAlertStdAlertCancelButton, &param->cancelText},
            {kAlertStdAlertOtherButton, &param->otherText}};
        for (const auto& [item, text] : texts)
            if (!text->empty()) request.buttons.push_back({item, *text});
        request.defaultButton = param->defaultButton;
    }
    const auto& sink = registry().alertSink;
    const DialogItemIndex item = sink ? sink(request) : defaultAlert(request);
    if (outItemHit) *outItemHit = item;
    return noErr;
}

AlertSink SetAlertSink(AlertSink sink) {
    return std::exchange(registry().alertSink, std::move(sink));
}
