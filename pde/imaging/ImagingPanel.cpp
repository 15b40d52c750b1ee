// The Imaging panel: the option panel engine with the Imaging constants and nothing added.
#include "OptionPanel.h"

namespace {

struct ImagingContext : qor::pde::OptionPanelContext {};

struct ImagingPanel : qor::pde::OptionPanel<ImagingPanel> {
    static constexpr const qor::pde::PanelConstants& kConstants = qor::pde::kImagingPanel;
    static constexpr qor::pde::OptionPanelParameters kParameters{5010, kPDENoContextErr};
    using Context = ImagingContext;
};

}  // namespace

QOR_PDE_EXPORT_FACTORY(ImagingPluginFactory, ImagingPanel)
