// A small print-dialog host for the option panel tests: loads a built panel bundle and drives
// it through the plug-in frame, with a toolbox window, a user pane and a print session.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PDEInterface.h"
#include "PlugIn.h"
#include "PrintSession.h"
#include "Toolbox.h"

// The built bundles and the shipped PPDs.
inline const std::string kBundles = QOR_BUNDLE_BUILD_DIR;
inline const std::string kColorBundle = kBundles + "/Quorvan Color.plugin";
inline const std::string kFinishingBundle = kBundles + "/Quorvan Finishing.plugin";
inline const std::string kImagingBundle = kBundles + "/Quorvan Imaging.plugin";
inline const std::string kPaperHandlingBundle = kBundles + "/Quorvan Paper Handling.plugin";
inline const std::string kMonoPPD = QOR_SOURCE_DIR "/ppd/Quorvan-Q2050.ppd";
inline const std::string kColorPPD = QOR_SOURCE_DIR "/ppd/Quorvan-Q4150C.ppd";
// A PPD of another maker's printer, from the system's filter package.
inline const std::string kOtherMakerPPD = "/usr/share/ppd/cupsfilters/pxlmono.ppd";

// A shipped PPD with some lines changed, as an administrator's queue copy would be: each pair
// replaces the first line that starts with its first text; an empty replacement drops every
// line that contains the text.
inline std::string variantPPD(const std::string& from, const std::string& name,
                              const std::vector<std::pair<std::string, std::string>>& edits) {
    std::ifstream in(from);
    EXPECT_TRUE(in) << from;
    std::ostringstream out;
    std::vector<bool> used(edits.size(), false);
    for (std::string line; std::getline(in, line);) {
        bool keep = true;
        for (std::size_t i = 0; i < edits.size() && keep; ++i) {
            const auto& [text, replacement] = edits[i];
            if (replacement.empty() && line.find(text) != std::string::npos) {
                keep = false;
            } else if (!replacement.empty() && !used[i] && line.starts_with(text)) {
                line = replacement;
                used[i] = true;
            }
        }
        if (keep) out << line << '\n';
    }
    const std::string path = std::string(QOR_TEST_OUTPUT) + "/" + name;
    std::ofstream(path) << out.str();
    return path;
}

class PanelHost {
  public:
    PanelHost(const std::string& bundlePath, const char* factoryID) {
        std::string error;
        plugIn_ = qor::core::PlugIn::load(bundlePath, &error);
        if (!plugIn_) {
            ADD_FAILURE() << error;
            return;
        }
        const auto type = *qor::core::Uuid::fromString(kPDETypeIDString);
        instance_ = static_cast<IUnknownInstance*>(
            plugIn_->createInstance(*qor::core::Uuid::fromString(factoryID), type));
        if (!instance_) {
            ADD_FAILURE() << "no instance from " << bundlePath;
            return;
        }
        QorUUIDBytes iid{};
        const auto bytes = qor::core::Uuid::fromString(kPDEInterfaceIDString)->bytes();
        std::copy(bytes.begin(), bytes.end(), iid.bytes);
        LPVOID out = nullptr;
        EXPECT_EQ(instance_->vtable->QueryInterface(instance_, iid, &out), kPDEQueryOK);
        intf_ = static_cast<PlugInIntf*>(out);
        OSType creator = 0;
        QorStringRef kind = nullptr;
        QorStringRef title = nullptr;
        std::uint32_t maxH = 0;
        EXPECT_EQ(ops().Prologue(&context_, &creator, &kind, &title, &maxH, &maxV_), kPDENoErr);
        title_ = qor::core::stringOf(title).value_or("");
        QorRelease(kind);
        QorRelease(title);
        EXPECT_EQ(PMCreateSession(&session_), 0);
    }

