// How the panels reach the print session's tickets.
#pragma once

#include <string_view>

#include "PDEInterface.h"
#include "PrintSession.h"

// The print-settings ticket cannot be had (GetTicketRef).
inline constexpr OSStatus kPDENoTicketRef = kPDETicketUnavailableErr;
// The session holds no ticket under the key, or there is nowhere to put it
// (GetTicketFromSession).
inline constexpr OSStatus kPDENoSessionTicket = kPDETicketErr;

// The ticket the session keeps under key; on failure out is left alone.
OSStatus GetTicketRef(PMPrintSession session, std::string_view key, PMTicketRef* ticket);
// As GetTicketRef, but passes on the session's own failure when it has one.
OSStatus GetTicketFromSession(PMPrintSession session, std::string_view key, PMTicketRef* ticket);
