// Handle and status types shared by the print sessions, tickets and the PPD library.
#pragma once

#include <cstdint>

using OSStatus = std::int32_t;

struct OpaquePMTicket;
using PMTicketRef = OpaquePMTicket*;

struct OpaquePMPrintSession;
using PMPrintSession = OpaquePMPrintSession*;

struct OpaquePMPrinter;
using PMPrinter = OpaquePMPrinter*;
