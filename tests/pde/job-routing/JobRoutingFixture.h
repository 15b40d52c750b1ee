// The print dialog's side of the Job Routing panel for the tests: the built bundle loaded by path,
// a window with a pane and a default Print button, a print session on a PPD, and the panel
// driven through its factory and operation table. Beeps and alerts are caught.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "JobRoutingOptions.h"
#include "JobRoutingPanel.h"
#include "PDEInterface.h"
#include "PlugIn.h"
#include "PrintSession.h"
#include "TicketHelpers.h"
#include "Toolbox.h"
#include "ToolboxWidgets.h"

namespace jrtest {

namespace jr = qor::jr;
namespace jp = qor::jrpanel;

inline const std::string kColorPPD = QOR_PPD_DIR "/Quorvan-Q4150C.ppd";
inline const std::string kMonoPPD = QOR_PPD_DIR "/Quorvan-Q2050.ppd";
inline const std::string kRoutingPPD = QOR_TEST_FIXTURES "/routing.ppd";

// Sets environment variables for one test and puts the old values back afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }
    void set(const std::string& name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    // The user's languages: one language, as LANGUAGE and the locale give it.
    void language(const std::string& code) {
        set("LANGUAGE", code);
        set("LC_ALL", code + ".UTF-8");
        set("LC_MESSAGES", std::nullopt);
        set("LANG", code + ".UTF-8");
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// Runs the steps given, one per wait of a modal loop; none left ends the loop.
class ModalScript {
  public:
    using Step = std::function<void(WindowRef)>;
    explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps)) {
        previous_ = SetModalDriver([this](WindowRef window) {
            if (steps_.empty()) return false;
            auto step = std::move(steps_.front());
            steps_.pop_front();
            step(window);
            return true;
        });
    }
    ~ModalScript() { SetModalDriver(std::move(previous_)); }
    std::size_t left() const { return steps_.size(); }

  private:
    std::deque<Step> steps_;
    ModalDriver previous_;
};

inline ControlRef ControlWithID(WindowRef window, OSType signature, SInt32 id) {
    const ControlID controlID{signature, id};
    ControlRef control = nullptr;
    GetControlByID(window, &controlID, &control);
    return control;
}

inline std::string TextOf(ControlRef control, bool clear = false) {
    std::string text;
    if (!clear) {
        CopyControlText(control, &text);
        return text;
    }
    Size size = 0;
    GetControlDataSize(control, kControlEntireControl, kControlEditTextPasswordTag, &size);
    text.resize(static_cast<std::size_t>(size));
    GetControlData(control, kControlEntireControl, kControlEditTextPasswordTag, size, text.data(),
                   &size);
    return text;
}

// Types keys into a widget; a character beyond ASCII arrives as a key event with its text only,
// as an input method would send it.
inline void Keys(QWidget* widget, const QString& keys) {
    for (QChar ch : keys) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, ch.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

inline void Type(ControlRef field, const QString& keys) {
    SetKeyboardFocus(GetControlOwner(field), field, kControlEditTextPart);
    Keys(GetControlWidget(field), keys);
}

inline void Click(ControlRef control) {
    HandleControlClick(control, Point{}, 0, nullptr);
}

inline void PutClipboard(const std::string& text) {
    ScrapRef scrap = nullptr;
    ClearCurrentScrap();
    GetCurrentScrap(&scrap);
    PutScrapFlavor(scrap, kScrapFlavorTypeText, kScrapFlavorMaskNone,
                   static_cast<Size>(text.size()), text.data());
}

// Public, so that tests can tabulate the field accessors as member pointers.
class JobRoutingTest : public testing::Test {
  public:
    static constexpr OSType kPanelSignature = FOUR_CHAR_CODE("JRte");

    void SetUp() override {
        std::string error;
        plugIn = qor::core::PlugIn::load(QOR_JOB_ROUTING_BUNDLE, &error);
        ASSERT_TRUE(plugIn) << error;
        const Rect content{0, 0, 260, 540};
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window),
                  noErr);
        ControlRef root = nullptr;
        GetRootControl(window, &root);
        const Rect printBounds{220, 440, 244, 520};
        CreatePushButtonControl(window, &printBounds, "Print", &printButton);
        SetWindowDefaultButton(window, printButton);
        // Away from the window's corner, so that the panel places its controls in the pane.
        const Rect paneBounds{12, 20, 198, 520};
        CreateUserPaneControl(window, &paneBounds, kControlSupportsEmbedding, &pane);
        EmbedControl(pane, root);
        ShowWindow(window);
        // What the print dialog does with a click the panel lets through: it prints.
        const EventTypeSpec hit{kEventClassControl, kEventControlHit};
        InstallControlEventHandler(printButton, &JobRoutingTest::countPrint, 1, &hit, &printed,
                                   nullptr);
        ASSERT_EQ(PMCreateSession(&session), kPMNoError);
        env.set("QOR_TEST_LPSTAT_LOG", std::nullopt);
        env.set("QOR_TEST_DEVICE_URI", std::nullopt);
        previousBeep = SetBeepSink([this](SInt16) { ++beeps; });
        previousAlert = SetAlertSink([this](const AlertRequest& request) {
            alerts.push_back(request);
            return kAlertStdAlertOKButton;
        });
    }

    void TearDown() override {
        close();
        PMRelease(session);
        DisposeWindow(window);
        SetBeepSink(std::move(previousBeep));
        SetAlertSink(std::move(previousAlert));
    }

