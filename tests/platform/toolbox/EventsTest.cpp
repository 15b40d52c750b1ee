// Tests of event handler chains, click events and key filters fed by real key presses.
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <string>
#include <vector>

#include "ToolboxFixture.h"

namespace {

// What a recording handler does once it has noted its name.
enum class Then { PassOn, Handle, CallNext };

struct Recorder {
    std::string name;
    Then then = Then::PassOn;
    std::vector<std::string>* log = nullptr;
    OSStatus nextResult = 0;
};

OSStatus record(EventHandlerCallRef call, EventRef event, void* data) {
    auto* r = static_cast<Recorder*>(data);
    r->log->push_back(r->name);
    switch (r->then) {
        case Then::PassOn:
            return eventNotHandledErr;
        case Then::Handle:
            return noErr;
        case Then::CallNext:
            r->nextResult = CallNextEventHandler(call, event);
            r->log->push_back(r->name + " after");
            return noErr;
    }
    return noErr;
}

const EventTypeSpec hit{kEventClassControl, kEventControlHit};
const EventTypeSpec valueChanged{kEventClassControl, kEventControlValueFieldChanged};

}  // namespace

TEST_F(ToolboxTest, HandlersRunNewestFirstFromControlUpToWindowUntilOneHandlesTheEvent) {
    ControlRef container = pane({0, 0, 100, 200}, root);
    ControlRef button = nullptr;
    const Rect bounds{10, 10, 30, 100};
    ASSERT_EQ(CreatePushButtonControl(window, &bounds, "Print", &button), noErr);
    EmbedControl(button, container);

    std::vector<std::string> log;
    Recorder windowHandler{"window", Then::Handle, &log};
    Recorder paneHandler{"pane", Then::PassOn, &log};
    Recorder older{"older", Then::PassOn, &log};
    Recorder newer{"newer", Then::CallNext, &log};
    Recorder unrelated{"value", Then::Handle, &log};
    EventHandlerRef refs[5] = {};
    InstallWindowEventHandler(window, record, 1, &hit, &windowHandler, &refs[0]);
    InstallControlEventHandler(container, record, 1, &hit, &paneHandler, &refs[1]);
    InstallControlEventHandler(button, record, 1, &hit, &older, &refs[2]);
    InstallControlEventHandler(button, record, 1, &hit, &newer, &refs[3]);
    InstallControlEventHandler(button, record, 1, &valueChanged, &unrelated, &refs[4]);

    EXPECT_EQ(HandleControlClick(button, {}, 0, nullptr), kControlButtonPart);
    EXPECT_EQ(log, (std::vector<std::string>{"newer", "older", "pane", "window", "newer after"}));
    EXPECT_EQ(newer.nextResult, noErr);

    // Without the window's handler nobody takes the hit, and the caller of next hears so.
    log.clear();
    EXPECT_EQ(RemoveEventHandler(refs[0]), noErr);
    EXPECT_EQ(RemoveEventHandler(refs[0]), paramErr);
    EventRef event = nullptr;
    CreateEvent(nullptr, kEventClassControl, kEventControlHit, 0, 0, &event);
    EXPECT_EQ(SendEventToEventTarget(event, GetControlEventTarget(button)), noErr);
    ReleaseEvent(event);
    EXPECT_EQ(log, (std::vector<std::string>{"newer", "older", "pane", "newer after"}));
    EXPECT_EQ(newer.nextResult, eventNotHandledErr);

    // The handlers go with the control.
    DisposeControl(button);
    EXPECT_EQ(RemoveEventHandler(refs[3]), paramErr);
}

namespace {

struct ClickWatch {
    std::vector<std::pair<UInt32, SInt32>> seen;  // event kind, control value at that moment
    ControlRef direct = nullptr;
};

OSStatus watchClick(EventHandlerCallRef call, EventRef event, void* data) {
    auto* watch = static_cast<ClickWatch*>(data);
    ControlRef control = nullptr;
    EXPECT_EQ(GetEventParameter(event, kEventParamDirectObject, typeControlRef, nullptr,
                                sizeof control, nullptr, &control),
              noErr);
    watch->direct = control;
    watch->seen.emplace_back(GetEventKind(event), GetControl32BitValue(control));
    return CallNextEventHandler(call, event);
}

}  // namespace

