// Finding the panel bundles and driving each panel through its life in the order the panels
// rely on: factory, QueryInterface, Prologue, Initialize, Sync, GetSummaryText, Open, Close,
// Terminate, then the releases.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PDEInterface.h"
#include "PlugIn.h"
#include "PrintSession.h"
#include "Toolbox.h"

namespace qor::printdialog {

// The folders searched for "*.plugin" bundles: the colon-separated list of the environment
// variable QOR_PDE_PATH when set, otherwise the installed panel folder.
std::vector<std::filesystem::path> panelFolders();
// The bundles of the folders, each folder's sorted by name, folders in the order given.
std::vector<std::filesystem::path> findPanelBundles(
    const std::vector<std::filesystem::path>& folders);

// One panel of one bundle, from its factory to its release. Not copyable: it owns the
// panel's instance, interface and context.
class Panel {
  public:
    // Creates the instance with the factory and asks it for the panel interface; null with a
    // reason in *error when the factory declines or the interface is missing.
    static std::unique_ptr<Panel> create(std::shared_ptr<core::PlugIn> plugIn,
                                         const core::Uuid& factory, std::string* error);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // Makes the context; kind, title and pane height come from the panel. A panel without a
    // title of its own is named after its bundle.
    OSStatus Prologue();
    // Gives the panel its pane and the session; on failure the panel is to be terminated
    // and not shown.
    OSStatus Initialize(ControlRef pane, PMPrintSession session);
    OSStatus Sync(PMPrintSession session, bool syncDirection);
    // Title and value pairs; an empty list when the panel gives none.
    OSStatus GetSummaryText(std::vector<std::pair<std::string, std::string>>* summary);
    OSStatus Open();
    OSStatus Close();
    // Ends the context; later calls other than the destructor are refused.
    OSStatus Terminate();

    const std::string& title() const { return title_; }
    const std::string& kind() const { return kind_; }
    std::uint32_t maxH() const { return maxH_; }
    std::uint32_t maxV() const { return maxV_; }
    ControlRef pane() const { return pane_; }
    bool hasContext() const { return context_ != nullptr; }

  private:
    Panel(std::shared_ptr<core::PlugIn> plugIn, IUnknownInstance* instance, PlugInIntf* intf);

    std::shared_ptr<core::PlugIn> plugIn_;  // keeps the bundle loaded while the panel lives
    IUnknownInstance* instance_ = nullptr;
    PlugInIntf* intf_ = nullptr;
    PMPDEContext context_ = nullptr;
    ControlRef pane_ = nullptr;
    std::string title_;
    std::string kind_;
    std::uint32_t maxH_ = 0;
    std::uint32_t maxV_ = 0;
};

// Every panel that the bundles offer for the PDE type, each created and through Prologue.
// Bundles and factories that fail are skipped, with one line each in *problems.
std::vector<std::unique_ptr<Panel>> createPanels(const std::vector<std::filesystem::path>& bundles,
                                                 std::vector<std::string>* problems);

}  // namespace qor::printdialog