    ~PanelHost() {
        if (intf_) {
            if (context_) {
                EXPECT_EQ(ops().Terminate(context_, 0), kPDENoErr);
            }
            ops().plugInHeader.Release(&intf_);
        }
        if (instance_) instance_->vtable->Release(instance_);
        if (window_) DisposeWindow(window_);
        if (session_) PMRelease(session_);
    }
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    const PlugInIntfVTable& ops() const { return *intf_->vtable; }
    PMPDEContext context() const { return context_; }
    PMPrintSession session() const { return session_; }
    ControlRef pane() const { return pane_; }
    WindowRef window() const { return window_; }
    const std::string& title() const { return title_; }
    std::uint32_t maxV() const { return maxV_; }

    // Initialize in a pane of the given bounds, for a printer with this PPD (none: no printer).
    OSStatus initialize(const std::string& ppd, Rect paneBounds = {0, 20, 400, 440}) {
        const Rect content{0, 0, 400, 460};
        EXPECT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window_),
                  noErr);
        EXPECT_EQ(CreateUserPaneControl(window_, &paneBounds, kControlSupportsEmbedding, &pane_),
                  noErr);
        ShowWindow(window_);
        if (!ppd.empty()) {
            EXPECT_EQ(PMSessionSetCurrentPrinter(session_, "Test", ppd, "socket://printer"), 0);
        }
        PMPDEFlags flags = 1;
        const OSStatus status = ops().Initialize(context_, &flags, 0, pane_, session_);
        if (status == kPDENoErr) {
            EXPECT_EQ(flags, 0u);
        }
        return status;
    }

    OSStatus sync(bool setControls) { return ops().Sync(context_, session_, setControls); }

    // The print settings' PPD dictionary, main keyword to option keyword.
    qor::core::Dictionary& settings() {
        const qor::core::Value* data = nullptr;
        PMSessionGetDataFromSession(session_, kPDE_PMPrintSettingsRef, &data);
        auto ticket = reinterpret_cast<PMTicketRef>(static_cast<std::intptr_t>(*data->asInteger()));
        qor::core::Dictionary* dict = nullptr;
        PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &dict);
        return *dict;
    }

    // The control a panel made with this id: a checkbox carries it, a popup's menu one more.
    ControlRef control(SInt32 id) const {
        for (ControlRef c : children())
            if (MenuRef menu = GetControlPopupMenuHandle(c);
                menu ? GetMenuID(menu) == id + 1 : GetControlReference(c) == id)
                return c;
        return nullptr;
    }

    std::vector<ControlRef> children() const {
        std::vector<ControlRef> found;
        UInt16 count = 0;
        CountSubControls(pane_, &count);
        for (UInt16 i = 1; i <= count; ++i) {
            ControlRef child = nullptr;
            GetIndexedSubControl(pane_, i, &child);
            found.push_back(child);
        }
        return found;
    }

    struct Summary {
        std::vector<std::string> titles;
        std::vector<std::string> summaries;
    };
    // Nothing when the panel hands back no lists.
    std::optional<Summary> summary(OSStatus* status = nullptr) {
        QorArrayRef titles = nullptr;
        QorArrayRef summaries = nullptr;
        const OSStatus result = ops().GetSummaryText(context_, &titles, &summaries);
        if (status) *status = result;
        if (!titles || !summaries) {
            QorRelease(titles);
            QorRelease(summaries);
            return std::nullopt;
        }
        Summary s;
        for (std::size_t i = 0; i < QorArrayGetCount(titles); ++i)
            s.titles.push_back(QorStringGetUTF8(QorArrayGetValueAtIndex(titles, i)));
        for (std::size_t i = 0; i < QorArrayGetCount(summaries); ++i)
            s.summaries.push_back(QorStringGetUTF8(QorArrayGetValueAtIndex(summaries, i)));
        QorRelease(titles);
        QorRelease(summaries);
        return s;
    }

  private:
    std::shared_ptr<qor::core::PlugIn> plugIn_;
    IUnknownInstance* instance_ = nullptr;
    PlugInIntf* intf_ = nullptr;
    PMPDEContext context_ = nullptr;
    std::string title_;
    std::uint32_t maxV_ = 0;
    PMPrintSession session_ = nullptr;
    WindowRef window_ = nullptr;
    ControlRef pane_ = nullptr;
};