TEST_F(ToolboxTest, ClickEventsComeAfterTheNewValue) {
    const EventTypeSpec both[] = {hit, valueChanged};
    struct Case {
        Boolean autoToggle;
        std::vector<std::pair<UInt32, SInt32>> expected;
    };
    const Case cases[] = {
        {true, {{kEventControlValueFieldChanged, 1}, {kEventControlHit, 1}}},
        {false, {{kEventControlHit, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.autoToggle));
        const Rect bounds{0, 0, 20, 100};
        ControlRef box = nullptr;
        CreateCheckBoxControl(window, &bounds, "Include Cover Sheet", 0, c.autoToggle, &box);
        ClickWatch watch;
        InstallControlEventHandler(box, watchClick, 2, both, &watch, nullptr);
        ShowWindow(window);
        QTest::mouseClick(GetControlWidget(box), Qt::LeftButton);
        EXPECT_EQ(watch.seen, c.expected);
        EXPECT_EQ(watch.direct, box);
        EXPECT_EQ(GetControlWidget(box)->property("checked").toBool(), c.autoToggle != 0);
    }
}

namespace {

struct FilterLog {
    std::vector<SInt16> chars;
    std::vector<SInt16> keys;
    std::vector<EventModifiers> modifiers;
    int beeps = 0;
};
FilterLog* filterLog = nullptr;

// Digits only, at most three, motion keys always: the shape of the panels' field filters.
ControlKeyFilterResult digitsOnly(ControlRef field, SInt16* keyCode, SInt16* charCode,
                                  EventModifiers* modifiers) {
    filterLog->chars.push_back(*charCode);
    filterLog->keys.push_back(*keyCode);
    filterLog->modifiers.push_back(*modifiers);
    const bool motion = *charCode == 8 || (*charCode >= 28 && *charCode <= 31);
    // The clear text counts; a password field's shown text is its mask.
    Size length = 0;
    GetControlDataSize(field, kControlEntireControl, kControlEditTextPasswordTag, &length);
    if (motion || ((*charCode >= '0' && *charCode <= '9') && length < 3))
        return kControlKeyFilterPassKey;
    SysBeep(1);
    return kControlKeyFilterBlockKey;
}

}  // namespace

TEST_F(ToolboxTest, KeyFilterSeesEveryKeyBeforeTheFieldAndBlockedKeysBeep) {
    FilterLog log;
    filterLog = &log;
    const BeepSink previous = SetBeepSink([&](SInt16) { ++log.beeps; });

    const Rect bounds{10, 10, 30, 200};
    ControlRef field = nullptr;
    ASSERT_EQ(CreateEditUnicodeTextControl(window, &bounds, "", true, nullptr, &field), noErr);
    const ControlKeyFilterUPP filter = digitsOnly;
    ASSERT_EQ(SetControlData(field, kControlEntireControl, kControlEditTextKeyFilterTag,
                             sizeof filter, &filter),
              noErr);
    ShowWindow(window);
    SetKeyboardFocus(window, field, kControlEditTextPart);
    QWidget* widget = GetControlWidget(field);

    QTest::keyClicks(widget, "5a67");
    QTest::keyClick(widget, Qt::Key_Left);
    QTest::keyClick(widget, Qt::Key_Backspace);
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(widget, 'W', Qt::ShiftModifier);
    QKeyEvent ideograph(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x4E31)));
    QApplication::sendEvent(widget, &ideograph);  // its low byte would read as '1'

    std::string clear(8, '\0');
    Size size = 0;
    GetControlData(field, kControlEntireControl, kControlEditTextPasswordTag, clear.size(),
                   clear.data(), &size);
    clear.resize(size);
    EXPECT_EQ(clear, "57");  // "6" went with the backspace after the cursor moved left of "7"
    std::string shown;
    CopyControlText(field, &shown);
    EXPECT_EQ(QString::fromStdString(shown).size(), 2);
    EXPECT_NE(shown, "57");

    EXPECT_EQ(log.chars, (std::vector<SInt16>{'5', 'a', '6', '7', 28, 8, 'v', 'W', '?'}));
    EXPECT_EQ(log.keys[0], 0x17);  // the 5 key
    EXPECT_EQ(log.keys[4], 0x7B);  // left arrow
    EXPECT_EQ(log.keys[5], 0x33);  // backspace
    EXPECT_EQ(log.modifiers[6], cmdKey);
    EXPECT_EQ(log.modifiers[7], shiftKey);
    EXPECT_EQ(log.beeps, 4);  // a, Ctrl+V, W, and the ideograph

    SetBeepSink(previous);
    filterLog = nullptr;
}
