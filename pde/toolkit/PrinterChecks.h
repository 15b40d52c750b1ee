// Whether a printer is the maker's, which features its PPD announces, whether it prints over
// LPD, and the toolkit's diagnostic output.
#pragma once

#include <cstdint>
#include <string_view>

#include "PPDLib.h"
#include "PrintTypes.h"
#include "Value.h"

inline constexpr std::string_view kQuorvanPDEIDKey = "QuorvanPDEID";
inline constexpr std::string_view kQuorvanFeaturesKey = "QuorvanFeatures";
inline constexpr std::string_view kQuorvanPDEIDValue = "Quorvan";
inline constexpr std::string_view kPDEDebugVariable = "PDEDebug";

// True when the PPD's QuorvanPDEID reads the maker's name in any letter case.
bool IsQuorvanPrinter(PPDContextViel context);
// True when feature is one of the "_"-separated tokens of the PPD's QuorvanFeatures,
// compared exactly.
bool QorFeatureSupported(PPDContextViel context, std::string_view feature);
// False only when the printer-information ticket names the printer's URI and it is not an LPD
// URI; a printer whose address cannot be read counts as LPD.
bool IsLPRPrinter(PMTicketRef printerInfo);

// "message (value)": on standard output when PDEDebug is set, else through the diagnostic
// print on standard error, cut to 255 characters.
void MyDebugMessage(const char* message, std::int32_t value);
// Each key and then its value through the diagnostic print, in the dictionary's order.
void divulgeDictionaryContent(const qor::core::Dictionary* dictionary);
