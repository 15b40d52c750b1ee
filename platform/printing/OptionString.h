// The bridge from a print-settings ticket to the CUPS option string that the job filter reads.
#pragma once

#include <string>
#include <string_view>

#include "PrintTypes.h"

// The ticket item of the job's copy count, and the option name it reaches the filter under.
inline constexpr std::string_view kPMCopiesKey = "com.apple.print.PrintSettings.PMCopies";
inline constexpr std::string_view kPMCopiesOption = "com.apple.print.PrintSettings.PMCopies..n.";

// Quotes a value so that cupsParseOptions gives it back unchanged.
std::string PMQuoteCUPSOptionValue(std::string_view value);

// name=value pairs separated by blanks: each PPD-dictionary entry as main keyword=option
// keyword, each item stored by the given client under its own name, and the copy count when
// the ticket has one. An entry that the option syntax cannot carry (an empty name, a name
// with a blank or "=", a value that is not text) fails the whole string: the result is
// kPMInvalidParameter, options is left alone and error says which entry.
OSStatus PMTicketGetCUPSOptionString(PMTicketRef printSettings, std::string_view client,
                                     std::string* options, std::string* error = nullptr);
