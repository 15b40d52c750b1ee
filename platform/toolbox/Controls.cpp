// Controls on widgets: making and embedding them, values, titles, visibility, states, bounds.
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <algorithm>
#include <cstring>

#include "Toolbox-private.h"
#include "ToolboxWidgets.h"

using qor::toolbox::ControlKind;

namespace qor::toolbox {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQString(const QString& text) {
    return text.toStdString();
}

// The panels' texts break lines with carriage returns; Qt's documents with line feeds.
QString fromMacLines(std::string_view text) {
    QString result = toQString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QChar('\r'), QChar('\n'));
    return result;
}

namespace {

Qt::Alignment alignmentFor(SInt16 justification) {
    switch (justification) {
        case teFlushRight:
            return Qt::AlignRight | Qt::AlignTop;
        case teCenter:
            return Qt::AlignHCenter | Qt::AlignTop;
        default:
            return Qt::AlignLeft | Qt::AlignTop;
    }
}

QWidget* makeWidget(OpaqueControlRef* c) {
    switch (c->kind) {
        case ControlKind::RootPane:
        case ControlKind::UserPane:
        case ControlKind::RadioGroup:
            return new QWidget;
        case ControlKind::PushButton:
            return new QPushButton;
        case ControlKind::CheckBox:
            return new QCheckBox;
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton;
            // Exclusivity is the radio group's business, not Qt's.
            radio->setAutoExclusive(false);
            return radio;
        }
        case ControlKind::PopupButton: {
            // A frame that holds the title (drawn only with a title width) and the menu button.
            auto* frame = new QWidget;
            auto* row = new QHBoxLayout(frame);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(0);
            auto* label = new QLabel(frame);
            label->setObjectName(QStringLiteral("title"));
            auto* combo = new QComboBox(frame);
            combo->setObjectName(QStringLiteral("menu"));
            combo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
            row->addWidget(label);
            row->addWidget(combo, 1);
            row->addStretch(0);
            return frame;
        }
        case ControlKind::StaticText: {
            auto* label = new QLabel;
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::EditText:
            return new QLineEdit;
        case ControlKind::TextBox: {
            auto* box = new QPlainTextEdit;
            // A scroll bar would take width from the text and change where lines break.
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            box->setTabChangesFocus(true);
            return box;
        }
    }
    return new QWidget;
}

// A field with a key filter takes text only as keys the filter has seen: no input method
// commits, context-menu pastes or drops, which would slip past it.
void restrictToKeys(OpaqueControlRef* c) {
    if (!c->keyFilter) return;
    c->widget->setAttribute(Qt::WA_InputMethodEnabled, false);
    c->widget->setContextMenuPolicy(Qt::NoContextMenu);
    c->widget->setAcceptDrops(false);
}

QComboBox* popupCombo(OpaqueControlRef* c) {
    return c->widget ? c->widget->findChild<QComboBox*>(QStringLiteral("menu")) : nullptr;
}

bool isRadioInGroup(const OpaqueControlRef* c) {
    return c->kind == ControlKind::RadioButton && c->parent &&
           c->parent->kind == ControlKind::RadioGroup;
}

std::vector<OpaqueControlRef*> radiosOf(const OpaqueControlRef* group) {
    std::vector<OpaqueControlRef*> radios;
    for (auto* child : group->children)
        if (child->kind == ControlKind::RadioButton) radios.push_back(child);
    return radios;
}

void syncGroup(OpaqueControlRef* group);

// After buttons came or went: the range follows their number, the value the chosen one.
void regroup(OpaqueControlRef* group) {
    auto radios = radiosOf(group);
    group->maximum = static_cast<SInt32>(radios.size());
    const auto chosen =
        std::find_if(radios.begin(), radios.end(),
                     [](const OpaqueControlRef* radio) { return radio->value != 0; });
    group->value = chosen == radios.end() ? 0 : static_cast<SInt32>(chosen - radios.begin()) + 1;
    syncGroup(group);
}

void syncGroup(OpaqueControlRef* group) {
    auto radios = radiosOf(group);
    for (std::size_t i = 0; i < radios.size(); ++i) {
        radios[i]->value = (static_cast<SInt32>(i) + 1 == group->value) ? 1 : 0;
        syncWidget(radios[i]);
    }
}

void syncVisibility(OpaqueControlRef* c) {
    if (c->widget && c->kind != ControlKind::RootPane) c->widget->setVisible(c->visible);
}

void syncEnabled(OpaqueControlRef* c) {
    if (c->widget) c->widget->setEnabled(c->enabled && c->active);
}

bool isAncestor(const OpaqueControlRef* ancestor, const OpaqueControlRef* c) {
    for (auto* p = c; p; p = p->parent)
        if (p == ancestor) return true;
    return false;
}

void clearFocusWithin(OpaqueControlRef* c) {
    auto* window = c->owner;
    if (window->focus && isAncestor(c, window->focus)) {
        if (window->focus->widget) window->focus->widget->clearFocus();
        window->focus = nullptr;
    }
}

void disposeTree(OpaqueControlRef* c) {
    while (!c->children.empty()) disposeTree(c->children.back());
    auto* window = c->owner;
    if (window->focus == c) window->focus = nullptr;
    if (window->defaultButton == c) window->defaultButton = nullptr;
    if (window->cancelButton == c) window->cancelButton = nullptr;
    if (c->parent) std::erase(c->parent->children, c);
    forgetMenuPopup(c);
    removeHandlersOf(c->target);
    if (window->dialog)
        std::replace(window->dialog->items.begin(), window->dialog->items.end(), c,
                     static_cast<OpaqueControlRef*>(nullptr));
    delete c->widget.data();
    registry().controls.erase(c);
    std::erase_if(window->controls, [c](const auto& owned) { return owned.get() == c; });
}

// The rule of the "all on the way up" queries: the control and every embedder up to the root.
template <typename Flag>
Boolean allTheWayUp(ControlRef control, Flag flag) {
    auto* c = liveControl(control);
    if (!c) return false;
    for (auto* p = c; p; p = p->parent)
        if (!flag(p)) return false;
    return true;
}

}  // namespace

