// Texts, selections, key filters and the other tagged data of controls.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstring>

#include "Toolbox-private.h"

using qor::toolbox::ControlKind;

namespace qor::toolbox {

namespace {

std::string toMacLines(QString text) {
    text.replace(QChar('\n'), QChar('\r'));
    return fromQString(text);
}

bool takesText(const OpaqueControlRef* c) {
    return c->kind == ControlKind::EditText || c->kind == ControlKind::TextBox ||
           c->kind == ControlKind::StaticText;
}

// Text as the control shows it; the clear text of a password field when clear is set.
std::string shownText(OpaqueControlRef* c, bool clear) {
    if (auto* line = qobject_cast<QLineEdit*>(c->widget.data()))
        return fromQString(clear ? line->text() : line->displayText());
    if (auto* box = qobject_cast<QPlainTextEdit*>(c->widget.data()))
        return toMacLines(box->toPlainText());
    if (auto* label = qobject_cast<QLabel*>(c->widget.data())) return fromQString(label->text());
    return {};
}

OSStatus copyOut(const void* source, Size size, Size bufferSize, void* buffer, Size* actualSize) {
    if (actualSize) *actualSize = size;
    if (buffer && bufferSize > 0) std::memcpy(buffer, source, std::min(size, bufferSize));
    return noErr;
}

}  // namespace

void applyStyle(OpaqueControlRef* c, const ControlFontStyleRec* style) {
    if (style && (style->flags & kControlUseJustMask)) c->justification = style->just;
}

void putText(OpaqueControlRef* c, std::string_view text) {
    if (auto* line = qobject_cast<QLineEdit*>(c->widget.data()))
        line->setText(toQString(text));
    else if (auto* box = qobject_cast<QPlainTextEdit*>(c->widget.data()))
        box->setPlainText(fromMacLines(text));
    else if (auto* label = qobject_cast<QLabel*>(c->widget.data()))
        label->setText(toQString(text));
}

}  // namespace qor::toolbox

using namespace qor::toolbox;

OSStatus SetControlText(ControlRef control, std::string_view text) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!takesText(c)) return errDataNotSupported;
    putText(c, text);
    return noErr;
}

OSStatus CopyControlText(ControlRef control, std::string* outText) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!outText) return paramErr;
    if (!takesText(c)) return errDataNotSupported;
    *outText = shownText(c, false);
    return noErr;
}

namespace {

// Selections count bytes of the UTF-8 text, as the texts and their lengths do.
SInt16 byteOffsetOf(const QString& text, int position) {
    return static_cast<SInt16>(std::min<qsizetype>(text.left(position).toUtf8().size(), 32767));
}

// The character position at a byte offset; an offset inside a character goes back to its start.
int positionOf(const QString& text, int byteOffset) {
    int bytes = 0;
    int position = 0;
    while (position < text.size()) {
        const int units = text.at(position).isHighSurrogate() ? 2 : 1;
        const int width = static_cast<int>(text.mid(position, units).toUtf8().size());
        if (bytes + width > byteOffset) break;
        bytes += width;
        position += units;
    }
    return position;
}

OSStatus getSelection(OpaqueControlRef* c, ControlEditTextSelectionRec* selection) {
    int start = 0;
    int end = 0;
    QString text;
    if (auto* line = qobject_cast<QLineEdit*>(c->widget.data())) {
        text = line->text();
        start = end = line->cursorPosition();
        if (line->hasSelectedText()) {
            start = line->selectionStart();
            end = line->selectionEnd();
        }
    } else if (auto* box = qobject_cast<QPlainTextEdit*>(c->widget.data())) {
        text = box->toPlainText();
        start = box->textCursor().selectionStart();
        end = box->textCursor().selectionEnd();
    } else {
        return errDataNotSupported;
    }
    selection->selStart = byteOffsetOf(text, start);
    selection->selEnd = byteOffsetOf(text, end);
    return noErr;
}

OSStatus setSelection(OpaqueControlRef* c, SInt16 start, SInt16 end) {
    if (auto* line = qobject_cast<QLineEdit*>(c->widget.data())) {
        const int from = positionOf(line->text(), std::max<int>(start, 0));
        const int to = std::max(from, positionOf(line->text(), end));
        line->setSelection(from, to - from);
        if (to == from) line->setCursorPosition(from);
        return noErr;
    }
    if (auto* box = qobject_cast<QPlainTextEdit*>(c->widget.data())) {
        const QString text = box->toPlainText();
        const int from = positionOf(text, std::max<int>(start, 0));
        const int to = std::max(from, positionOf(text, end));
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
        return noErr;
    }
    return errDataNotSupported;
}

}  // namespace

