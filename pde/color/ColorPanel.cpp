// The Color panel: the option panel engine, plus the rule that the manual color settings
// apply only while color correction is "Manual".
#include <array>
#include <memory>
#include <string_view>

#include "OptionPanel.h"
#include "PrinterChecks.h"

namespace {

using qor::pde::OptionPanelAdditions;

constexpr std::string_view kColorCorrectionKey = "MediaColor";
constexpr std::string_view kManualOption = "Manual";
constexpr std::array<std::string_view, 4> kManualColorKeys = {"ManualRGBImage", "ManualRGBText",
                                                              "ManualRGBGraphics", "ManualCMYK"};
// The color-correction popup is watched for hits, after which it holds the new choice.
constexpr EventTypeSpec kControlHitEvent{kEventClassControl, kEventControlHit};

struct ColorContext : qor::pde::PDEContextHead {
    Rect currentContrlRect{0, 0, 10, 10};
    // The layout rectangle as it was before the latest control was made.
    Rect shortControlRect{0, 0, 10, 10};
    EventHandlerRef myControlHandler = nullptr;
    ControlRef colorCorrectionCtl = nullptr;
    KeySetInfo* KeyRef = nullptr;  // the color-correction key set, owned by the list
    std::int16_t lastControlType = 0;
    std::unique_ptr<KeySetList> PPDKeySetInfoRef;
};

bool isManualColorKey(std::string_view keyword) {
    for (std::string_view key : kManualColorKeys)
        if (keyword == key) return true;
    return false;
}

// Runs after the color-correction popup has taken a new value, and before the settings are
// stored: anything but "Manual" puts the four manual settings back to their defaults.
OSStatus ManualControlInterruptHandler(EventHandlerCallRef nextHandler, EventRef event,
                                       void* userData) {
    auto* context = static_cast<ColorContext*>(userData);
    // Until Initialize has made the color-correction control there is nothing to keep in step.
    if (context != nullptr && context->colorCorrectionCtl != nullptr &&
        context->KeyRef != nullptr && IsControlActive(context->colorCorrectionCtl)) {
        const SInt32 value = GetControl32BitValue(context->colorCorrectionCtl);
        const KeywordInfoList& options = context->KeyRef->PPDkeyInfoArrayRef;
        if (value >= 1 && static_cast<std::size_t>(value) <= options.size()) {
            if (options[static_cast<std::size_t>(value) - 1][kInfoOptionKeyword] == kManualOption) {
                MyDebugMessage("Manual", value);
            } else {
                MyDebugMessage("Not Manual", value);
                const KeySetList& list = *context->PPDKeySetInfoRef;
                for (std::size_t i = 0; i < list.count(); ++i)
                    if (isManualColorKey(list.at(i)->keyStringRef)) SetControlToDefault(list.at(i));
            }
        }
    }
    if (event != nullptr) return CallNextEventHandler(nextHandler, event);
    return noErr;
}

struct ColorPanel : qor::pde::OptionPanel<ColorPanel> {
    static constexpr const qor::pde::PanelConstants& kConstants = qor::pde::kColorPanel;
    static constexpr qor::pde::OptionPanelParameters kParameters{7010, kPDEDeclineErr};
    using Context = ColorContext;

    static OSStatus InitContext(Context& context) {
        context.shortControlRect = Rect{0, 0, 10, 10};
        context.myControlHandler = nullptr;
        context.colorCorrectionCtl = nullptr;
        context.KeyRef = nullptr;
        return OptionPanel::InitContext(context);
    }

    static OptionPanelAdditions Additions(Context& context) {
        OptionPanelAdditions additions;
        additions.beforeControl = [&context] {
            context.shortControlRect = context.currentContrlRect;
        };
        additions.afterControl = [&context](KeySetInfo& info) {
            if (info.keyStringRef != kColorCorrectionKey) return;
            context.colorCorrectionCtl = info.keyControlRef;
            context.KeyRef = &info;
            EventHandlerRef handler = nullptr;
            if (InstallControlEventHandler(context.colorCorrectionCtl,
                                           NewEventHandlerUPP(ManualControlInterruptHandler), 1,
                                           &kControlHitEvent, &context, &handler) == noErr)
                context.myControlHandler = handler;
        };
        additions.beforeStore = [&context] {
            ManualControlInterruptHandler(nullptr, nullptr, &context);
        };
        return additions;
    }

    // The popup outlives the panel in the host's pane; its handler must not call into a freed
    // context.
    static void TerminateAdditions(Context& context) {
        if (context.myControlHandler != nullptr) RemoveEventHandler(context.myControlHandler);
        context.myControlHandler = nullptr;
        context.colorCorrectionCtl = nullptr;
        context.KeyRef = nullptr;
    }
};

}  // namespace

QOR_PDE_EXPORT_FACTORY(ColorPluginFactory, ColorPanel)