OpaqueControlRef* makeControl(OpaqueWindowPtr* window, ControlKind kind, const Rect& bounds,
                              std::string_view title) {
    auto owned = std::make_unique<OpaqueControlRef>();
    auto* c = owned.get();
    c->kind = kind;
    c->owner = window;
    c->bounds = bounds;
    c->title = std::string(title);
    c->target.control = c;
    switch (kind) {
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
        case ControlKind::PushButton:
            c->maximum = 1;
            break;
        default:
            break;
    }
    c->widget = makeWidget(c);
    c->widget->setProperty("qorControl", QVariant::fromValue(static_cast<void*>(c)));
    window->controls.push_back(std::move(owned));
    registry().controls.insert(c);
    if (kind == ControlKind::RootPane) {
        c->widget->setParent(window->widget.get());
    } else if (window->root) {
        c->parent = window->root;
        window->root->children.push_back(c);
        c->widget->setParent(window->root->widget);
    }
    syncWidget(c);
    syncGeometry(c);
    syncVisibility(c);
    watchWidget(c);
    return c;
}

void syncGeometry(OpaqueControlRef* c) {
    if (!c->widget) return;
    const short originX = c->parent ? c->parent->bounds.left : 0;
    const short originY = c->parent ? c->parent->bounds.top : 0;
    const int width = std::max(0, c->bounds.right - c->bounds.left);
    const int height = std::max(0, c->bounds.bottom - c->bounds.top);
    c->widget->setGeometry(c->bounds.left - originX, c->bounds.top - originY, width, height);
    for (auto* child : c->children) syncGeometry(child);
}

