// Tests of reaching the session's tickets through its data.
#include <gtest/gtest.h>

#include <cstdint>

#include "TicketHelpers.h"

namespace {

struct Tickets : ::testing::Test {
    PMPrintSession session = nullptr;
    void SetUp() override { ASSERT_EQ(PMCreateSession(&session), kPMNoError); }
    void TearDown() override { PMRelease(session); }
};

TEST_F(Tickets, FoundTicketsAreTheSessionsOwn) {
    ASSERT_EQ(PMSessionSetCurrentPrinter(session, "office", "/x.ppd", ""), kPMNoError);
    PMTicketRef settings = nullptr;
    PMTicketRef info = nullptr;
    ASSERT_EQ(GetTicketRef(session, kPDE_PMPrintSettingsRef, &settings), 0);
    ASSERT_EQ(GetTicketFromSession(session, kPDE_PMPrinterInfoRef, &info), 0);
    std::string ppd;
    EXPECT_EQ(PMTicketGetCFString(info, kPMTopLevel, kPMTopLevel, kPMCompiledPPDKey, &ppd),
              kPMNoError);
    EXPECT_EQ(ppd, "/x.ppd");
    qor::core::Dictionary* dict = nullptr;
    EXPECT_EQ(PMTicketGetPPDDict(settings, kPMTopLevel, kPMTopLevel, &dict), kPMNoError);
}

// A reference above 4 GiB must come back whole; cut to 32 bits it would name another address.
TEST_F(Tickets, TicketReferencesKeepTheirFullPointerWidth) {
    const std::intptr_t wide = static_cast<std::intptr_t>(0x7F5A12345678);
    ASSERT_EQ(PMSessionSetDataInSession(session, "wide",
                                        qor::core::Value(static_cast<std::int64_t>(wide))),
              kPMNoError);
    for (auto get : {&GetTicketRef, &GetTicketFromSession}) {
        PMTicketRef ticket = nullptr;
        EXPECT_EQ(get(session, "wide", &ticket), 0);
        EXPECT_EQ(reinterpret_cast<std::intptr_t>(ticket), wide);
    }
}

TEST_F(Tickets, MissingTicketsFailAndLeaveTheOutArgumentAlone) {
    ASSERT_EQ(PMSessionSetDataInSession(session, "text", qor::core::Value("not a ticket")),
              kPMNoError);
    auto sentinel = reinterpret_cast<PMTicketRef>(0x1234);
    for (const char* key : {"PMPrinterInfoTicket", "text"}) {
        SCOPED_TRACE(key);
        PMTicketRef ticket = sentinel;
        EXPECT_EQ(GetTicketRef(session, key, &ticket), kPDENoTicketRef);
        EXPECT_EQ(GetTicketFromSession(session, key, &ticket), kPDENoSessionTicket);
        EXPECT_EQ(ticket, sentinel);
    }
    EXPECT_EQ(GetTicketFromSession(session, kPDE_PMPrintSettingsRef, nullptr), kPDENoSessionTicket);
    EXPECT_EQ(GetTicketRef(session, kPDE_PMPrintSettingsRef, nullptr), kPDENoTicketRef);
    PMTicketRef ticket = sentinel;
    EXPECT_EQ(GetTicketRef(nullptr, kPDE_PMPrintSettingsRef, &ticket), kPDENoTicketRef);
    EXPECT_EQ(ticket, sentinel);
}

}  // namespace
