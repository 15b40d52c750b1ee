// Tests of templates from layout resources, the driven modal dialog loop, and alerts.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>

#include "ResourceMap.h"
#include "ToolboxFixture.h"

namespace {

const std::string goodResources = QOR_TEST_FIXTURES "/good";

// Runs the steps given, one per wait of a modal loop; none left means the script is over.
class Script {
  public:
    explicit Script(std::deque<std::function<void()>> steps) : steps_(std::move(steps)) {
        previous_ = SetModalDriver([this](WindowRef) {
            ++waits;
            if (steps_.empty()) return false;
            auto step = std::move(steps_.front());
            steps_.pop_front();
            step();
            return true;
        });
    }
    ~Script() { SetModalDriver(std::move(previous_)); }
    int waits = 0;

  private:
    std::deque<std::function<void()>> steps_;
    ModalDriver previous_;
};

// The fixture's layout resource is the current resource map while a test runs.
class ToolboxResourceMapTest : public ToolboxTest {
  protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        refNum = qor::core::openResourceMap(goodResources);
        ASSERT_GT(refNum, 0);
        previous = qor::core::CurResFile();
        qor::core::UseResFile(refNum);
    }
    void TearDown() override {
        qor::core::UseResFile(previous);
        qor::core::closeResourceMap(refNum);
        ToolboxTest::TearDown();
    }
    qor::core::ResFileRefNum refNum = -1;
    qor::core::ResFileRefNum previous = 0;
};

}  // namespace

TEST_F(ToolboxResourceMapTest, ControlsFromTemplatesTakeKindBoundsTextAndStatesFromTheResource) {
    ControlRef label = GetNewControl(7110, window);
    ASSERT_NE(label, nullptr);
    Rect bounds;
    EXPECT_EQ(*GetControlBounds(label, &bounds), (Rect{10, -20, 26, 150}));
    std::string text;
    EXPECT_EQ(CopyControlText(label, &text), noErr);
    EXPECT_EQ(text, "Print To:");
    EXPECT_TRUE(qobject_cast<QLabel*>(GetControlWidget(label))->alignment() & Qt::AlignRight);

    ControlRef pin = GetNewControl(7130, window);
    ASSERT_NE(pin, nullptr);
    const ControlID pinID{FOUR_CHAR_CODE("JRpi"), 7130};
    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window, &pinID, &found), noErr);
    EXPECT_EQ(found, pin);
    SetControlText(pin, "1234");
    EXPECT_EQ(CopyControlText(pin, &text), noErr);
    EXPECT_NE(text, "1234");

    ControlRef box = GetNewControl(7140, window);
    EXPECT_EQ(GetControl32BitValue(box), 1);
    EXPECT_FALSE(IsControlLatentlyVisible(box));
    ControlRef edit = GetNewControl(7141, window);
    EXPECT_TRUE(IsControlEnabled(edit));
    EXPECT_FALSE(IsControlActive(edit));

    EXPECT_EQ(GetNewControl(9999, window), nullptr);
    EXPECT_EQ(GetNewControl(-100, window), nullptr);  // a dialog template makes no control

    // Templates come from the current map only.
    qor::core::UseResFile(qor::core::kSystemResFile);
    EXPECT_EQ(GetNewControl(7110, window), nullptr);
    qor::core::UseResFile(refNum);
    EXPECT_NE(GetNewControl(7110, window), nullptr);
}