void syncWidget(OpaqueControlRef* c) {
    QWidget* w = c->widget;
    if (!w) return;
    const QString title = toQString(c->title);
    switch (c->kind) {
        case ControlKind::PushButton:
            static_cast<QPushButton*>(w)->setText(title);
            break;
        case ControlKind::CheckBox: {
            auto* box = static_cast<QCheckBox*>(w);
            box->setText(title);
            box->setTristate(c->maximum >= kControlCheckBoxMixedValue);
            box->setCheckState(c->value == kControlCheckBoxCheckedValue ? Qt::Checked
                               : c->value == kControlCheckBoxMixedValue ? Qt::PartiallyChecked
                                                                        : Qt::Unchecked);
            break;
        }
        case ControlKind::RadioButton: {
            auto* radio = static_cast<QRadioButton*>(w);
            radio->setText(title);
            radio->setChecked(c->value != 0);
            break;
        }
        case ControlKind::PopupButton: {
            auto* label = w->findChild<QLabel*>(QStringLiteral("title"));
            label->setText(title);
            label->setVisible(c->titleWidth > 0);
            label->setFixedWidth(std::max<int>(0, c->titleWidth));
            label->setAlignment((alignmentFor(c->justification) & Qt::AlignHorizontal_Mask) |
                                Qt::AlignVCenter);
            auto* combo = popupCombo(c);
            auto* row = static_cast<QHBoxLayout*>(w->layout());
            combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            combo->setSizePolicy(c->variableWidth ? QSizePolicy::Maximum : QSizePolicy::Ignored,
                                 QSizePolicy::Ignored);
            row->setStretch(1, c->variableWidth ? 0 : 1);
            row->setStretch(2, c->variableWidth ? 1 : 0);
            const int index = c->value - 1;
            combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
            break;
        }
        case ControlKind::StaticText:
            static_cast<QLabel*>(w)->setAlignment(alignmentFor(c->justification));
            break;
        case ControlKind::EditText:
            static_cast<QLineEdit*>(w)->setEchoMode(c->password ? QLineEdit::Password
                                                                : QLineEdit::Normal);
            static_cast<QLineEdit*>(w)->setAlignment(alignmentFor(c->justification) &
                                                     Qt::AlignHorizontal_Mask);
            restrictToKeys(c);
            break;
        case ControlKind::TextBox:
            restrictToKeys(c);
            break;
        default:
            break;
    }
    syncEnabled(c);
}

void storeValue(OpaqueControlRef* c, SInt32 value) {
    c->value = std::clamp(value, c->minimum, std::max(c->minimum, c->maximum));
    if (c->kind == ControlKind::RadioGroup) {
        syncGroup(c);
    } else if (isRadioInGroup(c)) {
        auto radios = radiosOf(c->parent);
        const auto position =
            static_cast<SInt32>(std::find(radios.begin(), radios.end(), c) - radios.begin()) + 1;
        if (c->value != 0)
            c->parent->value = position;
        else if (c->parent->value == position)
            c->parent->value = 0;
        syncGroup(c->parent);
    }
    syncWidget(c);
}

}  // namespace qor::toolbox

using namespace qor::toolbox;

QWidget* GetControlWidget(ControlRef control) {
    auto* c = liveControl(control);
    return c ? c->widget.data() : nullptr;
}

ControlRef NewControl(WindowRef owner, const Rect* bounds, std::string_view title, Boolean visible,
                      SInt16 value, SInt16 minimum, SInt16 maximum, SInt16 procID, SRefCon refCon) {
    auto* window = liveWindow(owner);
    if (!window || !bounds) return nullptr;
    ControlKind kind = ControlKind::PushButton;
    switch (procID) {
        case checkBoxProc:
        case checkBoxAutoToggleProc:
            kind = ControlKind::CheckBox;
            break;
        case radioButProc:
            kind = ControlKind::RadioButton;
            break;
        case pushButProc:
            break;
        default:
            return nullptr;
    }
    auto* c = makeControl(window, kind, *bounds, title);
    c->autoToggle = procID == checkBoxAutoToggleProc;
    c->refCon = refCon;
    c->minimum = minimum;
    c->maximum = maximum;
    storeValue(c, value);
    c->visible = visible;
    syncVisibility(c);
    return c;
}

void DisposeControl(ControlRef control) {
    auto* c = liveControl(control);
    if (!c || c->kind == ControlKind::RootPane) return;
    auto* parent = c->parent;
    disposeTree(c);
    if (parent && parent->kind == ControlKind::RadioGroup) regroup(parent);
}

