// Script actions carried out on the dialog's widgets, one per wait of a modal loop.
#include "UiScript.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <sstream>

#include "ToolboxWidgets.h"

namespace qor::printdialog {

namespace {

// Words of one line; false when a quote is left open.
bool splitWords(const std::string& line, std::vector<std::string>* words) {
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i == line.size()) break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    const char escaped = line[i++];
                    word += escaped == 'n' ? '\n' : escaped;
                } else {
                    word += c;
                }
            }
            if (!closed) return false;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

const std::map<std::string, std::size_t>& arities() {
    static const std::map<std::string, std::size_t> table{
        {"queue", 1}, {"panel", 1}, {"click", 1},  {"choose", 2},     {"type", 2},
        {"key", 2},   {"print", 0}, {"cancel", 0}, {"screenshot", 1}, {"screenshots", 1}};
    return table;
}

struct KeyName {
    const char* name;
    int qtKey;
    const char* text;
};
constexpr KeyName kKeys[] = {
    {"Return", Qt::Key_Return, "\r"},
    {"Enter", Qt::Key_Enter, "\x03"},
    {"Escape", Qt::Key_Escape, "\x1b"},
    {"Tab", Qt::Key_Tab, "\t"},
    {"Backspace", Qt::Key_Backspace, "\b"},
    {"Left", Qt::Key_Left, ""},
    {"Right", Qt::Key_Right, ""},
    {"Up", Qt::Key_Up, ""},
    {"Down", Qt::Key_Down, ""},
};

// Every control of the window, depth first in embedding order.
void collect(ControlRef control, std::vector<ControlRef>* out) {
    out->push_back(control);
    UInt16 count = 0;
    CountSubControls(control, &count);
    for (UInt16 i = 1; i <= count; ++i) {
        ControlRef child = nullptr;
        if (GetIndexedSubControl(control, i, &child) == noErr && child) collect(child, out);
    }
}

