// Tickets from the print session's data, where each is kept as an integer holding its reference.
#include "TicketHelpers.h"

#include <cstdint>

namespace {

// The reference held by the session's data, or null when the data is not a ticket number.
PMTicketRef ticketIn(const qor::core::Value* data) {
    const std::int64_t* number = data != nullptr ? data->asInteger() : nullptr;
    if (number == nullptr) return nullptr;
    return reinterpret_cast<PMTicketRef>(static_cast<std::intptr_t>(*number));
}

}  // namespace

OSStatus GetTicketRef(PMPrintSession session, std::string_view key, PMTicketRef* ticket) {
    const qor::core::Value* data = nullptr;
    OSStatus status = PMSessionGetDataFromSession(session, key, &data);
    PMTicketRef found = status == kPMNoError ? ticketIn(data) : nullptr;
    if (found == nullptr || ticket == nullptr) return kPDENoTicketRef;
    *ticket = found;
    return 0;
}

OSStatus GetTicketFromSession(PMPrintSession session, std::string_view key, PMTicketRef* ticket) {
    const qor::core::Value* data = nullptr;
    OSStatus status = PMSessionGetDataFromSession(session, key, &data);
    PMTicketRef found = status == kPMNoError ? ticketIn(data) : nullptr;
    if (found == nullptr || ticket == nullptr) return kPDENoSessionTicket;
    *ticket = found;
    return status;
}
