// Event handler chains, clicks, popup choices, key filters and dialog keys, fed by the widgets.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <algorithm>
#include <cstring>

#include "Toolbox-private.h"

using qor::toolbox::ControlKind;

namespace qor::toolbox {

namespace {

bool matches(const OpaqueEventHandlerRef& handler, const OpaqueEventRef& event) {
    return std::any_of(handler.types.begin(), handler.types.end(), [&](const EventTypeSpec& t) {
        return t.eventClass == event.eventClass && t.eventKind == event.kind;
    });
}

void appendNewestFirst(std::vector<std::shared_ptr<OpaqueEventHandlerRef>>& chain,
                       const OpaqueEventTargetRef& target) {
    chain.insert(chain.end(), target.handlers.rbegin(), target.handlers.rend());
}

// Handlers in the order an event sent to the target meets them: the target's own, its
// embedders' (for a control), its window's, the application's.
std::vector<std::shared_ptr<OpaqueEventHandlerRef>> chainFor(OpaqueEventTargetRef* target) {
    std::vector<std::shared_ptr<OpaqueEventHandlerRef>> chain;
    OpaqueWindowPtr* window = target->window;
    if (target->control) {
        for (auto* c = target->control; c; c = c->parent) appendNewestFirst(chain, c->target);
        window = target->control->owner;
    }
    if (window) appendNewestFirst(chain, window->target);
    appendNewestFirst(chain, registry().application);
    return chain;
}

OSStatus continueChain(OpaqueEventHandlerCallRef& call, OpaqueEventRef* event) {
    while (call.next < call.chain.size()) {
        auto handler = call.chain[call.next++];
        if (handler->removed || !matches(*handler, *event)) continue;
        const OSStatus status = handler->proc(&call, event, handler->userData);
        if (status != eventNotHandledErr) return status;
    }
    return eventNotHandledErr;
}

OSStatus dispatch(OpaqueEventRef* event, OpaqueEventTargetRef* target) {
    OpaqueEventHandlerCallRef call{chainFor(target), 0};
    return continueChain(call, event);
}

OpaqueControlRef* controlOf(QObject* object) {
    for (auto* o = object; o; o = o->parent()) {
        const QVariant handle = o->property("qorControl");
        if (handle.isValid()) return liveControl(static_cast<ControlRef>(handle.value<void*>()));
    }
    return nullptr;
}

EventModifiers macModifiers(Qt::KeyboardModifiers modifiers) {
    EventModifiers result = 0;
    if (modifiers & Qt::ControlModifier) result |= cmdKey;
    if (modifiers & Qt::ShiftModifier) result |= shiftKey;
    if (modifiers & Qt::AltModifier) result |= optionKey;
    if (modifiers & Qt::MetaModifier) result |= controlKey;
    return result;
}

bool acceptsClicks(OpaqueControlRef* c) {
    return IsControlEnabled(c) && IsControlActive(c) && IsControlVisible(c);
}

ControlPartCode partFor(const OpaqueControlRef* c) {
    switch (c->kind) {
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            return kControlCheckBoxPart;
        case ControlKind::PopupButton:
            return kControlMenuPart;
        case ControlKind::EditText:
        case ControlKind::TextBox:
            return kControlEditTextPart;
        default:
            return kControlButtonPart;
    }
}

// What follows a click once the control has its new value: value-change and hit events, and
// when no handler takes the hit, the dialog hears of its item.
ControlPartCode finishClick(OpaqueControlRef* c, SInt32 before, EventModifiers modifiers) {
    const ControlPartCode part = partFor(c);
    if (c->value != before) sendControlEvent(c, kEventControlValueFieldChanged, part, modifiers);
    if (!liveControl(c)) return part;
    if (sendControlEvent(c, kEventControlHit, part, modifiers) == eventNotHandledErr &&
        liveControl(c)) {
        if (auto* dialog = c->owner->dialog) reportDialogItem(dialog, dialogItemOf(c));
    }
    return part;
}

ControlPartCode clickControl(OpaqueControlRef* c, EventModifiers modifiers) {
    if (!acceptsClicks(c)) {
        syncWidget(c);
        return kControlNoPart;
    }
    const SInt32 before = c->value;
    if (c->autoToggle) {
        if (c->kind == ControlKind::CheckBox)
            storeValue(c, c->value == kControlCheckBoxCheckedValue ? 0 : 1);
        else if (c->kind == ControlKind::RadioButton)
            storeValue(c, kControlRadioButtonCheckedValue);
    }
    // The widget may have toggled itself; the record decides what it shows.
    syncWidget(c);
    return finishClick(c, before, modifiers);
}

// Keys in a dialog that ModalDialog waits on: its filter first, then Return, Enter and Escape
// for the default and cancel items. Returns true when the key is used up.
bool dialogFilterKey(OpaqueDialogPtr* dialog, const MacKey& key, bool repeat) {
    if (!dialog->filter) return false;
    EventRecord record;
    record.what = repeat ? autoKey : keyDown;
    record.message = static_cast<UInt32>(static_cast<unsigned char>(key.charCode)) |
                     (static_cast<UInt32>(key.keyCode & 0xFF) << 8);
    record.modifiers = key.modifiers;
    DialogItemIndex item = 0;
    if (!dialog->filter(dialog, &record, &item)) return false;
    if (item > 0) reportDialogItem(dialog, item);
    return true;
}

bool dialogStandardKey(OpaqueDialogPtr* dialog, OpaqueControlRef* c, const MacKey& key) {
    const bool newLine = key.charCode == 13 && c && c->kind == ControlKind::TextBox;
    if ((key.charCode == 13 || key.charCode == 3) && !newLine) {
        if (dialog->defaultItem > 0) reportDialogItem(dialog, dialog->defaultItem);
        return true;
    }
    if (key.charCode == 27) {
        if (dialog->cancelItem > 0) reportDialogItem(dialog, dialog->cancelItem);
        return true;
    }
    return false;
}

bool filterKey(OpaqueControlRef* c, QKeyEvent* event) {
    const auto key = translateKey(*event);
    if (!key) return false;
    OpaqueDialogPtr* dialog = c->owner->dialog;
    if (dialog && !dialog->inModal) dialog = nullptr;
    if (dialog && dialogFilterKey(dialog, *key, event->isAutoRepeat())) return true;
    if (!liveControl(c)) return true;
    if (c->keyFilter) {
        SInt16 keyCode = key->keyCode;
        SInt16 charCode = key->charCode;
        EventModifiers modifiers = key->modifiers;
        if (c->keyFilter(c, &keyCode, &charCode, &modifiers) == kControlKeyFilterBlockKey)
            return true;
    }
    if (!dialog) return false;
    if (dialogStandardKey(dialog, c->kind == ControlKind::RootPane ? nullptr : c, *key))
        return true;
    // The field takes the key as soon as this filter returns; ModalDialog then reports it.
    if (c->kind == ControlKind::EditText || c->kind == ControlKind::TextBox)
        reportDialogItem(dialog, dialogItemOf(c));
    return false;
}

// A key that a widget leaves unused travels on to its parents, and every one of them is watched.
// Filters must see each key once: the same event arriving at an ancestor of the widget that had
// it last is that key on its way up.
bool onItsWayUp(QObject* object, const QKeyEvent* event) {
    static struct {
        const QKeyEvent* event = nullptr;
        QPointer<QObject> receiver;
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        QString text;
    } last;
    bool ancestor = false;
    for (QObject* p = last.receiver ? last.receiver->parent() : nullptr; p && !ancestor;
         p = p->parent())
        ancestor = p == object;
    if (ancestor && last.event == event && last.key == event->key() &&
        last.modifiers == event->modifiers() && last.text == event->text())
        return true;
    last.event = event;
    last.receiver = object;
    last.key = event->key();
    last.modifiers = event->modifiers();
    last.text = event->text();
    return false;
}

class WidgetWatcher : public QObject {
  public:
    bool eventFilter(QObject* object, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (onItsWayUp(object, key)) break;
                if (auto* c = controlOf(object)) return filterKey(c, key);
                break;
            }
            case QEvent::FocusIn:
                if (auto* c = controlOf(object); c && c->kind != ControlKind::RootPane)
                    c->owner->focus = c;
                break;
            case QEvent::MouseButtonRelease:
                // The middle button pastes the selection, which no key filter would see.
                if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton)
                    if (auto* c = controlOf(object); c && c->keyFilter) return true;
                break;
            case QEvent::Close:
                return closeRequested(object);
            default:
                break;
        }
        return false;
    }

  private:
    // Closing a window that a modal loop waits on answers like its cancel button.
    static bool closeRequested(QObject* object) {
        auto* c = controlOf(object);
        if (!c || c->kind != ControlKind::RootPane) return false;
        auto* window = c->owner;
        if (window->dialog && window->dialog->inModal) {
            reportDialogItem(window->dialog, window->dialog->cancelItem);
            return true;
        }
        if (window->modalLoop) {
            QuitAppModalLoopForWindow(window);
            return true;
        }
        return false;
    }
};

