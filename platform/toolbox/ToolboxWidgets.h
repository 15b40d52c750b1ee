// Bridge from toolbox handles to their Qt widgets, for the host that shows windows and tests.
#pragma once

#include "Toolbox.h"

class QWidget;

// The widget that draws the control, or null for an unknown handle. It stays owned by the layer.
QWidget* GetControlWidget(ControlRef control);
// The top-level widget of the window, or null for an unknown handle.
QWidget* GetWindowWidget(WindowRef window);
