// Print sessions holding the printer-information and print-settings tickets, and the tickets'
// items kept in the print system's item layout.
#include "PrintSession.h"

#include <cups/cups.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <utility>

#include "PPDLib.h"
#include "PropertyList.h"

using qor::core::Array;
using qor::core::Dictionary;
using qor::core::Value;

struct OpaquePMTicket {
    Dictionary items;
    // Held apart from the items so that the address callers keep stays valid while items
    // are added.
    std::unique_ptr<Dictionary> ppdDict;
};

struct OpaquePMPrinter {
    std::string id;
};

struct OpaquePMPrintSession {
    Dictionary data;
    std::unique_ptr<OpaquePMTicket> printSettings;
    std::unique_ptr<OpaquePMTicket> printerInfo;
    std::unique_ptr<OpaquePMPrinter> printer;
    std::string fetchedPPD;  // a PPD copy from the print system, removed with the session

    ~OpaquePMPrintSession() {
        if (!fetchedPPD.empty()) unlink(fetchedPPD.c_str());
    }
};

namespace {

// Sessions hand their tickets out as integers in the session data, at full pointer width.
Value ticketNumber(PMTicketRef ticket) {
    return Value(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(ticket)));
}

bool isTopLevel(std::uint32_t nodeIndex1, std::uint32_t nodeIndex2) {
    return nodeIndex1 == kPMTopLevel && nodeIndex2 == kPMTopLevel;
}

// The item dictionary (value, client, date, lock) of a top-level key, or null.
Dictionary* itemRecord(PMTicketRef ticket, std::string_view key) {
    Value* node = ticket->items.find(key);
    Dictionary* entry = node != nullptr ? node->asDictionary() : nullptr;
    if (entry == nullptr) return nullptr;
    Value* list = entry->find(kPMTicketItemArrayKey);
    Array* items = list != nullptr ? list->asArray() : nullptr;
    if (items == nullptr || items->empty()) return nullptr;
    return (*items)[0].asDictionary();
}

double secondsSinceReferenceDate() {
    // Property-list dates count from 2001-01-01 00:00:00 UTC.
    constexpr double kReferenceDate = 978307200.0;
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count() - kReferenceDate;
}

}  // namespace

PMTicketRef PMTicketCreate(PMTicketType type) {
    auto ticket = std::make_unique<OpaquePMTicket>();
    if (type == PMTicketType::PrintSettings) ticket->ppdDict = std::make_unique<Dictionary>();
    return ticket.release();
}

void PMTicketRelease(PMTicketRef ticket) {
    std::unique_ptr<OpaquePMTicket> owned(ticket);
}

const Dictionary* PMTicketGetDictionary(PMTicketRef ticket) {
    return ticket != nullptr ? &ticket->items : nullptr;
}

OSStatus PMTicketGetItem(PMTicketRef ticket, std::uint32_t nodeIndex1, std::uint32_t nodeIndex2,
                         std::string_view key, const Value** item) {
    if (ticket == nullptr) return kPMInvalidTicket;
    if (!isTopLevel(nodeIndex1, nodeIndex2)) return kPMInvalidParameter;
    const Dictionary* record = itemRecord(ticket, key);
    const Value* value = record != nullptr ? record->find(key) : nullptr;
    if (value == nullptr) return kPMKeyNotFound;
    if (item != nullptr) *item = value;
    return kPMNoError;
}

OSStatus PMTicketSetItem(PMTicketRef ticket, std::string_view clientID, std::string_view key,
                         Value item, bool locked) {
    if (ticket == nullptr) return kPMInvalidTicket;
    if (key.empty() || item.isNone()) return kPMInvalidParameter;
    if (const Dictionary* old = itemRecord(ticket, key)) {
        const std::int64_t* state = old->findInteger(kPMTicketStateFlagKey);
        if (state != nullptr && *state != 0) return kPMItemIsLocked;
    }
    Dictionary record;
    record.set(std::string(key), std::move(item));
    record.set(std::string(kPMTicketClientKey), Value(clientID));
    record.set(std::string(kPMTicketModDateKey),
               Value(qor::core::Date{secondsSinceReferenceDate()}));
    record.set(std::string(kPMTicketStateFlagKey), Value(locked ? 1 : 0));
    Dictionary entry;
    entry.set(std::string(kPMTicketCreatorKey), Value(clientID));
    entry.set(std::string(kPMTicketItemArrayKey), Value(Array{Value(std::move(record))}));
    ticket->items.set(std::string(key), Value(std::move(entry)));
    return kPMNoError;
}

std::string PMTicketGetItemClient(PMTicketRef ticket, std::string_view key) {
    const Dictionary* record = ticket != nullptr ? itemRecord(ticket, key) : nullptr;
    const std::string* client =
        record != nullptr ? record->findString(kPMTicketClientKey) : nullptr;
    return client != nullptr ? *client : std::string();
}