TEST_F(ToolboxResourceMapTest, BadLayoutResourcesAreReportedWithTheReasonAndGiveNoTemplates) {
    auto control = [](const std::string& body) {
        return "<dict><key>7110</key><dict>" + body + "</dict></dict>";
    };
    const std::string bounds =
        "<key>bounds</key><array><integer>0</integer><integer>0</integer>"
        "<integer>10</integer><integer>10</integer></array>";
    struct Case {
        const char* name;
        std::string plist;  // empty: no file at all
        const char* reason;
    };
    const Case cases[] = {
        {"no file", "", nullptr},
        {"not a property list", "hello", "is not a property list"},
        {"array at the top", "<array/>", "must hold a dictionary"},
        {"unknown kind", control("<key>kind</key><string>slider</string>" + bounds),
         "template 7110: unknown kind \"slider\""},
        {"three sides",
         control("<key>kind</key><string>checkBox</string><key>bounds</key><array><integer>0"
                 "</integer><integer>0</integer><integer>1</integer></array>"),
         "bounds must be an array of four integers"},
        {"side out of range",
         control("<key>kind</key><string>checkBox</string><key>bounds</key><array><integer>0"
                 "</integer><integer>0</integer><integer>40000</integer><integer>1</integer>"
                 "</array>"),
         "bounds is out of range"},
        {"misspelt key",
         control("<key>kind</key><string>checkBox</string><key>titel</key>"
                 "<string>x</string>" +
                 bounds),
         "unknown key \"titel\""},
        {"no kind", control(bounds), "kind is missing"},
        {"name not a number",
         "<dict><key>abc</key><dict><key>kind</key><string>checkBox</string>" + bounds +
             "</dict></dict>",
         "\"abc\" is not a template number"},
        {"dialog as an item",
         control("<key>kind</key><string>dialog</string>" + bounds +
                 "<key>items</key><array><dict><key>kind</key><string>dialog</string>" + bounds +
                 "</dict></array>"),
         "item 1: a dialog cannot be an item"},
        {"default item missing",
         control("<key>kind</key><string>dialog</string>" + bounds +
                 "<key>defaultItem</key><integer>1</integer>"),
         "defaultItem and cancelItem must name items"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        if (!c.plist.empty()) {
            QFile file(dir.filePath(QStringLiteral("Layout.plist")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            const std::string whole = c.plist == "hello"
                                          ? c.plist
                                          : "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                            "<plist version=\"1.0\">" +
                                                c.plist + "</plist>";
            file.write(whole.data(), static_cast<qint64>(whole.size()));
        }
        const auto bad = qor::core::openResourceMap(dir.path().toStdString());
        ASSERT_GT(bad, 0);
        qor::core::UseResFile(bad);
        testing::internal::CaptureStderr();
        EXPECT_EQ(GetNewControl(7110, window), nullptr);
        EXPECT_EQ(GetNewDialog(7110, nullptr, nullptr), nullptr);
        const std::string message = testing::internal::GetCapturedStderr();
        if (c.reason) {
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
        // Said once, not at every lookup; and no file at all is no fault.
        EXPECT_EQ(message.find("ERROR"), c.reason ? message.rfind("ERROR") : std::string::npos)
            << message;
        qor::core::UseResFile(refNum);
        qor::core::closeResourceMap(bad);
        EXPECT_NE(GetNewControl(7110, window), nullptr);
    }
}

namespace {

int filterBeeps = 0;
int pageUps = 0;

// Swallows "!" with a beep and makes Enter mean OK, as the editor's filter does for its keys.
Boolean coverFilter(DialogRef, EventRecord* event, DialogItemIndex* item) {
    EXPECT_TRUE(event->what == keyDown || event->what == autoKey);
    const char ch = static_cast<char>(event->message & charCodeMask);
    if (ch == 11) ++pageUps;  // a key the field leaves unused
    if (ch == '!') {
        ++filterBeeps;
        return true;
    }
    if (ch == 3) {
        *item = kStdOkItemIndex;
        return true;
    }
    return false;
}

OSStatus consume(EventHandlerCallRef, EventRef, void* count) {
    ++*static_cast<int*>(count);
    return noErr;
}

}  // namespace

TEST_F(ToolboxResourceMapTest, ModalDialogReportsItemsAsTheUserTypesAndClicks) {
    DialogRef dialog = GetNewDialog(-100, nullptr, nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CountDITL(dialog), 5);
    ControlRef items[6] = {};
    for (DialogItemIndex i = 1; i <= 5; ++i)
        ASSERT_EQ(GetDialogItemAsControl(dialog, i, &items[i]), noErr);
    EXPECT_EQ(GetDialogItemAsControl(dialog, 6, &items[0]), errUnknownControl);
    EXPECT_FALSE(IsControlActive(items[5]));
    ControlRef defaultButton = nullptr;
    GetWindowDefaultButton(GetDialogWindow(dialog), &defaultButton);
    EXPECT_EQ(defaultButton, items[1]);
    EXPECT_TRUE(GetControlWidget(items[1])->property("default").toBool());
    QWidget* field = GetControlWidget(items[3]);
    QWidget* box = GetControlWidget(items[4]);

    SetControlText(items[3], "old");
    SelectDialogItemText(dialog, 3, 0, 32767);
    EXPECT_EQ(GetDialogKeyboardFocusItem(dialog), 3);
    ControlEditTextSelectionRec selection;
    GetControlData(items[3], 0, kControlEditTextSelectionTag, sizeof selection, &selection,
                   nullptr);
    EXPECT_EQ(selection.selStart, 0);
    EXPECT_EQ(selection.selEnd, 3);

    int consumed = 0;
    const EventTypeSpec hit{kEventClassControl, kEventControlHit};
    EventHandlerRef okHandler = nullptr;
    InstallControlEventHandler(items[1], consume, 1, &hit, &consumed, &okHandler);

    filterBeeps = 0;
    pageUps = 0;
    Script script({
        [&] { QTest::keyClicks(field, "ab"); },           // two keys, two reports
        [&] { QTest::keyClick(field, '!'); },             // swallowed by the filter: no report
        [&] { QTest::keyClick(field, Qt::Key_PageUp); },  // unused by the field: goes up
        [&] { QTest::keyClick(box, Qt::Key_Return); },
        [&] { QTest::keyClick(field, Qt::Key_Return); },
        [&] { QTest::keyClick(field, Qt::Key_Enter); },
        [&] { QTest::keyClick(field, Qt::Key_Escape); },
        [&] { QTest::mouseClick(GetControlWidget(items[1]), Qt::LeftButton); },  // handler takes it
        [&] { QTest::mouseClick(GetControlWidget(items[2]), Qt::LeftButton); },
    });
    std::vector<DialogItemIndex> reported;
    for (int i = 0; i < 9; ++i) {
        DialogItemIndex item = 0;
        ModalDialog(coverFilter, &item);
        reported.push_back(item);
    }
    // 3 3 from typing, 3 from PageUp; 4 from the new line in the box; 1 from Return in a field and
    // from Enter; 2 from Escape and from the Cancel button; then the script is over: cancel.
    EXPECT_EQ(reported, (std::vector<DialogItemIndex>{3, 3, 3, 4, 1, 1, 2, 2, 2}));
    EXPECT_EQ(filterBeeps, 1);
    EXPECT_EQ(pageUps, 1);
    EXPECT_EQ(consumed, 1);
    std::string text;
    CopyControlText(items[3], &text);
    EXPECT_EQ(text, "ab");
    CopyControlText(items[4], &text);
    EXPECT_EQ(text, "\r");

    DisposeDialog(dialog);
    EXPECT_EQ(GetDialogWindow(dialog), nullptr);
    EXPECT_EQ(RemoveEventHandler(okHandler), paramErr);
    EXPECT_EQ(GetNewDialog(7110, nullptr, nullptr), nullptr);  // a control template is no dialog
}

namespace {

OSStatus quitLoop(EventHandlerCallRef, EventRef, void* window) {
    QuitAppModalLoopForWindow(static_cast<WindowRef>(window));
    return noErr;
}

}  // namespace

TEST_F(ToolboxTest, AppModalLoopRunsUntilAHandlerQuitsIt) {
    const Rect bounds{10, 10, 30, 100};
    ControlRef done = nullptr;
    CreatePushButtonControl(window, &bounds, "Done", &done);
    const EventTypeSpec hit{kEventClassControl, kEventControlHit};
    InstallControlEventHandler(done, quitLoop, 1, &hit, window, nullptr);

    Script script({[] {}, [&] { QTest::mouseClick(GetControlWidget(done), Qt::LeftButton); },
                   [] { ADD_FAILURE() << "the loop went on after it was quit"; }});
    EXPECT_EQ(RunAppModalLoopForWindow(window), noErr);
    EXPECT_EQ(script.waits, 2);
}

TEST(ToolboxAlertTest, AlertSinkSeesTheAlertAndAnswersWithTheScriptedButton) {
    std::vector<AlertRequest> seen;
    DialogItemIndex answer = 0;
    const AlertSink previous = SetAlertSink([&](const AlertRequest& request) {
        seen.push_back(request);
        return answer;
    });

    answer = kAlertStdAlertOKButton;
    DialogItemIndex item = 0;
    EXPECT_EQ(
        StandardAlert(kAlertStopAlert, "Pleae enter a station name representing your location.", "",
                      nullptr, &item),
        noErr);
    EXPECT_EQ(item, kAlertStdAlertOKButton);

    AlertStdCFStringAlertParamRec param;
    param.cancelText = "Cancel";
    param.cancelButton = kAlertStdAlertCancelButton;
    answer = kAlertStdAlertCancelButton;
    StandardAlert(kAlertCautionAlert, "Replace?", "It exists.", &param, &item);
    EXPECT_EQ(item, kAlertStdAlertCancelButton);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].type, kAlertStopAlert);
    EXPECT_EQ(seen[0].message, "Pleae enter a station name representing your location.");
    EXPECT_EQ(seen[0].explanation, "");
    ASSERT_EQ(seen[0].buttons.size(), 1u);
    EXPECT_EQ(seen[0].buttons[0].title, "OK");
    EXPECT_EQ(seen[1].type, kAlertCautionAlert);
    EXPECT_EQ(seen[1].explanation, "It exists.");
    ASSERT_EQ(seen[1].buttons.size(), 2u);
    EXPECT_EQ(seen[1].buttons[1].item, kAlertStdAlertCancelButton);
    EXPECT_EQ(seen[1].buttons[1].title, "Cancel");

    SetAlertSink(previous);
}
