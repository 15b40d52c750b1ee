// The print dialog's window, its queue and panel pop-ups, the summary page and printing.
#include "PrintDialog.h"

#include <cups/cups.h>

#include <QHeaderView>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <filesystem>

#include "JobRoutingOptions.h"
#include "OptionString.h"
#include "ToolboxWidgets.h"

namespace qor::printdialog {

namespace {

// Panels lay their controls out in window coordinates from the pane's top left corner, so the
// panes sit at the window's origin and the dialog's own controls below them.
constexpr short kWidth = 560;
constexpr int kMinPaneArea = 360;
constexpr short kRowHeight = 22;
constexpr MenuID kQueueMenuID = 30001;
constexpr MenuID kPanelMenuID = 30002;
constexpr EventTypeSpec kHit{kEventClassControl, kEventControlHit};
constexpr EventTypeSpec kValueChanged{kEventClassControl, kEventControlValueFieldChanged};

short clampShort(int value) {
    return static_cast<short>(std::clamp(value, 0, 32000));
}

ControlRef label(WindowRef window, const Rect& bounds, std::string_view text) {
    ControlFontStyleRec style;
    style.flags = kControlUseJustMask;
    style.just = teFlushRight;
    ControlRef made = nullptr;
    CreateStaticTextControl(window, &bounds, text, &style, &made);
    return made;
}

ControlRef popup(WindowRef window, const Rect& bounds, std::string_view title) {
    ControlRef made = nullptr;
    CreatePopupButtonControl(window, &bounds, title, kPopupNoMenuID, false, 0, teFlushLeft, 0,
                             &made);
    return made;
}

// Replaces the popup's menu with one listing the texts; the value goes to the first item.
MenuRef fillPopup(ControlRef control, MenuRef old, MenuID id,
                  const std::vector<std::string>& texts) {
    MenuRef menu = nullptr;
    CreateNewMenu(id, kMenuAttrNone, &menu);
    for (const auto& text : texts) AppendMenuItemTextWithCFString(menu, text, 0, 0, nullptr);
    SetControlPopupMenuHandle(control, menu);
    if (old != nullptr) DisposeMenu(old);
    SetControl32BitMinimum(control, texts.empty() ? 0 : 1);
    SetControl32BitMaximum(control, static_cast<SInt32>(texts.size()));
    SetControl32BitValue(control, texts.empty() ? 0 : 1);
    return menu;
}

PMTicketRef printSettingsTicket(PMPrintSession session) {
    const core::Value* data = nullptr;
    if (PMSessionGetDataFromSession(session, kPDE_PMPrintSettingsRef, &data) != kPMNoError)
        return nullptr;
    const std::int64_t* number = data->asInteger();
    return number != nullptr ? reinterpret_cast<PMTicketRef>(static_cast<std::intptr_t>(*number))
                             : nullptr;
}

}  // namespace

int submitWithCups(const PrintJob& job, std::string* error) {
    cups_option_t* options = nullptr;
    const int count = cupsParseOptions(job.options.c_str(), 0, &options);
    const int id =
        cupsPrintFile(job.queue.c_str(), job.file.c_str(), job.title.c_str(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0 && error != nullptr) *error = cupsLastErrorString();
    return id;
}

std::vector<std::string> cupsQueues(std::string* defaultQueue) {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests(&dests);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        // Instances are option sets of a queue, not queues of their own.
        if (dests[i].instance != nullptr) continue;
        names.emplace_back(dests[i].name);
        if (dests[i].is_default && defaultQueue != nullptr) *defaultQueue = dests[i].name;
    }
    cupsFreeDests(count, dests);
    return names;
}

PrintDialog::PrintDialog(std::string file, JobSubmitter submit)
    : file_(std::move(file)), submit_(std::move(submit)) {
    const Rect content{0, 0, static_cast<short>(kMinPaneArea + 116), kWidth};
    CreateNewWindow(kMovableModalWindowClass, kWindowNoAttributes, &content, &window_);
    SetWindowTitleWithCFString(
        window_,
        "Print \xE2\x80\x9C" + std::filesystem::path(file_).filename().string() + "\xE2\x80\x9D");
    queueLabel_ = label(window_, Rect{}, "Printer:");
    queuePopup_ = popup(window_, Rect{}, "Printer");
    panelLabel_ = label(window_, Rect{}, "Panel:");
    panelPopup_ = popup(window_, Rect{}, "Panel");
    queueMenu_ = fillPopup(queuePopup_, nullptr, kQueueMenuID, {});
    panelMenu_ = fillPopup(panelPopup_, nullptr, kPanelMenuID, {});
    InstallControlEventHandler(queuePopup_, &onQueueChosen, 1, &kValueChanged, this, nullptr);
    InstallControlEventHandler(panelPopup_, &onPanelChosen, 1, &kValueChanged, this, nullptr);
    CreatePushButtonControl(window_, &content, "Cancel", &cancelButton_);
    SetWindowCancelButton(window_, cancelButton_);
    InstallControlEventHandler(cancelButton_, &onCancel, 1, &kHit, this, nullptr);

    const Rect pane{0, 0, static_cast<short>(kMinPaneArea), kWidth};
    CreateUserPaneControl(window_, &pane, kControlSupportsEmbedding, &summaryPane_);
    summaryTree_ = new QTreeWidget(GetControlWidget(summaryPane_));
    summaryTree_->setColumnCount(2);
    summaryTree_->setHeaderLabels({QStringLiteral("Setting"), QStringLiteral("Value")});
    summaryTree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    SetControlVisibility(summaryPane_, false, false);
    makePrintButton();
    layOut(kMinPaneArea);
}

PrintDialog::~PrintDialog() {
    unloadPanels();
    if (session_ != nullptr) PMRelease(session_);
    DisposeWindow(window_);
    DisposeMenu(queueMenu_);
    DisposeMenu(panelMenu_);
}

void PrintDialog::setQueues(const std::vector<std::string>& queues) {
    queues_ = queues;
    queueMenu_ = fillPopup(queuePopup_, queueMenu_, kQueueMenuID, queues_);
    // No queue is chosen yet, so that choosing the first one is a change too.
    SetControl32BitMinimum(queuePopup_, 0);
    SetControl32BitValue(queuePopup_, 0);
}

bool PrintDialog::chooseQueue(const std::string& queue) {
    const auto at = std::find(queues_.begin(), queues_.end(), queue);
    if (at == queues_.end()) return false;
    const auto item = static_cast<MenuItemIndex>(at - queues_.begin() + 1);
    if (GetControl32BitValue(queuePopup_) == item && queue_ == queue) return true;
    return HandlePopupMenuSelection(queuePopup_, item) != kControlNoPart;
}

OSStatus PrintDialog::usePrinter(const std::string& queue, const std::string& ppdPath,
                                 const std::string& deviceURI) {
    unloadPanels();
    if (session_ != nullptr) PMRelease(std::exchange(session_, nullptr));
    PMCreateSession(&session_);
    const OSStatus status = PMSessionSetCurrentPrinter(session_, queue, ppdPath, deviceURI);
    queue_ = status == kPMNoError ? queue : std::string();
    if (status == kPMNoError) loadPanels();
    return status;
}

OSStatus PrintDialog::onQueueChosen(EventHandlerCallRef, EventRef, void* self) {
    auto* dialog = static_cast<PrintDialog*>(self);
    const SInt32 item = GetControl32BitValue(dialog->queuePopup_);
    if (item >= 1 && static_cast<std::size_t>(item) <= dialog->queues_.size())
        dialog->loadQueue(dialog->queues_[static_cast<std::size_t>(item - 1)]);
    return noErr;
}

OSStatus PrintDialog::onPanelChosen(EventHandlerCallRef, EventRef, void* self) {
    auto* dialog = static_cast<PrintDialog*>(self);
    const SInt32 item = GetControl32BitValue(dialog->panelPopup_);
    if (item >= 1) dialog->showPage(static_cast<std::size_t>(item - 1));
    return noErr;
}

OSStatus PrintDialog::onPrint(EventHandlerCallRef, EventRef, void* self) {
    static_cast<PrintDialog*>(self)->print();
    return noErr;
}

OSStatus PrintDialog::onCancel(EventHandlerCallRef, EventRef, void* self) {
    static_cast<PrintDialog*>(self)->finish(Outcome::Cancelled);
    return noErr;
}

void PrintDialog::loadQueue(const std::string& queue) {
    unloadPanels();
    // Each printer starts from empty print settings.
    if (session_ != nullptr) PMRelease(std::exchange(session_, nullptr));
    PMCreateSession(&session_);
    const OSStatus status = PMSessionSetCurrentQueue(session_, queue.c_str());
    if (status != kPMNoError) {
        queue_.clear();
        alert("The printer \xE2\x80\x9C" + queue + "\xE2\x80\x9D cannot be used.",
              status == kPMPrinterNotFound ? cupsLastErrorString()
                                           : "Status " + std::to_string(status) + ".");
        return;
    }
    queue_ = queue;
    loadPanels();
}

void PrintDialog::makePrintButton() {
    // A fresh button for every set of panels: a panel that leaves its handler on the button
    // after Terminate can then never be called with a context it has freed.
    if (printButton_ != nullptr) DisposeControl(printButton_);
    const Rect bounds{0, 0, kRowHeight, 90};
    CreatePushButtonControl(window_, &bounds, "Print", &printButton_);
    SetWindowDefaultButton(window_, printButton_);
    InstallControlEventHandler(printButton_, &onPrint, 1, &kHit, this, nullptr);
}

void PrintDialog::loadPanels() {
    makePrintButton();
    auto candidates = createPanels(findPanelBundles(panelFolders()), &problems_);
    int area = kMinPaneArea;
    for (auto& panel : candidates) {
        const Rect bounds{0, 0, clampShort(static_cast<int>(panel->maxV())), kWidth};
        ControlRef pane = nullptr;
        CreateUserPaneControl(window_, &bounds, kControlSupportsEmbedding, &pane);
        SetControlVisibility(pane, false, false);
        const OSStatus status = panel->Initialize(pane, session_);
        if (status != kPDENoErr) {
            // A panel that declines is not shown; its context still has to go.
            problems_.push_back(panel->title() + ": not offered for " + queue_ + " (" +
                                std::to_string(status) + ")");
            panel.reset();
            DisposeControl(pane);
            continue;
        }
        area = std::max(area, static_cast<int>(panel->maxV()));
        panels_.push_back(std::move(panel));
    }
    layOut(area);
    std::vector<std::string> titles;
    for (const auto& panel : panels_) titles.push_back(panel->title());
    titles.emplace_back(kSummaryTitle);
    panelMenu_ = fillPopup(panelPopup_, panelMenu_, kPanelMenuID, titles);
    showPage(0);
}

void PrintDialog::unloadPanels() {
    if (current_ != nullptr) current_->Close();
    current_ = nullptr;
    for (auto& panel : panels_) {
        ControlRef pane = panel->pane();
        panel->Terminate();
        panel.reset();
        DisposeControl(pane);
    }
    panels_.clear();
    panelMenu_ = fillPopup(panelPopup_, panelMenu_, kPanelMenuID, {});
    SetControlVisibility(summaryPane_, false, false);
}

void PrintDialog::layOut(int paneAreaHeight) {
    const short top = clampShort(paneAreaHeight);
    const short height = clampShort(paneAreaHeight + 116);
    ControlRef root = nullptr;
    GetRootControl(window_, &root);
    const Rect all{0, 0, height, kWidth};
    SetControlBounds(root, &all);
    if (QWidget* widget = GetWindowWidget(window_)) widget->setFixedSize(kWidth, height);
    const Rect summary{0, 0, top, kWidth};
    SetControlBounds(summaryPane_, &summary);
    summaryTree_->setGeometry(8, 8, kWidth - 16, top - 16);
    auto row = [&](int offset, short left, short right) {
        return Rect{static_cast<short>(top + offset), left,
                    static_cast<short>(top + offset + kRowHeight), right};
    };
    Rect r = row(12, 10, 90);
    SetControlBounds(queueLabel_, &r);
    r = row(10, 100, 400);
    SetControlBounds(queuePopup_, &r);
    r = row(44, 10, 90);
    SetControlBounds(panelLabel_, &r);
    r = row(42, 100, 400);
    SetControlBounds(panelPopup_, &r);
    r = row(82, kWidth - 200, kWidth - 110);
    SetControlBounds(cancelButton_, &r);
    r = row(82, kWidth - 100, kWidth - 10);
    SetControlBounds(printButton_, &r);
}

bool PrintDialog::choosePanel(const std::string& title) {
    std::size_t index = 0;
    while (index < panels_.size() && panels_[index]->title() != title) ++index;
    if (index == panels_.size() && title != kSummaryTitle) return false;
    const auto item = static_cast<MenuItemIndex>(index + 1);
    if (GetControl32BitValue(panelPopup_) == item) return true;
    return HandlePopupMenuSelection(panelPopup_, item) != kControlNoPart;
}

void PrintDialog::showPage(std::size_t index) {
    if (current_ != nullptr) {
        current_->Close();
        SetControlVisibility(current_->pane(), false, true);
    }
    current_ = nullptr;
    if (index < panels_.size()) {
        SetControlVisibility(summaryPane_, false, true);
        current_ = panels_[index].get();
        SetControlVisibility(current_->pane(), true, true);
        current_->Open();
        return;
    }
    fillSummary();
    SetControlVisibility(summaryPane_, true, true);
}

std::vector<PrintDialog::SummaryLine> PrintDialog::summary() {
    std::vector<SummaryLine> lines;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& panel : panels_) {
        if (panel->GetSummaryText(&pairs) != kPDENoErr) continue;
        for (auto& [title, value] : pairs) lines.push_back({panel->title(), title, value});
    }
    return lines;
}