WidgetWatcher& watcher() {
    // Lives as long as the process, since widgets anywhere may still refer to it.
    static auto* instance = new WidgetWatcher;
    return *instance;
}

}  // namespace

void watchWidget(OpaqueControlRef* c) {
    QWidget* widget = c->widget;
    widget->installEventFilter(&watcher());
    for (auto* inner : widget->findChildren<QWidget*>()) inner->installEventFilter(&watcher());
    if (c->kind == ControlKind::RootPane) {
        QWidget* top = c->owner->widget.get();
        top->setProperty("qorControl", QVariant::fromValue(static_cast<void*>(c)));
        top->installEventFilter(&watcher());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, &watcher(), [c] {
            if (liveControl(c)) clickControl(c, macModifiers(QApplication::keyboardModifiers()));
        });
    }
    if (c->kind == ControlKind::PopupButton) {
        auto* combo = widget->findChild<QComboBox*>();
        QObject::connect(combo, &QComboBox::activated, &watcher(), [c](int index) {
            if (liveControl(c)) HandlePopupMenuSelection(c, static_cast<MenuItemIndex>(index + 1));
        });
    }
}

OSStatus sendControlEvent(OpaqueControlRef* c, UInt32 kind, ControlPartCode part,
                          EventModifiers modifiers) {
    OpaqueEventRef event;
    event.eventClass = kEventClassControl;
    event.kind = kind;
    ControlRef self = c;
    UInt32 mods = modifiers;
    SetEventParameter(&event, kEventParamDirectObject, typeControlRef, sizeof self, &self);
    SetEventParameter(&event, kEventParamControlPart, typeControlPartCode, sizeof part, &part);
    SetEventParameter(&event, kEventParamKeyModifiers, typeUInt32, sizeof mods, &mods);
    return dispatch(&event, &c->target);
}

