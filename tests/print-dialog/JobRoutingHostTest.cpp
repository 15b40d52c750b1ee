// The real Job Routing panel among the five bundles of the build, worked through the dialog's
// controls: for each routing mode, the options Print sends are read as the filter reads them
// and give that mode's PJL header and cover-sheet settings; the panel's check holds a job that
// lacks a field until it is filled in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "PrintDialogFixture.h"
#include "argumentStore.h"
#include "pjlCreation.h"

using namespace qor::printdialog;

namespace {

const std::string kColorPPD = QOR_SOURCE_DIR "/ppd/Quorvan-Q4150C.ppd";

class JobRoutingHostTest : public test::DialogTest {
  protected:
    void SetUp() override {
        setenv("QOR_PDE_PATH", QOR_BUNDLES_DIR, 1);
        // A queue on the network: the panel's USB test finds no USB device.
        setenv("QOR_LPSTAT", "/bin/true", 1);
    }
    void TearDown() override {
        unsetenv("QOR_PDE_PATH");
        unsetenv("QOR_LPSTAT");
    }
};

TEST_F(JobRoutingHostTest, EachRoutingModeGivesTheFilterItsHeaderAndItsSettings) {
    struct Case {
        const char* mode;
        std::string actions;
        std::vector<std::string> alerts;  // shown by Prints the panel held
        std::vector<std::string> header;  // the filter's lines after the job and host lines
        std::map<std::string, std::string> values;
    };
    const std::string enter = "@PJL ENTER LANGUAGE = POSTSCRIPT\n";
    const std::string anne = "@PJL SET USERNAME = \"ann lee\"\n";
    const std::string noName = "@PJL SET USERNAME = \"\"\n";
    const std::string typeUser = "type \"label=User Name:\" \"ann lee\"\n";
    const Case cases[] = {
        {"plain printing",
         "click Printer\nprint\n",
         {},
         {noName, enter},
         {{"PrintTo", "JRPrint"}, {"JRCOVERSHEET", "FALSE"}}},
        {"fax with cover sheet",
         "click Fax\n"
         "type \"label=Recipient Name:\" \"Zoë O'Brien\"\n"
         "type \"label=Fax #:\" 9,555-0142\n"
         "print\n"
         "type \"label=Station Name:\" \"Front desk, floor 3\"\n"
         "click \"Include Cover Sheet\"\n"
         "click \"Edit Cover Sheet...\"\n"
         // The editor opens with the page count selected, so typing replaces it.
         "type \"label=Pages to Follow:\" 2\n"
         "type label=Name:#2 \"Ann Lee\"\n"
         "type label=Company: \"Smith, Jones & Co <Ltd>\"\n"
         "type textbox#1 \"Call me back.\\nThanks.\"\n"
         "click OK\n"
         "panel Summary\n"
         "print\n",
         {"Pleae enter a station name representing your location."},
         {noName, "@PJL LFAX PHONENUMBER = \"9,555-0142\" STATIONID = \"Front desk, floor 3\"\n",
          "@PJL SETLFAXRESOLUTION = FINE\n", enter},
         {{"PrintTo", "JRFax"},
          {"JRCOVERSHEET", "TRUE"},
          {"JRJOBNAME", "Zoë O'Brien"},
          {"JRCSNAME", "Ann Lee"},
          {"JRCSCOMPANY", "Smith, Jones & Co <Ltd>"},
          {"JRCSCPAGES", "2"},
          {"JRCSCOMMNTA", "Call me back."},
          {"JRCSCOMMNTB", "Thanks."},
          {"JRCSCOMMNTC", ""},
          {"JRENCODINGSTR", "English"}}},
        {"confidential with a short PIN",
         "click \"Confidential Print\"\n" + typeUser +
             "print\n"
             "type \"label=PIN(####, 1-6):\" 12\n"
             "print\n",
         {"Please enter a 4-digit PIN, using the numbers 1-6."},
         {anne, "@PJL SET HOLD = ON\n", "@PJL SET HOLDTYPE = PRIVATE\n",
          "@PJL SET HOLDKEY = \"12\"\n", enter},
         {{"PrintTo", "JRConf"}}},
        {"repeat",
         "click \"Repeat Print\"\nprint\n" + typeUser + "print\n",
         {"Please enter a user name."},
         {anne, "@PJL SET HOLD = ON\n", "@PJL SET HOLDTYPE = PUBLIC\n", enter},
         {{"PrintTo", "JRRepeat"}}},
        {"reserve",
         "click \"Reserve Print\"\n" + typeUser + "print\n",
         {},
         {anne, "@PJL SET HOLD = STORE\n", "@PJL SET HOLDTYPE = PUBLIC\n", enter},
         {{"PrintTo", "JRReserve"}}},
        {"verify",
         "click \"Verify Print\"\n" + typeUser + "print\n",
         {},
         {anne, "@PJL SET HOLD = PROOF\n", "@PJL SET HOLDTYPE = PUBLIC\n", enter},
         {{"PrintTo", "JRVerify"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        jobs.clear();
        PrintDialog dialog(test::kDocument, recorder());
        ASSERT_EQ(dialog.usePrinter("Office", kColorPPD, "socket://printer.example:9100"), 0);
        EXPECT_EQ(drive(dialog, "panel \"Job Routing\"\n" + c.actions), "");
        EXPECT_EQ(alerts, c.alerts);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Printed);

        const auto store = qor::argumentStore::initWithOptionString(jobs[0].options.c_str());
        const auto header = qor::pjlCreation::initFromArgsStore(store, "ann", "alpha");
        std::vector<std::string> expected = {std::string(qor::kUEL) + "@PJL JOB\n",
                                             "@PJL LJOBINFO USERID = \"ann\" HOSTID = \"alpha\"\n"};
        expected.insert(expected.end(), c.header.begin(), c.header.end());
        EXPECT_EQ(header.objectEnumerator(), expected);
        for (const auto& [key, value] : c.values) {
            const std::string* found = store.getValue(key);
            ASSERT_NE(found, nullptr) << key;
            EXPECT_EQ(*found, value) << key;
        }
    }
}

}  // namespace