namespace {

// The shared tail of the Create…Control functions.
OSStatus create(WindowRef window, const Rect* bounds, ControlKind kind, std::string_view title,
                ControlRef* outControl, OpaqueControlRef** made = nullptr) {
    if (!outControl || !bounds) return paramErr;
    *outControl = nullptr;
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    auto* c = makeControl(w, kind, *bounds, title);
    *outControl = c;
    if (made) *made = c;
    return noErr;
}

}  // namespace

OSStatus CreateUserPaneControl(WindowRef window, const Rect* bounds, UInt32,
                               ControlRef* outControl) {
    return create(window, bounds, ControlKind::UserPane, {}, outControl);
}

OSStatus CreatePushButtonControl(WindowRef window, const Rect* bounds, std::string_view title,
                                 ControlRef* outControl) {
    return create(window, bounds, ControlKind::PushButton, title, outControl);
}

namespace {

OSStatus createToggle(WindowRef window, const Rect* bounds, ControlKind kind,
                      std::string_view title, SInt32 initialValue, Boolean autoToggle,
                      ControlRef* outControl) {
    OpaqueControlRef* c = nullptr;
    OSStatus status = create(window, bounds, kind, title, outControl, &c);
    if (status != noErr) return status;
    c->autoToggle = autoToggle;
    storeValue(c, initialValue);
    return noErr;
}

}  // namespace

OSStatus CreateCheckBoxControl(WindowRef window, const Rect* bounds, std::string_view title,
                               SInt32 initialValue, Boolean autoToggle, ControlRef* outControl) {
    return createToggle(window, bounds, ControlKind::CheckBox, title, initialValue, autoToggle,
                        outControl);
}

OSStatus CreateRadioButtonControl(WindowRef window, const Rect* bounds, std::string_view title,
                                  SInt32 initialValue, Boolean autoToggle, ControlRef* outControl) {
    return createToggle(window, bounds, ControlKind::RadioButton, title, initialValue, autoToggle,
                        outControl);
}

OSStatus CreateRadioGroupControl(WindowRef window, const Rect* bounds, ControlRef* outControl) {
    return create(window, bounds, ControlKind::RadioGroup, {}, outControl);
}

OSStatus CreatePopupButtonControl(WindowRef window, const Rect* bounds, std::string_view title,
                                  MenuID, Boolean variableWidth, SInt16 titleWidth,
                                  SInt16 titleJustification, UInt32, ControlRef* outControl) {
    // Menu ids name menu resources; menus here are only ever attached with
    // SetControlPopupMenuHandle, so the id asks for nothing.
    OpaqueControlRef* c = nullptr;
    OSStatus status = create(window, bounds, ControlKind::PopupButton, title, outControl, &c);
    if (status != noErr) return status;
    c->titleWidth = titleWidth;
    c->variableWidth = variableWidth;
    c->justification = titleJustification;
    syncWidget(c);
    return noErr;
}

OSStatus CreateStaticTextControl(WindowRef window, const Rect* bounds, std::string_view text,
                                 const ControlFontStyleRec* style, ControlRef* outControl) {
    OpaqueControlRef* c = nullptr;
    OSStatus status = create(window, bounds, ControlKind::StaticText, text, outControl, &c);
    if (status != noErr) return status;
    applyStyle(c, style);
    putText(c, text);
    syncWidget(c);
    return noErr;
}

OSStatus CreateEditUnicodeTextControl(WindowRef window, const Rect* bounds, std::string_view text,
                                      Boolean isPassword, const ControlFontStyleRec* style,
                                      ControlRef* outControl) {
    OpaqueControlRef* c = nullptr;
    OSStatus status = create(window, bounds, ControlKind::EditText, {}, outControl, &c);
    if (status != noErr) return status;
    c->password = isPassword;
    applyStyle(c, style);
    putText(c, text);
    syncWidget(c);
    return noErr;
}

OSStatus CreateMultilineEditTextControl(WindowRef window, const Rect* bounds, std::string_view text,
                                        const ControlFontStyleRec* style, ControlRef* outControl) {
    OpaqueControlRef* c = nullptr;
    OSStatus status = create(window, bounds, ControlKind::TextBox, {}, outControl, &c);
    if (status != noErr) return status;
    applyStyle(c, style);
    putText(c, text);
    return noErr;
}