    // The host's steps up to Initialize; the result is Initialize's.
    OSStatus open(const std::string& ppd, const std::string& queue = "office",
                  const std::string& deviceURI = "socket://printer.example:9100") {
        env.set("QOR_TEST_DEVICE_URI", deviceURI);
        EXPECT_EQ(PMSessionSetCurrentPrinter(session, queue, ppd, deviceURI), kPMNoError);
        const auto factory = *qor::core::Uuid::fromString(qor::pde::kJobRoutingPanel.factoryID);
        const auto type = *qor::core::Uuid::fromString(kPDETypeIDString);
        instance = static_cast<IUnknownInstance*>(plugIn->createInstance(factory, type));
        if (!instance) return kPDENoContextErr;
        QorUUIDBytes iid{};
        const auto bytes = qor::core::Uuid::fromString(kPDEInterfaceIDString)->bytes();
        std::copy(bytes.begin(), bytes.end(), iid.bytes);
        LPVOID out = nullptr;
        instance->vtable->QueryInterface(instance, iid, &out);
        intf = static_cast<PlugInIntf*>(out);
        if (!intf) return kPDENoContextErr;
        OSType creator = 0;
        QorStringRef kind = nullptr, title = nullptr;
        std::uint32_t maxH = 0, maxV = 0;
        OSStatus status = ops().Prologue(&context, &creator, &kind, &title, &maxH, &maxV);
        QorRelease(kind);
        QorRelease(title);
        if (status != kPDENoErr) return status;
        PMPDEFlags flags = 1;
        status = ops().Initialize(context, &flags, 0, pane, session);
        if (status == kPDENoErr) {
            EXPECT_EQ(flags, 0u);
        }
        return status;
    }

    // The host's steps from Terminate on.
    void close() {
        if (context) {
            EXPECT_EQ(ops().Terminate(context, 0), kPDENoErr);
        }
        context = nullptr;
        if (intf) ops().plugInHeader.Release(&intf);
        if (instance) instance->vtable->Release(instance);
        instance = nullptr;
    }

    const PlugInIntfVTable& ops() const { return *intf->vtable; }

    // One of the accessors below, for tables of cases.
    using Field = ControlRef (JobRoutingTest::*)() const;

    ControlRef control(SInt16 templateID) const {
        return ControlWithID(window, kPanelSignature, templateID);
    }
    ControlRef radio(int position) const {
        return control(static_cast<SInt16>(jp::kFirstRadioID + position));
    }
    ControlRef group() const { return control(jp::kPrintToGroupID); }
    ControlRef userName() const { return control(jp::kUserNameFieldID); }
    ControlRef pin() const { return control(jp::kPINFieldID); }
    ControlRef recipient() const { return control(jp::kRecipientFieldID); }
    ControlRef phone() const { return control(jp::kPhoneFieldID); }
    ControlRef station() const { return control(jp::kStationFieldID); }
    ControlRef checkBox() const { return control(jp::kCoverSheetCheckBoxID); }
    ControlRef editButton() const { return control(jp::kEditCoverSheetButtonID); }

    PMTicketRef settings() const {
        PMTicketRef ticket = nullptr;
        GetTicketRef(session, kPDE_PMPrintSettingsRef, &ticket);
        return ticket;
    }
    qor::core::Dictionary& ppdDict() const {
        qor::core::Dictionary* dict = nullptr;
        PMTicketGetPPDDict(settings(), kPMTopLevel, kPMTopLevel, &dict);
        return *dict;
    }
    std::optional<std::string> item(std::string_view key) const {
        std::string value;
        if (PMTicketGetCFString(settings(), kPMTopLevel, kPMTopLevel, key, &value) != kPMNoError)
            return std::nullopt;
        return value;
    }
    void setItem(std::string_view key, std::string_view value) {
        PMTicketSetCFString(settings(), jr::kClientID, key, value, false);
    }
    OSStatus store() { return ops().Sync(context, session, false); }
    OSStatus restore() { return ops().Sync(context, session, true); }

    // The fields a user can see, by template number.
    std::vector<SInt16> visibleFields() const {
        std::vector<SInt16> shown;
        for (SInt16 id :
             {jp::kUserNameFieldID, jp::kPINFieldID, jp::kRecipientFieldID, jp::kPhoneFieldID,
              jp::kStationFieldID, jp::kCoverSheetCheckBoxID, jp::kEditCoverSheetButtonID})
            if (control(id) && IsControlVisible(control(id))) shown.push_back(id);
        return shown;
    }
    ControlRef focus() const {
        ControlRef focused = nullptr;
        GetKeyboardFocus(window, &focused);
        return focused;
    }
    // Turns the cover sheet on in fax mode, so that the editor can be opened.
    void chooseFaxWithCoverSheet() {
        Click(radio(jp::kPositionFax));
        Click(checkBox());
    }

    static OSStatus countPrint(EventHandlerCallRef, EventRef, void* count) {
        ++*static_cast<int*>(count);
        return noErr;
    }

    ScopedEnvironment env;
    std::shared_ptr<qor::core::PlugIn> plugIn;
    WindowRef window = nullptr;
    ControlRef pane = nullptr;
    ControlRef printButton = nullptr;
    PMPrintSession session = nullptr;
    IUnknownInstance* instance = nullptr;
    PlugInIntf* intf = nullptr;
    PMPDEContext context = nullptr;
    int printed = 0;
    int beeps = 0;
    std::vector<AlertRequest> alerts;
    BeepSink previousBeep;
    AlertSink previousAlert;
};

}  // namespace jrtest
