// The print dialog: a queue pop-up, the panels of the chosen printer with a pop-up to move
// between them and a summary page, and Print and Cancel; Print sends the job to CUPS with the
// print settings as its options.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PanelHost.h"
#include "PrintSession.h"
#include "Toolbox.h"

class QTreeWidget;

namespace qor::printdialog {

// What Print hands to the print system.
struct PrintJob {
    std::string queue;
    std::string file;
    std::string title;
    std::string options;  // CUPS option syntax
};

// Sends a job; the job id, or 0 with the reason in *error.
using JobSubmitter = std::function<int(const PrintJob& job, std::string* error)>;
// cupsPrintFile with the job's options parsed by cupsParseOptions.
int submitWithCups(const PrintJob& job, std::string* error);
// The names of the print system's destinations; *defaultQueue gets the default one, if any.
std::vector<std::string> cupsQueues(std::string* defaultQueue);

// The title of the summary page in the panel pop-up.
inline constexpr std::string_view kSummaryTitle = "Summary";

class PrintDialog {
  public:
    enum class Outcome { Open, Printed, Cancelled };

    explicit PrintDialog(std::string file, JobSubmitter submit = submitWithCups);
    ~PrintDialog();
    PrintDialog(const PrintDialog&) = delete;
    PrintDialog& operator=(const PrintDialog&) = delete;

    // Fills the queue pop-up; nothing is loaded until a queue is chosen.
    void setQueues(const std::vector<std::string>& queues);
    // Chooses a queue of the pop-up as a user would; false for a name it does not list.
    bool chooseQueue(const std::string& queue);
    // Makes a printer current without asking the print system: a queue name, its PPD file and
    // its device URI. The panels are loaded again for it.
    OSStatus usePrinter(const std::string& queue, const std::string& ppdPath,
                        const std::string& deviceURI);
    const std::string& queue() const { return queue_; }

    // The panels shown, in pop-up order, and the one in front (null for the summary).
    const std::vector<std::unique_ptr<Panel>>& panels() const { return panels_; }
    Panel* currentPanel() const { return current_; }
    // Chooses a panel by its title, or the summary page, as a user would.
    bool choosePanel(const std::string& title);
    // Every shown panel's summary: panel title, item title, value.
    struct SummaryLine {
        std::string panel;
        std::string title;
        std::string value;
    };
    std::vector<SummaryLine> summary();

    // Shows the dialog and waits until Print sent the job or the dialog was cancelled.
    Outcome run();
    Outcome outcome() const { return outcome_; }
    int jobID() const { return jobID_; }

    WindowRef window() const { return window_; }
    ControlRef printButton() const { return printButton_; }
    ControlRef cancelButton() const { return cancelButton_; }
    PMPrintSession session() const { return session_; }
    // Lines about bundles and panels that could not be loaded, newest last.
    const std::vector<std::string>& problems() const { return problems_; }

  private:
    static OSStatus onPrint(EventHandlerCallRef, EventRef, void* self);
    static OSStatus onCancel(EventHandlerCallRef, EventRef, void* self);
    static OSStatus onQueueChosen(EventHandlerCallRef, EventRef, void* self);
    static OSStatus onPanelChosen(EventHandlerCallRef, EventRef, void* self);

    void loadQueue(const std::string& queue);
    void loadPanels();
    void unloadPanels();
    void makePrintButton();
    void layOut(int paneAreaHeight);
    void showPage(std::size_t index);
    void fillSummary();
    void print();
    void finish(Outcome outcome);
    void alert(const std::string& message, const std::string& explanation);

    std::string file_;
    JobSubmitter submit_;
    WindowRef window_ = nullptr;
    ControlRef printButton_ = nullptr;
    ControlRef cancelButton_ = nullptr;
    ControlRef queuePopup_ = nullptr;
    ControlRef queueLabel_ = nullptr;
    ControlRef panelPopup_ = nullptr;
    ControlRef panelLabel_ = nullptr;
    ControlRef summaryPane_ = nullptr;
    QTreeWidget* summaryTree_ = nullptr;
    MenuRef queueMenu_ = nullptr;
    MenuRef panelMenu_ = nullptr;
    std::vector<std::string> queues_;
    std::string queue_;
    PMPrintSession session_ = nullptr;
    std::vector<std::unique_ptr<Panel>> panels_;
    Panel* current_ = nullptr;
    Outcome outcome_ = Outcome::Open;
    int jobID_ = 0;
    std::vector<std::string> problems_;
};

}  // namespace qor::printdialog
