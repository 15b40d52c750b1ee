// The beep, the clipboard, and the line layout of text boxes.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <cstring>

#include "Toolbox-private.h"

using qor::toolbox::ControlKind;

struct OpaqueScrapRef {};

namespace {

OpaqueScrapRef theScrap;

// Flavors other than text travel under a private type of their own.
QString mimeTypeFor(ScrapFlavorType flavor) {
    return QStringLiteral("application/x-qor-scrap-%1").arg(flavor, 8, 16, QChar('0'));
}

std::optional<QByteArray> flavorBytes(ScrapFlavorType flavor) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return std::nullopt;
    if (flavor == kScrapFlavorTypeText || flavor == kScrapFlavorTypeUnicode) {
        if (!data->hasText()) return std::nullopt;
        const QString text = data->text();
        if (flavor == kScrapFlavorTypeText) return text.toUtf8();
        return QByteArray(reinterpret_cast<const char*>(text.utf16()),
                          static_cast<qsizetype>(text.size() * sizeof(char16_t)));
    }
    if (!data->hasFormat(mimeTypeFor(flavor))) return std::nullopt;
    return data->data(mimeTypeFor(flavor));
}

struct LineSpan {
    int start = 0;
    int length = 0;
    bool endsParagraph = false;
};

// Lines as the box's document lays them out: its font, its wrap mode, and the width its
// viewport leaves after the document margins.
std::vector<LineSpan> layOut(QPlainTextEdit* box, const QString& text) {
    const qreal margin = box->document()->documentMargin();
    const qreal width = std::max<qreal>(1, box->contentsRect().width() - 2 * margin);
    QTextOption option = box->document()->defaultTextOption();
    option.setWrapMode(box->wordWrapMode());
    std::vector<LineSpan> lines;
    int paragraphStart = 0;
    const auto paragraphs = text.split(QChar('\n'));
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        const QString& paragraph = paragraphs[p];
        QTextLayout layout(paragraph, box->document()->defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        const std::size_t first = lines.size();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.push_back({paragraphStart + line.textStart(), line.textLength(), false});
        }
        layout.endLayout();
        if (lines.size() == first) lines.push_back({paragraphStart, 0, false});
        lines.back().endsParagraph = p + 1 < paragraphs.size();
        paragraphStart += static_cast<int>(paragraph.size()) + 1;
    }
    return lines;
}

QPlainTextEdit* textBoxOf(ControlRef control) {
    auto* c = qor::toolbox::liveControl(control);
    if (!c || c->kind != ControlKind::TextBox) return nullptr;
    return qobject_cast<QPlainTextEdit*>(c->widget.data());
}

}  // namespace

void SysBeep(SInt16 duration) {
    if (const auto& sink = qor::toolbox::registry().beepSink)
        sink(duration);
    else
        QApplication::beep();
}

BeepSink SetBeepSink(BeepSink sink) {
    return std::exchange(qor::toolbox::registry().beepSink, std::move(sink));
}

OSStatus GetCurrentScrap(ScrapRef* outScrap) {
    if (!outScrap) return paramErr;
    *outScrap = &theScrap;
    return noErr;
}

OSStatus ClearCurrentScrap() {
    QGuiApplication::clipboard()->clear();
    return noErr;
}

OSStatus PutScrapFlavor(ScrapRef scrap, ScrapFlavorType flavor, ScrapFlavorFlags, Size size,
                        const void* data) {
    if (scrap != &theScrap || size < 0 || (size > 0 && !data)) return paramErr;
    const QByteArray bytes(static_cast<const char*>(data), static_cast<qsizetype>(size));
    auto* mime = new QMimeData;
    if (const QMimeData* current = QGuiApplication::clipboard()->mimeData()) {
        for (const QString& format : current->formats())
            mime->setData(format, current->data(format));
    }
    if (flavor == kScrapFlavorTypeText) {
        mime->setText(QString::fromUtf8(bytes));
    } else if (flavor == kScrapFlavorTypeUnicode) {
        if (size % 2 != 0) {
            delete mime;
            return paramErr;
        }
        std::u16string units(static_cast<std::size_t>(size / 2), u'\0');
        std::memcpy(units.data(), bytes.constData(), static_cast<std::size_t>(size));
        mime->setText(QString::fromStdU16String(units));
    } else {
        mime->setData(mimeTypeFor(flavor), bytes);
    }
    QGuiApplication::clipboard()->setMimeData(mime);
    return noErr;
}

OSStatus GetScrapFlavorSize(ScrapRef scrap, ScrapFlavorType flavor, Size* outSize) {
    if (scrap != &theScrap || !outSize) return paramErr;
    const auto bytes = flavorBytes(flavor);
    if (!bytes) return noTypeErr;
    *outSize = static_cast<Size>(bytes->size());
    return noErr;
}

OSStatus GetScrapFlavorData(ScrapRef scrap, ScrapFlavorType flavor, Size* ioByteCount,
                            void* destination) {
    if (scrap != &theScrap || !ioByteCount || *ioByteCount < 0 || !destination) return paramErr;
    const auto bytes = flavorBytes(flavor);
    if (!bytes) return noTypeErr;
    const Size copied = std::min<Size>(*ioByteCount, static_cast<Size>(bytes->size()));
    std::memcpy(destination, bytes->constData(), static_cast<std::size_t>(copied));
    *ioByteCount = copied;
    return noErr;
}

OSStatus GetTextBoxLines(ControlRef box, std::vector<std::string>* outLines) {
    auto* edit = textBoxOf(box);
    if (!edit) return errDataNotSupported;
    if (!outLines) return paramErr;
    const QString text = edit->toPlainText();
    outLines->clear();
    for (const auto& line : layOut(edit, text)) {
        std::string piece = qor::toolbox::fromQString(text.mid(line.start, line.length));
        if (line.endsParagraph) piece += '\r';
        outLines->push_back(std::move(piece));
    }
    return noErr;
}

OSStatus CountTextBoxLines(ControlRef box, std::string_view text, ItemCount* outLineCount) {
    auto* edit = textBoxOf(box);
    if (!edit) return errDataNotSupported;
    if (!outLineCount) return paramErr;
    *outLineCount = layOut(edit, qor::toolbox::fromMacLines(text)).size();
    return noErr;
}
