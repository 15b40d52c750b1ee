// Controls made from the PPD: one checkbox or labelled popup per keyword, stacked in a column.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Bundle.h"
#include "KeySets.h"
#include "Toolbox.h"

// Menu id of a popup that loads no menu of its own; its menu is attached afterwards.
inline constexpr MenuID kPDEPopupNoMenuID = kPopupNoMenuID;

// The text a user reads for a PPD keyword: the bundle's translation, or the keyword itself.
std::string PDELocalizedText(const qor::core::Bundle* bundle, std::string_view keyword);

// The first layout rectangle of a pane: the controls' column starts right of its middle,
// leaving the left half to the popups' labels.
void PositionControl(ControlRef pane, Rect* layout);

// Makes the control of one key set in the pane's window, records it in the key set and moves
// the layout rectangle down past it. A keyword with a single fixed option gets no control.
// The result is that of making the popup's menu; the rectangle advances either way.
OSStatus CreateControlFromContext(PPDContextViel context, Rect* layout,
                                  const qor::core::Bundle* bundle, std::int16_t* lastControlType,
                                  ControlRef pane, KeySetInfo* info, SInt32 controlID);

OSStatus EmbedAndShowControl(ControlRef control, ControlRef container);

// Puts the key set's control back to the PPD's default.
void SetControlToDefault(const KeySetInfo* info);
