// The Finishing panel: the option panel engine, shown only for a printer whose output finisher
// is installed.
#include <string_view>

#include "OptionPanel.h"

namespace {

constexpr std::string_view kOutputFinisherKey = "OutputFinisher";
constexpr std::string_view kInstalledKey = "InstalledM";

struct FinishingContext : qor::pde::OptionPanelContext {};

// Declines a PPD without a finisher, and one whose finisher the printer's configuration does not
// have installed. A finisher keyword without the installed option is taken as present.
OSStatus InstalledFinisherGate(PPDContextViel ppd) {
    Str255 keyword;
    PStringFromString(kOutputFinisherKey, keyword);
    const std::int16_t mainIndex = ppdGetMainIndex(ppd, keyword);
    if (mainIndex == 0) return kPDENoContextErr;
    if (ppdGetUIKeyType(ppd, mainIndex) != kPPDUIKey) return kPDENoErr;
    Str255 installed;
    PStringFromString(kInstalledKey, installed);
    const std::int16_t optionIndex = ppdGetOptionIndex(ppd, installed);
    if (optionIndex == 0) return kPDENoErr;
    xUIOption option;
    option.version = kPPDUIRecordVersion;
    if (!ppdGetUIOption(ppd, mainIndex, optionIndex, &option) || !option.chosen)
        return kPDEDeclineErr;
    return kPDENoErr;
}

struct FinishingPanel : qor::pde::OptionPanel<FinishingPanel> {
    static constexpr const qor::pde::PanelConstants& kConstants = qor::pde::kFinishingPanel;
    static constexpr qor::pde::OptionPanelParameters kParameters{6010, kPDEDeclineErr};
    using Context = FinishingContext;

    static qor::pde::OptionPanelAdditions Additions(Context&) {
        qor::pde::OptionPanelAdditions additions;
        additions.installedGate = &InstalledFinisherGate;
        return additions;
    }
};

}  // namespace

QOR_PDE_EXPORT_FACTORY(FinishingPluginFactory, FinishingPanel)