OSStatus SetControlData(ControlRef control, ControlPartCode, ResType tag, Size size,
                        const void* data) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (!data || size < 0) return paramErr;
    const bool editable = c->kind == ControlKind::EditText || c->kind == ControlKind::TextBox;
    if ((tag == kControlEditTextTextTag || tag == kControlEditTextPasswordTag) && takesText(c)) {
        putText(c, std::string_view(static_cast<const char*>(data), static_cast<size_t>(size)));
        return noErr;
    }
    if (tag == kControlEditTextSelectionTag && editable) {
        if (size != sizeof(ControlEditTextSelectionRec)) return paramErr;
        const auto* selection = static_cast<const ControlEditTextSelectionRec*>(data);
        return setSelection(c, selection->selStart, selection->selEnd);
    }
    if (tag == kControlEditTextKeyFilterTag && editable) {
        if (size != sizeof(ControlKeyFilterUPP)) return paramErr;
        std::memcpy(&c->keyFilter, data, sizeof(ControlKeyFilterUPP));
        syncWidget(c);
        return noErr;
    }
    if ((tag == kControlPushButtonDefaultTag || tag == kControlPushButtonCancelTag) &&
        c->kind == ControlKind::PushButton) {
        if (size != sizeof(Boolean)) return paramErr;
        const bool on = *static_cast<const Boolean*>(data) != 0;
        if (tag == kControlPushButtonDefaultTag) {
            if (on) return SetWindowDefaultButton(c->owner, c);
            if (c->owner->defaultButton == c) return SetWindowDefaultButton(c->owner, nullptr);
        } else {
            if (on) return SetWindowCancelButton(c->owner, c);
            if (c->owner->cancelButton == c) return SetWindowCancelButton(c->owner, nullptr);
        }
        return noErr;
    }
    if (tag == kControlFontStyleTag) {
        if (size != sizeof(ControlFontStyleRec)) return paramErr;
        applyStyle(c, static_cast<const ControlFontStyleRec*>(data));
        syncWidget(c);
        return noErr;
    }
    return errDataNotSupported;
}

OSStatus GetControlData(ControlRef control, ControlPartCode, ResType tag, Size bufferSize,
                        void* buffer, Size* actualSize) {
    auto* c = liveControl(control);
    if (!c) return errUnknownControl;
    if (bufferSize < 0) return paramErr;
    const bool editable = c->kind == ControlKind::EditText || c->kind == ControlKind::TextBox;
    if ((tag == kControlEditTextTextTag || tag == kControlEditTextPasswordTag) && takesText(c)) {
        const std::string text = shownText(c, tag == kControlEditTextPasswordTag);
        return copyOut(text.data(), static_cast<Size>(text.size()), bufferSize, buffer, actualSize);
    }
    if (tag == kControlEditTextSelectionTag && editable) {
        ControlEditTextSelectionRec selection;
        getSelection(c, &selection);
        return copyOut(&selection, sizeof selection, bufferSize, buffer, actualSize);
    }
    if (tag == kControlEditTextKeyFilterTag && editable)
        return copyOut(&c->keyFilter, sizeof c->keyFilter, bufferSize, buffer, actualSize);
    if (tag == kControlPushButtonDefaultTag && c->kind == ControlKind::PushButton) {
        const Boolean on = c->owner->defaultButton == c;
        return copyOut(&on, sizeof on, bufferSize, buffer, actualSize);
    }
    if (tag == kControlPushButtonCancelTag && c->kind == ControlKind::PushButton) {
        const Boolean on = c->owner->cancelButton == c;
        return copyOut(&on, sizeof on, bufferSize, buffer, actualSize);
    }
    return errDataNotSupported;
}

OSStatus GetControlDataSize(ControlRef control, ControlPartCode part, ResType tag,
                            Size* outMaxSize) {
    if (!outMaxSize) return paramErr;
    return GetControlData(control, part, tag, 0, nullptr, outMaxSize);
}