OSStatus PMTicketGetCFString(PMTicketRef ticket, std::uint32_t nodeIndex1, std::uint32_t nodeIndex2,
                             std::string_view key, std::string* item) {
    const Value* value = nullptr;
    OSStatus status = PMTicketGetItem(ticket, nodeIndex1, nodeIndex2, key, &value);
    if (status != kPMNoError) return status;
    const std::string* text = value->asString();
    if (text == nullptr) return kPMInvalidParameter;
    if (item != nullptr) *item = *text;
    return kPMNoError;
}

OSStatus PMTicketSetCFString(PMTicketRef ticket, std::string_view clientID, std::string_view key,
                             std::string_view item, bool locked) {
    return PMTicketSetItem(ticket, clientID, key, Value(item), locked);
}

OSStatus PMTicketGetPPDDict(PMTicketRef ticket, std::uint32_t nodeIndex1, std::uint32_t nodeIndex2,
                            Dictionary** dict) {
    if (ticket == nullptr) return kPMInvalidTicket;
    if (!isTopLevel(nodeIndex1, nodeIndex2) || dict == nullptr) return kPMInvalidParameter;
    if (ticket->ppdDict == nullptr) return kPMKeyNotFound;
    *dict = ticket->ppdDict.get();
    return kPMNoError;
}

OSStatus PMCreateSession(PMPrintSession* session) {
    if (session == nullptr) return kPMInvalidParameter;
    auto made = std::make_unique<OpaquePMPrintSession>();
    made->printSettings.reset(PMTicketCreate(PMTicketType::PrintSettings));
    made->data.set(std::string(kPDE_PMPrintSettingsRef), ticketNumber(made->printSettings.get()));
    *session = made.release();
    return kPMNoError;
}

OSStatus PMRelease(PMPrintSession session) {
    if (session == nullptr) return kPMInvalidParameter;
    std::unique_ptr<OpaquePMPrintSession> owned(session);
    return kPMNoError;
}

OSStatus PMSessionSetCurrentPrinter(PMPrintSession session, std::string_view printerID,
                                    std::string_view ppdPath, std::string_view printerURI) {
    if (session == nullptr || printerID.empty()) return kPMInvalidParameter;
    std::unique_ptr<OpaquePMTicket> info(PMTicketCreate(PMTicketType::PrinterInfo));
    if (!ppdPath.empty())
        PMTicketSetCFString(info.get(), kPMPrintingManagerClientID, kPMCompiledPPDKey, ppdPath,
                            true);
    if (!printerURI.empty()) {
        Dictionary address;
        address.set(std::string(kPMPrinterURIKey), Value(printerURI));
        auto xml = qor::core::writePropertyList(Value(std::move(address)),
                                                qor::core::PropertyListFormat::Xml);
        if (!xml) return kPMInvalidParameter;
        PMTicketSetItem(info.get(), kPMPrintingManagerClientID, kPMPrinterAddressKey,
                        Value(std::move(*xml)), true);
    }
    session->printerInfo = std::move(info);
    session->printer = std::make_unique<OpaquePMPrinter>(OpaquePMPrinter{std::string(printerID)});
    session->data.set(std::string(kPDE_PMPrinterInfoRef), ticketNumber(session->printerInfo.get()));
    return kPMNoError;
}

OSStatus PMSessionSetCurrentQueue(PMPrintSession session, const char* queueName) {
    if (session == nullptr || queueName == nullptr || *queueName == '\0')
        return kPMInvalidParameter;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queueName, nullptr);
    if (dest == nullptr) return kPMPrinterNotFound;
    const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
    std::string deviceURI = uri != nullptr ? uri : "";
    cupsFreeDests(1, dest);
    std::string ppd;
    // A queue without a PPD (a driverless one) is still a printer; it only has no options.
    bool fetched = ppdCopyQueuePPD(queueName, &ppd) == kPPDNoErr;
    OSStatus status = PMSessionSetCurrentPrinter(session, queueName, ppd, deviceURI);
    if (status != kPMNoError) {
        if (fetched) unlink(ppd.c_str());
        return status;
    }
    if (!session->fetchedPPD.empty()) unlink(session->fetchedPPD.c_str());
    session->fetchedPPD = fetched ? ppd : std::string();
    return kPMNoError;
}

OSStatus PMSessionGetCurrentPrinter(PMPrintSession session, PMPrinter* printer) {
    if (session == nullptr || printer == nullptr) return kPMInvalidParameter;
    if (session->printer == nullptr) return kPMNoCurrentPrinter;
    *printer = session->printer.get();
    return kPMNoError;
}

std::string_view PMPrinterGetID(PMPrinter printer) {
    return printer != nullptr ? std::string_view(printer->id) : std::string_view();
}

OSStatus PMSessionGetDataFromSession(PMPrintSession session, std::string_view key,
                                     const Value** data) {
    if (session == nullptr || data == nullptr) return kPMInvalidParameter;
    const Value* found = session->data.find(key);
    if (found == nullptr) return kPMKeyNotFound;
    *data = found;
    return kPMNoError;
}

OSStatus PMSessionSetDataInSession(PMPrintSession session, std::string_view key, Value data) {
    if (session == nullptr || key.empty() || data.isNone()) return kPMInvalidParameter;
    session->data.set(std::string(key), std::move(data));
    return kPMNoError;
}