void removeHandlersOf(OpaqueEventTargetRef& target) {
    for (auto& handler : target.handlers) {
        handler->removed = true;
        registry().handlers.erase(handler.get());
    }
    target.handlers.clear();
}

std::optional<MacKey> translateKey(const QKeyEvent& event) {
    MacKey key;
    key.modifiers = macModifiers(event.modifiers());
    struct Special {
        int qtKey;
        SInt16 charCode;
        SInt16 keyCode;
    };
    static constexpr Special specials[] = {
        {Qt::Key_Backspace, 8, 0x33}, {Qt::Key_Tab, 9, 0x30},      {Qt::Key_Backtab, 9, 0x30},
        {Qt::Key_Return, 13, 0x24},   {Qt::Key_Enter, 3, 0x4C},    {Qt::Key_Escape, 27, 0x35},
        {Qt::Key_Left, 28, 0x7B},     {Qt::Key_Right, 29, 0x7C},   {Qt::Key_Up, 30, 0x7E},
        {Qt::Key_Down, 31, 0x7D},     {Qt::Key_Delete, 127, 0x75}, {Qt::Key_Home, 1, 0x73},
        {Qt::Key_End, 4, 0x77},       {Qt::Key_PageUp, 11, 0x74},  {Qt::Key_PageDown, 12, 0x79},
    };
    for (const auto& special : specials) {
        if (special.qtKey == event.key()) {
            key.charCode = special.charCode;
            key.keyCode = special.keyCode;
            return key;
        }
    }
    // Virtual key codes of the US keyboard, by character.
    using namespace std::literals;
    static constexpr std::string_view keyboard =
        "asdfhgzxcv\0bqweryt123465=97-80]ou[ip\0lj'k;\\,/nm.\0 `"sv;
    const QString text = event.text();
    const int qtKey = event.key();
    if ((event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) && qtKey >= Qt::Key_A &&
        qtKey <= Qt::Key_Z) {
        // With Control held the text is a control character; the letter is what filters test.
        const char letter = static_cast<char>('a' + (qtKey - Qt::Key_A));
        key.charCode = (event.modifiers() & Qt::ShiftModifier) ? letter - 'a' + 'A' : letter;
    } else if (!text.isEmpty()) {
        const char16_t unit = text.at(0).unicode();
        // Beyond Latin-1 the low byte could pass for a digit or letter; '?' passes for neither.
        key.charCode = unit < 0x100 ? static_cast<SInt16>(unit) : SInt16{'?'};
    } else {
        return std::nullopt;
    }
    const char lower = static_cast<char>(
        key.charCode >= 'A' && key.charCode <= 'Z' ? key.charCode - 'A' + 'a' : key.charCode);
    const auto at = keyboard.find(lower);
    key.keyCode = (lower != '\0' && at != std::string_view::npos) ? static_cast<SInt16>(at) : 0;
    return key;
}

}  // namespace qor::toolbox

using namespace qor::toolbox;

