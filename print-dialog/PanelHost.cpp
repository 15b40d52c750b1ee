// Panel bundles found on disk and driven through the panel operation table.
#include "PanelHost.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#ifndef QOR_PDE_DIR
#define QOR_PDE_DIR "/Library/Printers/Quorvan/PDEs"
#endif

namespace qor::printdialog {

namespace fs = std::filesystem;

std::vector<fs::path> panelFolders() {
    const char* list = std::getenv("QOR_PDE_PATH");
    if (list == nullptr || *list == '\0') return {fs::path(QOR_PDE_DIR)};
    std::vector<fs::path> folders;
    std::string_view rest(list);
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty()) folders.emplace_back(folder);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return folders;
}

std::vector<fs::path> findPanelBundles(const std::vector<fs::path>& folders) {
    std::vector<fs::path> bundles;
    for (const auto& folder : folders) {
        std::vector<fs::path> found;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error)) {
            if (entry.path().extension() == ".plugin" && entry.is_directory(error))
                found.push_back(entry.path());
        }
        std::sort(found.begin(), found.end());
        bundles.insert(bundles.end(), found.begin(), found.end());
    }
    return bundles;
}

namespace {

QorUUIDBytes uuidBytes(const char* text) {
    QorUUIDBytes bytes{};
    if (auto uuid = core::Uuid::fromString(text)) {
        std::copy(uuid->bytes().begin(), uuid->bytes().end(), bytes.bytes);
    }
    return bytes;
}

std::string bundleName(const core::PlugIn& plugIn) {
    return plugIn.bundle().path().stem().string();
}

}  // namespace

std::unique_ptr<Panel> Panel::create(std::shared_ptr<core::PlugIn> plugIn,
                                     const core::Uuid& factory, std::string* error) {
    const auto type = core::Uuid::fromString(kPDETypeIDString);
    auto* instance = static_cast<IUnknownInstance*>(plugIn->createInstance(factory, *type));
    if (instance == nullptr) {
        if (error) *error = "factory " + factory.toString() + " made no panel";
        return nullptr;
    }
    LPVOID intf = nullptr;
    const HRESULT result =
        instance->vtable->QueryInterface(instance, uuidBytes(kPDEInterfaceIDString), &intf);
    if (result != kPDEQueryOK || intf == nullptr) {
        instance->vtable->Release(instance);
        if (error) *error = "factory " + factory.toString() + " has no panel interface";
        return nullptr;
    }
    return std::unique_ptr<Panel>(
        new Panel(std::move(plugIn), instance, static_cast<PlugInIntf*>(intf)));
}

Panel::Panel(std::shared_ptr<core::PlugIn> plugIn, IUnknownInstance* instance, PlugInIntf* intf)
    : plugIn_(std::move(plugIn)), instance_(instance), intf_(intf) {}

Panel::~Panel() {
    Terminate();
    if (intf_ != nullptr) intf_->vtable->plugInHeader.Release(&intf_);
    if (instance_ != nullptr) instance_->vtable->Release(instance_);
}

OSStatus Panel::Prologue() {
    OSType creator = 0;
    QorStringRef kind = nullptr;
    QorStringRef title = nullptr;
    const OSStatus status =
        intf_->vtable->Prologue(&context_, &creator, &kind, &title, &maxH_, &maxV_);
    // Whatever the result, strings handed out are ours to release.
    core::Ref ownedKind = core::Ref::adopt(kind);
    core::Ref ownedTitle = core::Ref::adopt(title);
    if (status != kPDENoErr) {
        context_ = nullptr;
        return status;
    }
    kind_ = core::stringOf(ownedKind.get()).value_or(std::string());
    title_ = core::stringOf(ownedTitle.get()).value_or(bundleName(*plugIn_));
    return status;
}

OSStatus Panel::Initialize(ControlRef pane, PMPrintSession session) {
    if (context_ == nullptr) return kPDENoContextErr;
    pane_ = pane;
    PMPDEFlags flags = 0;
    return intf_->vtable->Initialize(context_, &flags, 0, pane, session);
}

OSStatus Panel::Sync(PMPrintSession session, bool syncDirection) {
    if (context_ == nullptr) return kPDENoContextErr;
    return intf_->vtable->Sync(context_, session, syncDirection ? 1 : 0);
}

OSStatus Panel::GetSummaryText(std::vector<std::pair<std::string, std::string>>* summary) {
    summary->clear();
    if (context_ == nullptr) return kPDENoContextErr;
    QorArrayRef titles = nullptr;
    QorArrayRef values = nullptr;
    const OSStatus status = intf_->vtable->GetSummaryText(context_, &titles, &values);
    core::Ref ownedTitles = core::Ref::adopt(titles);
    core::Ref ownedValues = core::Ref::adopt(values);
    if (status != kPDENoErr) return status;
    // The lists are parallel; a panel that hands back lists of unequal length gives the
    // pairs they share.
    const std::size_t count = std::min(QorArrayGetCount(titles), QorArrayGetCount(values));
    for (std::size_t i = 0; i < count; ++i) {
        summary->emplace_back(
            core::stringOf(QorArrayGetValueAtIndex(titles, i)).value_or(std::string()),
            core::stringOf(QorArrayGetValueAtIndex(values, i)).value_or(std::string()));
    }
    return status;
}

OSStatus Panel::Open() {
    return context_ != nullptr ? intf_->vtable->Open(context_) : kPDENoContextErr;
}

OSStatus Panel::Close() {
    return context_ != nullptr ? intf_->vtable->Close(context_) : kPDENoContextErr;
}

OSStatus Panel::Terminate() {
    if (context_ == nullptr) return kPDENoContextErr;
    // The context is gone after the call whatever it answers.
    const OSStatus status = intf_->vtable->Terminate(std::exchange(context_, nullptr), kPDENoErr);
    return status;
}

std::vector<std::unique_ptr<Panel>> createPanels(const std::vector<fs::path>& bundles,
                                                 std::vector<std::string>* problems) {
    std::vector<std::unique_ptr<Panel>> panels;
    const auto type = core::Uuid::fromString(kPDETypeIDString);
    for (const auto& path : bundles) {
        std::string error;
        auto plugIn = core::PlugIn::load(path, &error);
        if (!plugIn) {
            problems->push_back(path.filename().string() + ": " + error);
            continue;
        }
        for (const auto& factory : plugIn->factoriesForType(*type)) {
            auto panel = Panel::create(plugIn, factory, &error);
            if (!panel) {
                problems->push_back(path.filename().string() + ": " + error);
                continue;
            }
            const OSStatus status = panel->Prologue();
            if (status != kPDENoErr) {
                problems->push_back(path.filename().string() + ": Prologue failed (" +
                                    std::to_string(status) + ")");
                continue;
            }
            panels.push_back(std::move(panel));
        }
    }
    return panels;
}

}  // namespace qor::printdialog
