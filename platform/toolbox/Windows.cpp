// Windows: the handle registry, root controls, default buttons, keyboard focus, modal loops.
#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <algorithm>

#include "Toolbox-private.h"
#include "ToolboxWidgets.h"

using qor::toolbox::ControlKind;

namespace qor::toolbox {

namespace {

// Widgets must go before the application object does; windows a host left open are disposed
// when it is destroyed rather than at the end of the process, when Qt is gone.
void disposeAllWindows() {
    auto& windows = registry().windows;
    while (!windows.empty()) DisposeWindow(windows.back().get());
}

}  // namespace

Registry& registry() {
    static Registry instance;
    static const bool cleanup = (qAddPostRoutine(disposeAllWindows), true);
    (void)cleanup;
    return instance;
}

OpaqueControlRef* liveControl(ControlRef control) {
    return control && registry().controls.contains(control) ? control : nullptr;
}

OpaqueWindowPtr* liveWindow(WindowRef window) {
    if (!window) return nullptr;
    for (const auto& w : registry().windows)
        if (w.get() == window) return window;
    return nullptr;
}

OpaqueMenuRef* liveMenu(MenuRef menu) {
    if (!menu) return nullptr;
    for (const auto& m : registry().menus)
        if (m.get() == menu) return menu;
    return nullptr;
}

OpaqueDialogPtr* liveDialog(DialogRef dialog) {
    if (!dialog) return nullptr;
    for (const auto& d : registry().dialogs)
        if (d.get() == dialog) return dialog;
    return nullptr;
}

}  // namespace qor::toolbox

using namespace qor::toolbox;

QWidget* GetWindowWidget(WindowRef window) {
    auto* w = liveWindow(window);
    return w ? w->widget.get() : nullptr;
}

OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes, const Rect* contentBounds,
                         WindowRef* outWindow) {
    if (!contentBounds || !outWindow) return paramErr;
    *outWindow = nullptr;
    auto owned = std::make_unique<OpaqueWindowPtr>();
    auto* w = owned.get();
    w->target.window = w;
    w->widget = std::make_unique<QWidget>(
        nullptr, windowClass == kMovableModalWindowClass ? Qt::Dialog : Qt::Window);
    const int width = std::max(0, contentBounds->right - contentBounds->left);
    const int height = std::max(0, contentBounds->bottom - contentBounds->top);
    w->widget->setGeometry(contentBounds->left, contentBounds->top, width, height);
    registry().windows.push_back(std::move(owned));
    w->root = makeControl(w, ControlKind::RootPane,
                          Rect{0, 0, static_cast<short>(height), static_cast<short>(width)}, {});
    *outWindow = w;
    return noErr;
}

void DisposeWindow(WindowRef window) {
    auto* w = liveWindow(window);
    if (!w) return;
    if (w->modalLoop) w->modalLoop->quit();
    for (const auto& c : w->controls) {
        removeHandlersOf(c->target);
        registry().controls.erase(c.get());
    }
    removeHandlersOf(w->target);
    std::erase_if(registry().dialogs, [w](const auto& d) { return d->window == w; });
    for (const auto& m : registry().menus)
        std::erase_if(m->popups, [w](OpaqueControlRef* c) { return c->owner == w; });
    // Controls' widgets go with the window's widget.
    w->controls.clear();
    std::erase_if(registry().windows, [w](const auto& owned) { return owned.get() == w; });
}

void ShowWindow(WindowRef window) {
    if (auto* w = liveWindow(window)) w->widget->show();
}

void HideWindow(WindowRef window) {
    if (auto* w = liveWindow(window)) w->widget->hide();
}

Boolean IsWindowVisible(WindowRef window) {
    auto* w = liveWindow(window);
    return w && w->widget->isVisible();
}

OSStatus SetWindowTitleWithCFString(WindowRef window, std::string_view title) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    w->widget->setWindowTitle(toQString(title));
    return noErr;
}

OSStatus GetRootControl(WindowRef window, ControlRef* outControl) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    if (!outControl) return paramErr;
    *outControl = w->root;
    return noErr;
}

namespace {

OSStatus markButton(WindowRef window, ControlRef button, OpaqueControlRef* OpaqueWindowPtr::*slot) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    auto* c = liveControl(button);
    if (button && (!c || c->owner != w || c->kind != ControlKind::PushButton)) return paramErr;
    w->*slot = c;
    return noErr;
}

OSStatus readButton(WindowRef window, ControlRef* outButton,
                    OpaqueControlRef* OpaqueWindowPtr::*slot) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    if (!outButton) return paramErr;
    *outButton = w->*slot;
    return noErr;
}

}  // namespace

OSStatus SetWindowDefaultButton(WindowRef window, ControlRef button) {
    OSStatus status = markButton(window, button, &OpaqueWindowPtr::defaultButton);
    if (status != noErr) return status;
    for (const auto& c : window->controls)
        if (auto* push = qobject_cast<QPushButton*>(c->widget.data()))
            push->setDefault(c.get() == window->defaultButton);
    return noErr;
}

OSStatus GetWindowDefaultButton(WindowRef window, ControlRef* outButton) {
    return readButton(window, outButton, &OpaqueWindowPtr::defaultButton);
}

OSStatus SetWindowCancelButton(WindowRef window, ControlRef button) {
    return markButton(window, button, &OpaqueWindowPtr::cancelButton);
}

OSStatus GetWindowCancelButton(WindowRef window, ControlRef* outButton) {
    return readButton(window, outButton, &OpaqueWindowPtr::cancelButton);
}

OSStatus SetKeyboardFocus(WindowRef window, ControlRef control, ControlPartCode part) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    if (part == kControlFocusNoPart) return ClearKeyboardFocus(window);
    auto* c = liveControl(control);
    if (!c || c->owner != w) return errUnknownControl;
    switch (c->kind) {
        case ControlKind::RootPane:
        case ControlKind::UserPane:
        case ControlKind::RadioGroup:
        case ControlKind::StaticText:
            return errControlDoesntSupportFocus;
        default:
            break;
    }
    w->focus = c;
    // Qt gives a hidden window's widget the focus when the window is next shown.
    c->widget->setFocus(Qt::OtherFocusReason);
    return noErr;
}

OSStatus GetKeyboardFocus(WindowRef window, ControlRef* outControl) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    if (!outControl) return paramErr;
    *outControl = w->focus;
    return noErr;
}

OSStatus ClearKeyboardFocus(WindowRef window) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    if (w->focus && w->focus->widget) w->focus->widget->clearFocus();
    w->focus = nullptr;
    return noErr;
}

OSStatus RunAppModalLoopForWindow(WindowRef window) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    w->quitModal = false;
    w->widget->setWindowModality(Qt::ApplicationModal);
    w->widget->show();
    while (liveWindow(window) && !w->quitModal) {
        if (auto& driver = registry().modalDriver) {
            if (!driver(window) && liveWindow(window)) w->quitModal = true;
        } else {
            QEventLoop loop;
            w->modalLoop = &loop;
            loop.exec();
            if (liveWindow(window)) w->modalLoop = nullptr;
        }
    }
    return noErr;
}

OSStatus QuitAppModalLoopForWindow(WindowRef window) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    w->quitModal = true;
    if (w->modalLoop) w->modalLoop->quit();
    return noErr;
}

ModalDriver SetModalDriver(ModalDriver driver) {
    return std::exchange(registry().modalDriver, std::move(driver));
}