void PrintDialog::fillSummary() {
    summaryTree_->clear();
    QTreeWidgetItem* group = nullptr;
    std::string groupTitle;
    for (const auto& line : summary()) {
        if (group == nullptr || line.panel != groupTitle) {
            groupTitle = line.panel;
            group = new QTreeWidgetItem(summaryTree_, {QString::fromStdString(line.panel)});
            group->setExpanded(true);
        }
        new QTreeWidgetItem(
            group, {QString::fromStdString(line.title), QString::fromStdString(line.value)});
    }
}

void PrintDialog::print() {
    if (session_ == nullptr || queue_.empty()) {
        alert("Choose a printer to print to.", {});
        return;
    }
    // A job printed without a panel's settings could go out in the open that the user meant
    // to hold or fax, so a panel that cannot store them stops the job.
    for (const auto& panel : panels_) {
        const OSStatus status = panel->Sync(session_, false);
        if (status != kPDENoErr && status != kPDESyncKeyNotFound) {
            const std::string problem =
                panel->title() + ": storing the settings failed (" + std::to_string(status) + ")";
            problems_.push_back(problem);
            alert("The print settings cannot be sent to the printer.", problem + ".");
            return;
        }
    }
    PrintJob job;
    job.queue = queue_;
    job.file = file_;
    job.title = std::filesystem::path(file_).filename().string();
    std::string error;
    // The Job Routing panel's ticket items travel to the filter as job options of their own.
    if (PMTicketGetCUPSOptionString(printSettingsTicket(session_), qor::jr::kClientID, &job.options,
                                    &error) != kPMNoError) {
        alert("The print settings cannot be sent to the printer.", error);
        return;
    }
    const int id = submit_(job, &error);
    if (id <= 0) {
        alert("\xE2\x80\x9C" + job.title + "\xE2\x80\x9D could not be printed on \xE2\x80\x9C" +
                  queue_ + "\xE2\x80\x9D.",
              error);
        return;
    }
    jobID_ = id;
    finish(Outcome::Printed);
}

void PrintDialog::finish(Outcome outcome) {
    outcome_ = outcome;
    QuitAppModalLoopForWindow(window_);
}

void PrintDialog::alert(const std::string& message, const std::string& explanation) {
    StandardAlert(kAlertStopAlert, message, explanation, nullptr, nullptr);
}

PrintDialog::Outcome PrintDialog::run() {
    outcome_ = Outcome::Open;
    RunAppModalLoopForWindow(window_);
    // Closing the window or a driver with nothing more to do ends the dialog as Cancel does.
    if (outcome_ == Outcome::Open) outcome_ = Outcome::Cancelled;
    HideWindow(window_);
    return outcome_;
}

}  // namespace qor::printdialog