std::vector<ControlRef> visibleControls(WindowRef window) {
    ControlRef root = nullptr;
    std::vector<ControlRef> all;
    if (GetRootControl(window, &root) == noErr) collect(root, &all);
    std::erase_if(all, [](ControlRef c) { return !IsControlVisible(c); });
    // Reading order: top to bottom, then left to right.
    std::stable_sort(all.begin(), all.end(), [](ControlRef a, ControlRef b) {
        Rect ra;
        Rect rb;
        GetControlBounds(a, &ra);
        GetControlBounds(b, &rb);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return all;
}

template <typename Widget>
bool is(ControlRef control) {
    return qobject_cast<Widget*>(GetControlWidget(control)) != nullptr;
}

bool isField(ControlRef c) {
    return is<QLineEdit>(c) || is<QPlainTextEdit>(c);
}

std::string textOf(ControlRef c) {
    std::string text;
    if (is<QLabel>(c)) CopyControlText(c, &text);
    return text;
}

// "TEXT#N" into TEXT and N (1 when no number is given; 0, which names nothing, when N is too
// large to count).
std::pair<std::string, int> numbered(const std::string& name) {
    const auto hash = name.rfind('#');
    if (hash != std::string::npos && hash + 1 < name.size() &&
        std::all_of(name.begin() + static_cast<long>(hash) + 1, name.end(),
                    [](char c) { return c >= '0' && c <= '9'; })) {
        int n = 0;
        if (std::from_chars(name.data() + hash + 1, name.data() + name.size(), n).ec != std::errc())
            n = 0;
        return {name.substr(0, hash), n};
    }
    return {name, 1};
}

ControlRef nth(const std::vector<ControlRef>& controls, int n, auto&& accept) {
    for (ControlRef c : controls)
        if (accept(c) && --n == 0) return c;
    return nullptr;
}

// The field that a label names: on the label's row, its left edge nearest the label's right.
ControlRef fieldBeside(const std::vector<ControlRef>& controls, ControlRef labelControl) {
    Rect label;
    GetControlBounds(labelControl, &label);
    ControlRef best = nullptr;
    int bestGap = 1 << 20;
    for (ControlRef c : controls) {
        if (!isField(c)) continue;
        Rect r;
        GetControlBounds(c, &r);
        const bool sameRow = r.top < label.bottom && label.top < r.bottom;
        const int gap = r.left - label.right;
        if (sameRow && gap >= 0 && gap < bestGap) {
            best = c;
            bestGap = gap;
        }
    }
    return best;
}

ControlRef findTarget(WindowRef window, const std::string& target, std::string* error) {
    const auto controls = visibleControls(window);
    const auto eq = target.find('=');
    const std::string kind = eq == std::string::npos ? std::string() : target.substr(0, eq);
    const std::string name = eq == std::string::npos ? target : target.substr(eq + 1);
    ControlRef found = nullptr;
    if (kind == "label") {
        const auto [text, n] = numbered(name);
        if (ControlRef l = nth(controls, n, [&](ControlRef c) { return textOf(c) == text; }))
            found = fieldBeside(controls, l);
    } else if (kind.empty() && (name.starts_with("field#") || name.starts_with("textbox#"))) {
        const auto [which, n] = numbered(name);
        found = nth(controls, n, [&](ControlRef c) {
            return which == "field" ? is<QLineEdit>(c) : is<QPlainTextEdit>(c);
        });
    } else if (kind == "id") {
        const auto colon = name.find(':');
        if (colon == 4) {
            ControlID id{FOUR_CHAR_CODE({name[0], name[1], name[2], name[3], '\0'}),
                         std::atoi(name.c_str() + 5)};
            if (GetControlByID(window, &id, &found) != noErr || !IsControlVisible(found))
                found = nullptr;
        }
    } else if (kind.empty() || kind == "title") {
        found = nth(controls, 1, [&](ControlRef c) {
            std::string title;
            return !is<QLabel>(c) && CopyControlTitleAsCFString(c, &title) == noErr &&
                   title == name;
        });
    } else {
        *error = "unknown kind of target \"" + kind + "\"";
        return nullptr;
    }
    if (!found && error->empty()) *error = "no visible control for \"" + target + "\"";
    return found;
}

bool usable(ControlRef c) {
    return IsControlEnabled(c) && IsControlActive(c);
}

void sendKey(QWidget* widget, int qtKey, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

int qtKeyFor(QChar c) {
    const char16_t unit = c.unicode();
    if (unit >= 'a' && unit <= 'z') return Qt::Key_A + (unit - 'a');
    if (unit >= 0x20 && unit < 0x7f) return unit;
    return Qt::Key_unknown;
}

bool savePicture(WindowRef window, const std::string& file) {
    QWidget* widget = GetWindowWidget(window);
    return widget && widget->grab().save(QString::fromStdString(file), "PNG");
}

// "Paper Handling" gives "paper-handling.png".
std::string pictureName(const std::string& title) {
    std::string name;
    for (char c : title) {
        if (c == ' ') c = '-';
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') name += c;
    }
    return name + ".png";
}

}  // namespace

std::optional<std::vector<UiAction>> parseUiScript(const std::string& text, std::string* error) {
    std::vector<UiAction> actions;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        UiAction action{number, {}};
        if (!splitWords(line, &action.words)) {
            *error = "line " + std::to_string(number) + ": a quote is not closed";
            return std::nullopt;
        }
        if (action.words.empty() || action.words[0].starts_with('#')) continue;
        const auto arity = arities().find(action.words[0]);
        if (arity == arities().end()) {
            *error =
                "line " + std::to_string(number) + ": unknown action \"" + action.words[0] + "\"";
            return std::nullopt;
        }
        if (action.words.size() != arity->second + 1) {
            *error = "line " + std::to_string(number) + ": \"" + action.words[0] + "\" takes " +
                     std::to_string(arity->second) + " argument(s)";
            return std::nullopt;
        }
        actions.push_back(std::move(action));
    }
    return actions;
}

UiScriptRunner::UiScriptRunner(PrintDialog& dialog, std::vector<UiAction> actions)
    : dialog_(dialog), actions_(std::move(actions)) {
    previousDriver_ = SetModalDriver([this](WindowRef window) { return step(window); });
    previousSink_ = SetAlertSink([this](const AlertRequest& request) {
        alerts_.push_back(request.message);
        std::fprintf(stderr, "alert: %s%s%s\n", request.message.c_str(),
                     request.explanation.empty() ? "" : " ", request.explanation.c_str());
        return request.defaultButton;
    });
}

UiScriptRunner::~UiScriptRunner() {
    SetModalDriver(std::move(previousDriver_));
    SetAlertSink(std::move(previousSink_));
}

bool UiScriptRunner::step(WindowRef window) {
    QCoreApplication::processEvents();
    if (!error_.empty() || next_ >= actions_.size()) return false;
    const UiAction& action = actions_[next_++];
    if (!run(action, window)) {
        error_ = "line " + std::to_string(action.line) + " (" + action.words[0] + "): " + error_;
        return false;
    }
    QCoreApplication::processEvents();
    return true;
}

bool UiScriptRunner::run(const UiAction& action, WindowRef window) {
    const std::string& command = action.words[0];
    auto arg = [&](std::size_t i) -> const std::string& { return action.words[i]; };
    if (command == "queue") {
        if (!dialog_.chooseQueue(arg(1))) error_ = "no queue \"" + arg(1) + "\"";
    } else if (command == "panel") {
        if (!dialog_.choosePanel(arg(1))) error_ = "no panel \"" + arg(1) + "\"";
    } else if (command == "print" || command == "cancel") {
        ControlRef button = command == "print" ? dialog_.printButton() : dialog_.cancelButton();
        if (auto* push = qobject_cast<QAbstractButton*>(GetControlWidget(button))) push->click();
    } else if (command == "screenshot") {
        if (!savePicture(window, arg(1))) error_ = "cannot write " + arg(1);
    } else if (command == "screenshots") {
        std::vector<std::string> pages;
        for (const auto& panel : dialog_.panels()) pages.push_back(panel->title());
        pages.emplace_back(kSummaryTitle);
        for (const auto& page : pages) {
            const std::string file = arg(1) + "/" + pictureName(page);
            dialog_.choosePanel(page);
            QCoreApplication::processEvents();
            if (!savePicture(window, file)) error_ = "cannot write " + file;
        }
    } else {
        ControlRef target = findTarget(window, arg(1), &error_);
        if (!target) return false;
        QWidget* widget = GetControlWidget(target);
        if (!usable(target)) {
            error_ = "\"" + arg(1) + "\" is inactive";
        } else if (command == "click") {
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                button->click();
            else
                HandleControlClick(target, Point{}, 0, nullptr);
        } else if (command == "choose") {
            MenuRef menu = GetControlPopupMenuHandle(target);
            MenuItemIndex item = 0;
            for (UInt16 i = 1; menu && i <= CountMenuItems(menu) && item == 0; ++i) {
                std::string text;
                if (CopyMenuItemTextAsCFString(menu, i, &text) == noErr && text == arg(2)) item = i;
            }
            if (item == 0 || HandlePopupMenuSelection(target, item) == kControlNoPart)
                error_ = "\"" + arg(1) + "\" has no choosable item \"" + arg(2) + "\"";
        } else if (command == "type") {
            SetKeyboardFocus(GetControlOwner(target), target, kControlEditTextPart);
            for (QChar c : QString::fromStdString(arg(2))) {
                if (c == QLatin1Char('\n'))
                    sendKey(widget, Qt::Key_Return, QStringLiteral("\r"));
                else
                    sendKey(widget, qtKeyFor(c), QString(c));
            }
        } else if (command == "key") {
            const auto* key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                           [&](const KeyName& k) { return arg(2) == k.name; });
            if (key == std::end(kKeys)) {
                error_ = "unknown key \"" + arg(2) + "\"";
            } else {
                SetKeyboardFocus(GetControlOwner(target), target, kControlEditTextPart);
                sendKey(widget, key->qtKey, QString::fromLatin1(key->text));
            }
        }
    }
    return error_.empty();
}

}  // namespace qor::printdialog