ControlPartCode HandleControlClick(ControlRef control, Point, EventModifiers modifiers, void*) {
    auto* c = liveControl(control);
    return c ? clickControl(c, modifiers) : kControlNoPart;
}

ControlPartCode HandlePopupMenuSelection(ControlRef popup, MenuItemIndex item) {
    auto* c = liveControl(popup);
    if (!c || c->kind != ControlKind::PopupButton) return kControlNoPart;
    const bool choosable = acceptsClicks(c) && c->menu && item >= 1 &&
                           item <= c->menu->items.size() && c->menu->items[item - 1].enabled;
    if (!choosable) {
        syncWidget(c);
        return kControlNoPart;
    }
    const SInt32 before = c->value;
    storeValue(c, item);
    return finishClick(c, before, macModifiers(QApplication::keyboardModifiers()));
}

EventTargetRef GetControlEventTarget(ControlRef control) {
    auto* c = liveControl(control);
    return c ? &c->target : nullptr;
}

EventTargetRef GetWindowEventTarget(WindowRef window) {
    auto* w = liveWindow(window);
    return w ? &w->target : nullptr;
}

EventTargetRef GetApplicationEventTarget() {
    return &registry().application;
}

OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* typeList, void* userData,
                             EventHandlerRef* outRef) {
    if (outRef) *outRef = nullptr;
    if (!target || !handler || (numTypes > 0 && !typeList)) return paramErr;
    auto record = std::make_shared<OpaqueEventHandlerRef>();
    record->proc = handler;
    record->types.assign(typeList, typeList + numTypes);
    record->userData = userData;
    record->target = target;
    target->handlers.push_back(record);
    registry().handlers.insert(record.get());
    if (outRef) *outRef = record.get();
    return noErr;
}

OSStatus InstallControlEventHandler(ControlRef control, EventHandlerUPP handler, ItemCount numTypes,
                                    const EventTypeSpec* typeList, void* userData,
                                    EventHandlerRef* outRef) {
    auto* c = liveControl(control);
    if (!c) {
        if (outRef) *outRef = nullptr;
        return errUnknownControl;
    }
    return InstallEventHandler(&c->target, handler, numTypes, typeList, userData, outRef);
}

OSStatus InstallWindowEventHandler(WindowRef window, EventHandlerUPP handler, ItemCount numTypes,
                                   const EventTypeSpec* typeList, void* userData,
                                   EventHandlerRef* outRef) {
    auto* w = liveWindow(window);
    if (!w) {
        if (outRef) *outRef = nullptr;
        return errInvalidWindowRef;
    }
    return InstallEventHandler(&w->target, handler, numTypes, typeList, userData, outRef);
}

OSStatus RemoveEventHandler(EventHandlerRef handler) {
    if (!handler || !registry().handlers.contains(handler)) return paramErr;
    handler->removed = true;
    registry().handlers.erase(handler);
    std::erase_if(handler->target->handlers,
                  [handler](const auto& owned) { return owned.get() == handler; });
    return noErr;
}

OSStatus CallNextEventHandler(EventHandlerCallRef callRef, EventRef event) {
    if (!callRef || !event) return paramErr;
    return continueChain(*callRef, event);
}

OSStatus CreateEvent(void*, UInt32 eventClass, UInt32 kind, double, UInt32, EventRef* outEvent) {
    if (!outEvent) return paramErr;
    auto* event = new OpaqueEventRef;
    event->eventClass = eventClass;
    event->kind = kind;
    *outEvent = event;
    return noErr;
}

void ReleaseEvent(EventRef event) {
    delete event;
}

UInt32 GetEventClass(EventRef event) {
    return event ? event->eventClass : 0;
}
UInt32 GetEventKind(EventRef event) {
    return event ? event->kind : 0;
}

OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, Size size,
                           const void* data) {
    if (!event || size < 0 || (size > 0 && !data)) return paramErr;
    const auto* bytes = static_cast<const unsigned char*>(data);
    event->params[name] = {type, std::vector<unsigned char>(bytes, bytes + size)};
    return noErr;
}

OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* actualType, Size bufferSize, Size* actualSize,
                           void* data) {
    if (!event || bufferSize < 0) return paramErr;
    const auto found = event->params.find(name);
    if (found == event->params.end()) return eventParameterNotFoundErr;
    const auto& [type, bytes] = found->second;
    if (desiredType != type) return paramErr;
    if (actualType) *actualType = type;
    if (actualSize) *actualSize = static_cast<Size>(bytes.size());
    if (data) std::memcpy(data, bytes.data(), std::min<std::size_t>(bytes.size(), bufferSize));
    return noErr;
}

OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target) {
    if (!event || !target) return paramErr;
    return dispatch(event, target);
}
