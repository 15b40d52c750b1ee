// Tests of print sessions and the items, PPD dictionary and printer address of their tickets.
#include <gtest/gtest.h>

#include "PrintSession.h"
#include "PropertyList.h"

namespace {

using qor::core::Dictionary;
using qor::core::Value;

PMTicketRef sessionTicket(PMPrintSession session, std::string_view key) {
    const Value* data = nullptr;
    if (PMSessionGetDataFromSession(session, key, &data) != kPMNoError) return nullptr;
    return reinterpret_cast<PMTicketRef>(static_cast<std::intptr_t>(*data->asInteger()));
}

struct Session : ::testing::Test {
    PMPrintSession session = nullptr;
    void SetUp() override { ASSERT_EQ(PMCreateSession(&session), kPMNoError); }
    void TearDown() override { PMRelease(session); }
};

TEST_F(Session, StartsWithPrintSettingsAndNoPrinter) {
    EXPECT_NE(sessionTicket(session, kPDE_PMPrintSettingsRef), nullptr);
    EXPECT_EQ(sessionTicket(session, kPDE_PMPrinterInfoRef), nullptr);
    PMPrinter printer = nullptr;
    EXPECT_EQ(PMSessionGetCurrentPrinter(session, &printer), kPMNoCurrentPrinter);
    EXPECT_EQ(PMPrinterGetID(printer), "");

    ASSERT_EQ(PMSessionSetCurrentPrinter(session, "office", "/x.ppd", "socket://10.0.0.9"),
              kPMNoError);
    ASSERT_EQ(PMSessionGetCurrentPrinter(session, &printer), kPMNoError);
    EXPECT_EQ(PMPrinterGetID(printer), "office");
    EXPECT_EQ(PMSessionSetCurrentPrinter(session, "", "/x.ppd", ""), kPMInvalidParameter);
}

TEST_F(Session, UnknownQueueIsRefusedWithoutChangingThePrinter) {
    EXPECT_NE(PMSessionSetCurrentQueue(session, "no-such-queue-here"), kPMNoError);
    EXPECT_EQ(PMSessionSetCurrentQueue(session, ""), kPMInvalidParameter);
    EXPECT_EQ(sessionTicket(session, kPDE_PMPrinterInfoRef), nullptr);
}

TEST_F(Session, DataIsKeptByKey) {
    const Value* data = nullptr;
    EXPECT_EQ(PMSessionGetDataFromSession(session, "mine", &data), kPMKeyNotFound);
    ASSERT_EQ(PMSessionSetDataInSession(session, "mine", Value("x")), kPMNoError);
    ASSERT_EQ(PMSessionGetDataFromSession(session, "mine", &data), kPMNoError);
    EXPECT_EQ(*data->asString(), "x");
    EXPECT_EQ(PMSessionSetDataInSession(session, "mine", Value()), kPMInvalidParameter);
}

TEST_F(Session, TicketItemsByClientAndLock) {
    PMTicketRef ticket = sessionTicket(session, kPDE_PMPrintSettingsRef);
    std::string text;
    EXPECT_EQ(PMTicketGetCFString(ticket, kPMTopLevel, kPMTopLevel, "JRUSERNAME", &text),
              kPMKeyNotFound);
    ASSERT_EQ(PMTicketSetCFString(ticket, "JobRouting", "JRUSERNAME", "ann", false), kPMNoError);
    ASSERT_EQ(PMTicketSetCFString(ticket, "JobRouting", "JRUSERNAME", "bob", false), kPMNoError);
    ASSERT_EQ(PMTicketGetCFString(ticket, kPMTopLevel, kPMTopLevel, "JRUSERNAME", &text),
              kPMNoError);
    EXPECT_EQ(text, "bob");
    EXPECT_EQ(PMTicketGetItemClient(ticket, "JRUSERNAME"), "JobRouting");
    EXPECT_EQ(PMTicketGetItem(ticket, kPMTopLevel, kPMTopLevel, "JRUSERNAME", nullptr), kPMNoError);
    EXPECT_EQ(PMTicketGetCFString(ticket, 0, kPMTopLevel, "JRUSERNAME", &text),
              kPMInvalidParameter);

    ASSERT_EQ(PMTicketSetItem(ticket, "other", "count", Value(3), true), kPMNoError);
    EXPECT_EQ(PMTicketGetCFString(ticket, kPMTopLevel, kPMTopLevel, "count", &text),
              kPMInvalidParameter);
    EXPECT_EQ(PMTicketSetItem(ticket, "other", "count", Value(4), false), kPMItemIsLocked);
    const Value* item = nullptr;
    ASSERT_EQ(PMTicketGetItem(ticket, kPMTopLevel, kPMTopLevel, "count", &item), kPMNoError);
    EXPECT_EQ(*item->asInteger(), 3);
    EXPECT_EQ(PMTicketGetCFString(nullptr, kPMTopLevel, kPMTopLevel, "x", &text), kPMInvalidTicket);
}

TEST_F(Session, PPDDictionaryBelongsToPrintSettingsOnly) {
    PMTicketRef settings = sessionTicket(session, kPDE_PMPrintSettingsRef);
    Dictionary* ppd = nullptr;
    ASSERT_EQ(PMTicketGetPPDDict(settings, kPMTopLevel, kPMTopLevel, &ppd), kPMNoError);
    ppd->set("MediaColor", Value("Manual"));
    Dictionary* again = nullptr;
    ASSERT_EQ(PMTicketGetPPDDict(settings, kPMTopLevel, kPMTopLevel, &again), kPMNoError);
    EXPECT_EQ(*again->findString("MediaColor"), "Manual");
    // The dictionary stays where it is while items come and go.
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(
            PMTicketSetCFString(settings, "JobRouting", "item" + std::to_string(i), "x", false),
            kPMNoError);
    EXPECT_EQ(*ppd->findString("MediaColor"), "Manual");

    ASSERT_EQ(PMSessionSetCurrentPrinter(session, "office", "/x.ppd", ""), kPMNoError);
    EXPECT_EQ(PMTicketGetPPDDict(sessionTicket(session, kPDE_PMPrinterInfoRef), kPMTopLevel,
                                 kPMTopLevel, &ppd),
              kPMKeyNotFound);
}

TEST_F(Session, PrinterInformationCarriesPPDAndAddressInItemLayout) {
    ASSERT_EQ(PMSessionSetCurrentPrinter(session, "office", "/etc/cups/ppd/office.ppd",
                                         "lpd://10.0.0.9/queue"),
              kPMNoError);
    PMTicketRef info = sessionTicket(session, kPDE_PMPrinterInfoRef);
    std::string ppd;
    ASSERT_EQ(PMTicketGetCFString(info, kPMTopLevel, kPMTopLevel, kPMCompiledPPDKey, &ppd),
              kPMNoError);
    EXPECT_EQ(ppd, "/etc/cups/ppd/office.ppd");

    // The address as a reader walks it: item dictionary, item array, first record, XML data.
    const Dictionary* ticket = PMTicketGetDictionary(info);
    const Dictionary* entry = ticket->findDictionary(kPMPrinterAddressKey);
    ASSERT_NE(entry, nullptr);
    const qor::core::Array* items = entry->findArray(kPMTicketItemArrayKey);
    ASSERT_NE(items, nullptr);
    ASSERT_FALSE(items->empty());
    const qor::core::Data* xml = (*items)[0].asDictionary()->findData(kPMPrinterAddressKey);
    ASSERT_NE(xml, nullptr);
    auto address = qor::core::readPropertyList(*xml);
    ASSERT_TRUE(address);
    EXPECT_EQ(*address->asDictionary()->findString(kPMPrinterURIKey), "lpd://10.0.0.9/queue");
}

}  // namespace
