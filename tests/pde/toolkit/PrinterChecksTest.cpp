// Tests of the maker and feature checks, the LPD check and the diagnostic output.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "PrintSession.h"
#include "PrinterChecks.h"
#include "PropertyList.h"

namespace {

using qor::core::Dictionary;
using qor::core::Value;

// A PPD of one model with the given maker lines, opened for the length of a check.
class SmallPPD {
  public:
    explicit SmallPPD(const std::string& lines) {
        char name[] = "/tmp/qor-checks-XXXXXX";
        int fd = mkstemp(name);
        close(fd);
        path_ = name;
        std::ofstream(path_) << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n"
                                "*ModelName: \"Office 40\"\n*NickName: \"Office 40\"\n"
                             << lines
                             << "*OpenUI *Duplex/Duplex: PickOne\n*DefaultDuplex: None\n"
                                "*Duplex None/Off: \"\"\n*CloseUI: *Duplex\n";
        EXPECT_EQ(ppdOpenCompiledPPDFromFile(path_.c_str(), &ctx_), kPPDNoErr);
    }
    ~SmallPPD() {
        ppdCloseCompiledPPD(ctx_);
        std::filesystem::remove(path_);
    }
    PPDContextViel get() const { return ctx_; }

  private:
    std::string path_;
    PPDContextViel ctx_ = nullptr;
};

TEST(IsQuorvanPrinter, NameInAnyLetterCaseAndNothingMore) {
    struct Case {
        const char* lines;
        bool expected;
    };
    for (const Case& c :
         {Case{"*QuorvanPDEID: \"Quorvan\"\n", true}, Case{"*QuorvanPDEID: \"QUORVAN\"\n", true},
          Case{"*QuorvanPDEID: \"quorvan\"\n", true},
          Case{"*QuorvanPDEID: \"Quorvan Inc\"\n", false},
          Case{"*QuorvanPDEID: \"Quorvan2\"\n", false}, Case{"*QuorvanPDEID: \"Quorva\"\n", false},
          Case{"*QuorvanPDEID: \"\"\n", false}, Case{"*Manufacturer: \"Quorvan\"\n", false}}) {
        SCOPED_TRACE(c.lines);
        SmallPPD ppd(c.lines);
        EXPECT_EQ(IsQuorvanPrinter(ppd.get()), c.expected);
    }
    EXPECT_FALSE(IsQuorvanPrinter(nullptr));
}

TEST(IsQuorvanPrinter, OurFixtureYesAnotherMakerNo) {
    PPDContextViel ctx = nullptr;
    ASSERT_EQ(ppdOpenCompiledPPDFromFile(QOR_TEST_FIXTURES "/keysets.ppd", &ctx), kPPDNoErr);
    EXPECT_TRUE(IsQuorvanPrinter(ctx));
    ppdCloseCompiledPPD(ctx);

    const char* other = "/usr/share/ppd/cupsfilters/pxlmono.ppd";
    if (!std::filesystem::exists(other)) GTEST_SKIP() << "cups-filters PPDs not installed";
    ASSERT_EQ(ppdOpenCompiledPPDFromFile(other, &ctx), kPPDNoErr);
    EXPECT_FALSE(IsQuorvanPrinter(ctx));
    EXPECT_FALSE(QorFeatureSupported(ctx, "P"));
    ppdCloseCompiledPPD(ctx);
}

TEST(QorFeatureSupported, ShippedPPDsAnnounceTheirModelsFeatures) {
    struct Case {
        const char* file;
        const char* feature;
        bool expected;
    };
    for (const Case& c :
         {Case{"Quorvan-Q4150C.ppd", "P", true}, Case{"Quorvan-Q4150C.ppd", "F", false},
          Case{"Quorvan-Q2050.ppd", "P", false}, Case{"Quorvan-Q2050.ppd", "F", true}}) {
        SCOPED_TRACE(std::string(c.file) + " " + c.feature);
        std::string path = std::string(QOR_SOURCE_DIR) + "/ppd/" + c.file;
        if (!std::filesystem::exists(path)) GTEST_SKIP() << "shipped PPDs not present";
        PPDContextViel ctx = nullptr;
        ASSERT_EQ(ppdOpenCompiledPPDFromFile(path.c_str(), &ctx), kPPDNoErr);
        EXPECT_TRUE(IsQuorvanPrinter(ctx));
        EXPECT_EQ(QorFeatureSupported(ctx, c.feature), c.expected);
        ppdCloseCompiledPPD(ctx);
    }
}

TEST(QorFeatureSupported, TokensComparedExactly) {
    struct Case {
        const char* value;
        const char* feature;
        bool expected;
    };
    for (const Case& c : {Case{"P_Q", "P", true}, Case{"P_Q", "Q", true}, Case{"P_Q", "p", false},
                          Case{"P_Q", "P_Q", false}, Case{"P_Q", "", false}, Case{"P_", "P", true},
                          Case{"_P", "P", true}, Case{"PQ", "P", false}, Case{"P", "P", true}}) {
        SCOPED_TRACE(std::string(c.value) + " / " + c.feature);
        SmallPPD ppd(std::string("*QuorvanPDEID: \"Quorvan\"\n*QuorvanFeatures: \"") + c.value +
                     "\"\n");
        EXPECT_EQ(QorFeatureSupported(ppd.get(), c.feature), c.expected);
    }
    SmallPPD none("*QuorvanPDEID: \"Quorvan\"\n");
    EXPECT_FALSE(QorFeatureSupported(none.get(), "P"));
}

Value xml(const Value& value) {
    return Value(*qor::core::writePropertyList(value, qor::core::PropertyListFormat::Xml));
}

TEST(IsLPRPrinter, FalseOnlyForAKnownNonLPDAddress) {
    struct Case {
        const char* name;
        Value address;  // None: no address item at all
        bool expected;
    };
    const Case cases[] = {
        {"no address", Value(), true},
        {"lpd", xml(Dictionary{{"Printer URI", Value("lpd://10.0.0.9/queue")}}), true},
        {"socket", xml(Dictionary{{"Printer URI", Value("socket://10.0.0.9")}}), false},
        {"ipp", xml(Dictionary{{"Printer URI", Value("ipp://host/printers/a")}}), false},
        {"LPD upper case", xml(Dictionary{{"Printer URI", Value("LPD://host/q")}}), false},
        {"no URI", xml(Dictionary{{"Other", Value("socket://x")}}), true},
        {"URI not text", xml(Dictionary{{"Printer URI", Value(5)}}), true},
        {"not a dictionary", xml(Value("socket://x")), true},
        {"not a property list", Value(qor::core::Data{'n', 'o', 'p', 'e'}), true},
        {"text, not data", Value("socket://x"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PMTicketRef ticket = PMTicketCreate(PMTicketType::PrinterInfo);
        if (!c.address.isNone()) {
            ASSERT_EQ(PMTicketSetItem(ticket, kPMPrintingManagerClientID, kPMPrinterAddressKey,
                                      c.address, true),
                      kPMNoError);
        }
        EXPECT_EQ(IsLPRPrinter(ticket), c.expected);
        PMTicketRelease(ticket);
    }
    EXPECT_TRUE(IsLPRPrinter(nullptr));
}

struct Debug : ::testing::Test {
    void TearDown() override { unsetenv("PDEDebug"); }
};

TEST_F(Debug, MessagesGoToStandardOutputWhenPDEDebugIsSetEvenEmpty) {
    setenv("PDEDebug", "", 1);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    MyDebugMessage("Manual", -9533);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Manual (-9533)\n");
}

TEST_F(Debug, MessagesGoToStandardErrorCutTo255Characters) {
    unsetenv("PDEDebug");
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    MyDebugMessage("Not Manual", 0);
    MyDebugMessage(std::string(300, 'x').c_str(), 7);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Not Manual (0)\n" + std::string(255, 'x') + "\n");
}

TEST_F(Debug, DictionaryContentIsPrintedKeyThenValue) {
    Dictionary dict{{"b", Value("two")}, {"a", Value("one")}};
    ::testing::internal::CaptureStderr();
    divulgeDictionaryContent(&dict);
    divulgeDictionaryContent(nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "b\ntwo\na\none\n");
}

}  // namespace
