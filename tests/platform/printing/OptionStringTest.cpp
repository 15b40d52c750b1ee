// Tests of the print-settings ticket as the CUPS option string the filter parses.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <map>

#include "JobRoutingOptions.h"
#include "OptionString.h"
#include "PrintSession.h"

namespace {

using qor::core::Dictionary;
using qor::core::Value;

std::map<std::string, std::string> parse(const std::string& text) {
    cups_option_t* options = nullptr;
    int count = cupsParseOptions(text.c_str(), 0, &options);
    std::map<std::string, std::string> out;
    for (int i = 0; i < count; ++i) out[options[i].name] = options[i].value;
    cupsFreeOptions(count, options);
    return out;
}

struct Settings : ::testing::Test {
    PMTicketRef ticket = PMTicketCreate(PMTicketType::PrintSettings);
    Dictionary* ppd = nullptr;
    void SetUp() override {
        ASSERT_EQ(PMTicketGetPPDDict(ticket, kPMTopLevel, kPMTopLevel, &ppd), kPMNoError);
    }
    void TearDown() override { PMTicketRelease(ticket); }
};

TEST_F(Settings, ValuesComeBackUnchangedFromCupsParseOptions) {
    const std::map<std::string, std::string> items = {
        {"JRUSERNAME", "Ann Lee"},
        {"JRJOBNAME", "it's \"quoted\""},
        {"JRCSADDR1", "C:\\dir\\ end\\"},
        {"JRCSADDR2", "{not a collection}"},
        {"JRCSEMAIL", "tab\there\nnewline"},
        {"JRCSCOMPANY", "caf\xc3\xa9 = a,b"},
        {"JRSTATIONID", ""},
        {"JRHOLDKEY", qor::jr::encodeSpecialCharacters("O'Brien, J <x=y>")},
    };
    for (const auto& [name, value] : items)
        ASSERT_EQ(PMTicketSetCFString(ticket, qor::jr::kClientID, name, value, false), kPMNoError);
    ppd->set("PrintTo", Value("JRFax"));
    ppd->set("MediaColor", Value("Manual Mode"));

    std::string text;
    ASSERT_EQ(PMTicketGetCUPSOptionString(ticket, qor::jr::kClientID, &text), kPMNoError);
    auto parsed = parse(text);
    auto expected = items;
    expected["PrintTo"] = "JRFax";
    expected["MediaColor"] = "Manual Mode";
    EXPECT_EQ(parsed, expected) << text;
}

TEST_F(Settings, OnlyJobRoutingItemsAndTheCopyCountArePassed) {
    ASSERT_EQ(PMTicketSetCFString(ticket, "SomeoneElse", "Private", "x", false), kPMNoError);
    ASSERT_EQ(PMTicketSetItem(ticket, kPMPrintingManagerClientID, kPMCopiesKey, Value(3), false),
              kPMNoError);
    ASSERT_EQ(PMTicketSetCFString(ticket, qor::jr::kClientID, "JRCOVERSHEET", "TRUE", false),
              kPMNoError);
    std::string text;
    ASSERT_EQ(PMTicketGetCUPSOptionString(ticket, qor::jr::kClientID, &text), kPMNoError);
    EXPECT_EQ(parse(text),
              (std::map<std::string, std::string>{
                  {"JRCOVERSHEET", "TRUE"}, {"com.apple.print.PrintSettings.PMCopies..n.", "3"}}))
        << text;
}

TEST_F(Settings, EntriesTheSyntaxCannotCarryFailTheWholeString) {
    struct Case {
        const char* name;
        Value value;
        bool inPPD;
    };
    for (const Case& c : {Case{"Bad Name", Value("x"), true}, Case{"a=b", Value("x"), false},
                          Case{"Count", Value(2), false}, Case{"Media", Value(2), true}}) {
        SCOPED_TRACE(c.name);
        PMTicketRef bad = PMTicketCreate(PMTicketType::PrintSettings);
        Dictionary* dict = nullptr;
        ASSERT_EQ(PMTicketGetPPDDict(bad, kPMTopLevel, kPMTopLevel, &dict), kPMNoError);
        dict->set("PrintTo", Value("JRFax"));
        if (c.inPPD)
            dict->set(c.name, c.value);
        else
            ASSERT_EQ(PMTicketSetItem(bad, qor::jr::kClientID, c.name, c.value, false), kPMNoError);
        std::string text = "untouched";
        std::string error;
        EXPECT_EQ(PMTicketGetCUPSOptionString(bad, qor::jr::kClientID, &text, &error),
                  kPMInvalidParameter);
        EXPECT_EQ(text, "untouched");
        EXPECT_NE(error.find(c.name), std::string::npos) << error;
        PMTicketRelease(bad);
    }
}

}  // namespace