void SetControl32BitValue(ControlRef control, SInt32 value) {
    if (auto* c = liveControl(control)) storeValue(c, value);
}

namespace {

// Either end of the range; the value is clamped into the new range.
void setRangeEnd(ControlRef control, SInt32 OpaqueControlRef::*end, SInt32 limit) {
    if (auto* c = liveControl(control)) {
        c->*end = limit;
        storeValue(c, c->value);
    }
}

SInt32 field(ControlRef control, SInt32 OpaqueControlRef::*member) {
    auto* c = liveControl(control);
    return c ? c->*member : 0;
}

}  // namespace

SInt32 GetControl32BitValue(ControlRef control) {
    return field(control, &OpaqueControlRef::value);
}

void SetControl32BitMinimum(ControlRef control, SInt32 minimum) {
    setRangeEnd(control, &OpaqueControlRef::minimum, minimum);
}

SInt32 GetControl32BitMinimum(ControlRef control) {
    return field(control, &OpaqueControlRef::minimum);
}

void SetControl32BitMaximum(ControlRef control, SInt32 maximum) {
    setRangeEnd(control, &OpaqueControlRef::maximum, maximum);
}

SInt32 GetControl32BitMaximum(ControlRef control) {
    return field(control, &OpaqueControlRef::maximum);
}

OSStatus SetControlTitleWithCFString(ControlRef control, std::string_view title) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    c->title = std::string(title);
    if (c->kind == ControlKind::StaticText) putText(c, title);
    syncWidget(c);
    return noErr;
}

OSStatus CopyControlTitleAsCFString(ControlRef control, std::string* outTitle) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!outTitle) return paramErr;
    *outTitle = c->title;
    return noErr;
}

void SetControlReference(ControlRef control, SRefCon data) {
    if (auto* c = liveControl(control)) c->refCon = data;
}

SRefCon GetControlReference(ControlRef control) {
    auto* c = liveControl(control);
    return c ? c->refCon : 0;
}

OSStatus SetControlID(ControlRef control, const ControlID* id) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!id) return paramErr;
    c->id = *id;
    return noErr;
}

OSStatus GetControlID(ControlRef control, ControlID* outId) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!outId) return paramErr;
    *outId = c->id;
    return noErr;
}

OSStatus GetControlByID(WindowRef window, const ControlID* id, ControlRef* outControl) {
    auto* w = liveWindow(window);
    if (!w) return errInvalidWindowRef;
    if (!id || !outControl) return paramErr;
    *outControl = nullptr;
    for (const auto& c : w->controls) {
        if (c->id.signature == id->signature && c->id.id == id->id) {
            *outControl = c.get();
            return noErr;
        }
    }
    return errUnknownControl;
}

WindowRef GetControlOwner(ControlRef control) {
    auto* c = liveControl(control);
    return c ? c->owner : nullptr;
}

OSStatus EmbedControl(ControlRef control, ControlRef container) {
    auto* c = liveControl(control);
    auto* into = liveControl(container);
    if (!c || !into) return errUnknownControl;
    if (c->kind == ControlKind::RootPane) return errCantEmbedRoot;
    if (isAncestor(c, into)) return errCantEmbedIntoSelf;
    if (c->owner != into->owner) return paramErr;
    switch (into->kind) {
        case ControlKind::RootPane:
        case ControlKind::UserPane:
        case ControlKind::RadioGroup:
            break;
        default:
            return errControlIsNotEmbedder;
    }
    auto* from = c->parent;
    if (from) std::erase(from->children, c);
    c->parent = into;
    into->children.push_back(c);
    c->widget->setParent(into->widget);
    syncGeometry(c);
    syncVisibility(c);
    if (from && from->kind == ControlKind::RadioGroup) regroup(from);
    if (into->kind == ControlKind::RadioGroup && c->kind == ControlKind::RadioButton) {
        // A chosen button that joins the group becomes the group's choice.
        into->maximum = static_cast<SInt32>(radiosOf(into).size());
        if (c->value != 0)
            storeValue(c, c->value);
        else
            syncGroup(into);
    }
    return noErr;
}

