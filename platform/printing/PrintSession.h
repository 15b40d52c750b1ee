// Print sessions and their tickets: the printer-information ticket and the print-settings
// ticket with its PPD dictionary and items by client identifier.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "PrintTypes.h"
#include "Value.h"

// Status results of the session and ticket calls.
inline constexpr OSStatus kPMNoError = 0;
inline constexpr OSStatus kPMInvalidParameter = -50;
inline constexpr OSStatus kPMKeyNotFound = -9589;
inline constexpr OSStatus kPMItemIsLocked = -9588;
inline constexpr OSStatus kPMInvalidTicket = -9587;
inline constexpr OSStatus kPMNoCurrentPrinter = -9586;
inline constexpr OSStatus kPMPrinterNotFound = -9585;

// Only a ticket's top level is held; these are the node indices that name it.
inline constexpr std::uint32_t kPMTopLevel = 0xFFFF;

// Session data keys of the two tickets. Their data is an integer holding the ticket reference.
inline constexpr std::string_view kPDE_PMPrinterInfoRef = "PMPrinterInfoTicket";
inline constexpr std::string_view kPDE_PMPrintSettingsRef = "PMPrintSettingsTicket";

// Keys of the printer-information ticket.
inline constexpr std::string_view kPMCompiledPPDKey = "com.apple.print.PrinterInfo.PMCompiledPPD";
inline constexpr std::string_view kPMPrinterAddressKey =
    "com.apple.print.PrinterInfo.PMPrinterAddress";
// Key of the printer address's "Printer URI" in the parsed address property list.
inline constexpr std::string_view kPMPrinterURIKey = "Printer URI";

// How a ticket keeps an item: the key names a dictionary with the creator and an item array
// whose first element holds the value under the same key, with its client and lock state.
inline constexpr std::string_view kPMTicketCreatorKey = "com.apple.print.ticket.creator";
inline constexpr std::string_view kPMTicketItemArrayKey = "com.apple.print.ticket.itemArray";
inline constexpr std::string_view kPMTicketClientKey = "com.apple.print.ticket.client";
inline constexpr std::string_view kPMTicketModDateKey = "com.apple.print.ticket.modDate";
inline constexpr std::string_view kPMTicketStateFlagKey = "com.apple.print.ticket.stateFlag";

// The print system's own client identifier.
inline constexpr std::string_view kPMPrintingManagerClientID = "com.apple.printingmanager";

enum class PMTicketType { PrinterInfo, PrintSettings };

// A session starts with an empty print-settings ticket and no printer.
OSStatus PMCreateSession(PMPrintSession* session);
// Frees the session, its tickets and any PPD copy it fetched from the print system.
OSStatus PMRelease(PMPrintSession session);

// Makes the printer current: its printer-information ticket names the PPD file and the
// printer's device URI (empty when unknown).
OSStatus PMSessionSetCurrentPrinter(PMPrintSession session, std::string_view printerID,
                                    std::string_view ppdPath, std::string_view printerURI);
// Makes a print-system queue current, with its PPD and device URI from the scheduler.
OSStatus PMSessionSetCurrentQueue(PMPrintSession session, const char* queueName);
OSStatus PMSessionGetCurrentPrinter(PMPrintSession session, PMPrinter* printer);
// The printer's identifier (its queue name); empty for no printer.
std::string_view PMPrinterGetID(PMPrinter printer);

// The session's data under key; the value stays the session's.
OSStatus PMSessionGetDataFromSession(PMPrintSession session, std::string_view key,
                                     const qor::core::Value** data);
OSStatus PMSessionSetDataInSession(PMPrintSession session, std::string_view key,
                                   qor::core::Value data);

// Tickets on their own; a session makes and frees its own.
PMTicketRef PMTicketCreate(PMTicketType type);
void PMTicketRelease(PMTicketRef ticket);
// The ticket's items as a dictionary, in the item layout above; the PPD dictionary is apart.
const qor::core::Dictionary* PMTicketGetDictionary(PMTicketRef ticket);

// The value of a top-level item; item may be null to test for presence. The value stays
// valid until the ticket's items next change.
OSStatus PMTicketGetItem(PMTicketRef ticket, std::uint32_t nodeIndex1, std::uint32_t nodeIndex2,
                         std::string_view key, const qor::core::Value** item);
// Stores an item under the client; a locked item refuses later changes.
OSStatus PMTicketSetItem(PMTicketRef ticket, std::string_view clientID, std::string_view key,
                         qor::core::Value item, bool locked);
OSStatus PMTicketGetCFString(PMTicketRef ticket, std::uint32_t nodeIndex1, std::uint32_t nodeIndex2,
                             std::string_view key, std::string* item);
OSStatus PMTicketSetCFString(PMTicketRef ticket, std::string_view clientID, std::string_view key,
                             std::string_view item, bool locked);
// The print-settings ticket's PPD dictionary (main keyword to option keyword), changed in place
// by its callers and valid as long as the ticket.
OSStatus PMTicketGetPPDDict(PMTicketRef ticket, std::uint32_t nodeIndex1, std::uint32_t nodeIndex2,
                            qor::core::Dictionary** dict);

// The client identifier a top-level item was stored under; empty for an absent item.
std::string PMTicketGetItemClient(PMTicketRef ticket, std::string_view key);
