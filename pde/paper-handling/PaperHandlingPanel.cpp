// The Paper Handling panel: the option panel engine with the Paper Handling constants and
// nothing added.
#include "OptionPanel.h"

namespace {

struct PaperHandlingContext : qor::pde::OptionPanelContext {};

struct PaperHandlingPanel : qor::pde::OptionPanel<PaperHandlingPanel> {
    static constexpr const qor::pde::PanelConstants& kConstants = qor::pde::kPaperHandlingPanel;
    static constexpr qor::pde::OptionPanelParameters kParameters{8010, kPDENoContextErr};
    using Context = PaperHandlingContext;
};

}  // namespace

QOR_PDE_EXPORT_FACTORY(PaperHandlingPluginFactory, PaperHandlingPanel)