OSStatus GetSuperControl(ControlRef control, ControlRef* outParent) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!outParent) return paramErr;
    *outParent = c->parent;
    return c->parent ? noErr : errUnknownControl;
}

OSStatus CountSubControls(ControlRef control, UInt16* outNumChildren) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!outNumChildren) return paramErr;
    *outNumChildren = static_cast<UInt16>(c->children.size());
    return noErr;
}

OSStatus GetIndexedSubControl(ControlRef control, UInt16 index, ControlRef* outSubControl) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!outSubControl || index < 1 || index > c->children.size()) return paramErr;
    *outSubControl = c->children[index - 1];
    return noErr;
}

OSStatus SetControlVisibility(ControlRef control, Boolean visible, Boolean draw) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    c->visible = visible;
    if (!visible) clearFocusWithin(c);
    syncVisibility(c);
    if (draw && c->widget && c->widget->isVisible()) c->widget->update();
    return noErr;
}

void ShowControl(ControlRef control) {
    SetControlVisibility(control, true, true);
}
void HideControl(ControlRef control) {
    SetControlVisibility(control, false, true);
}

Boolean IsControlVisible(ControlRef control) {
    return allTheWayUp(control, [](const OpaqueControlRef* c) { return c->visible; });
}

Boolean IsControlLatentlyVisible(ControlRef control) {
    auto* c = liveControl(control);
    return c && c->visible;
}

namespace {

OSStatus setFlag(ControlRef control, bool OpaqueControlRef::*flag, bool on) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    c->*flag = on;
    syncEnabled(c);
    return noErr;
}

}  // namespace

OSStatus EnableControl(ControlRef control) {
    return setFlag(control, &OpaqueControlRef::enabled, true);
}
OSStatus DisableControl(ControlRef control) {
    return setFlag(control, &OpaqueControlRef::enabled, false);
}
OSStatus ActivateControl(ControlRef control) {
    return setFlag(control, &OpaqueControlRef::active, true);
}
OSStatus DeactivateControl(ControlRef control) {
    return setFlag(control, &OpaqueControlRef::active, false);
}

Boolean IsControlEnabled(ControlRef control) {
    return allTheWayUp(control, [](const OpaqueControlRef* c) { return c->enabled; });
}

Boolean IsControlActive(ControlRef control) {
    return allTheWayUp(control, [](const OpaqueControlRef* c) { return c->active; });
}

Rect* GetControlBounds(ControlRef control, Rect* outBounds) {
    auto* c = liveControl(control);
    if (!outBounds) return nullptr;
    *outBounds = c ? c->bounds : Rect{};
    return outBounds;
}

void SetControlBounds(ControlRef control, const Rect* bounds) {
    auto* c = liveControl(control);
    if (!c || !bounds || c->kind == ControlKind::RootPane) return;
    c->bounds = *bounds;
    syncGeometry(c);
}

namespace {

void offsetTree(OpaqueControlRef* c, short dh, short dv) {
    c->bounds.left = static_cast<short>(c->bounds.left + dh);
    c->bounds.right = static_cast<short>(c->bounds.right + dh);
    c->bounds.top = static_cast<short>(c->bounds.top + dv);
    c->bounds.bottom = static_cast<short>(c->bounds.bottom + dv);
    for (auto* child : c->children) offsetTree(child, dh, dv);
}

}  // namespace

void MoveControl(ControlRef control, SInt16 h, SInt16 v) {
    auto* c = liveControl(control);
    if (!c || c->kind == ControlKind::RootPane) return;
    offsetTree(c, static_cast<short>(h - c->bounds.left), static_cast<short>(v - c->bounds.top));
    syncGeometry(c);
}

void SizeControl(ControlRef control, SInt16 width, SInt16 height) {
    auto* c = liveControl(control);
    if (!c) return;
    Rect bounds = c->bounds;
    bounds.right = static_cast<short>(bounds.left + width);
    bounds.bottom = static_cast<short>(bounds.top + height);
    SetControlBounds(control, &bounds);
}

void Draw1Control(ControlRef control) {
    if (auto* c = liveControl(control); c && c->widget) c->widget->update();
}
