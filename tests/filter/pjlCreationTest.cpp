// Tests of the PJL job header lines for every routing mode and of value quoting.
#include <gtest/gtest.h>
#include <unistd.h>

#include "pjlCreation.h"

using qor::argumentStore;
using qor::pjlCreation;

namespace {

std::vector<std::string> headerFor(const char* options, const char* user = "ann") {
    return pjlCreation::initFromArgsStore(argumentStore::initWithOptionString(options), user,
                                          "alpha")
        .objectEnumerator();
}

const std::string kJob = "\x1b%-12345X@PJL JOB\n";
const std::string kInfo = "@PJL LJOBINFO USERID = \"ann\" HOSTID = \"alpha\"\n";
const std::string kEnter = "@PJL ENTER LANGUAGE = POSTSCRIPT\n";

}  // namespace

TEST(PjlCreation, LinesForEachRoutingMode) {
    using Lines = std::vector<std::string>;
    struct Case {
        const char* options;
        Lines lines;
    } cases[] = {
        {"", {kJob, kInfo, "@PJL SET USERNAME = \"ann\"\n"}},
        {"PrintTo=Standard", {kJob, kInfo, "@PJL SET USERNAME = \"ann\"\n", kEnter}},
        {"PrintTo=jrfax", {kJob, kInfo, "@PJL SET USERNAME = \"ann\"\n", kEnter}},
        {"PrintTo=JRConf JRUSERNAME=Ann<20>Lee JRHOLDKEY=1234",
         {kJob, kInfo, "@PJL SET USERNAME = \"Ann Lee\"\n", "@PJL SET HOLD = ON\n",
          "@PJL SET HOLDTYPE = PRIVATE\n", "@PJL SET HOLDKEY = \"1234\"\n", kEnter}},
        {"PrintTo=JRFax JRUSERNAME= JRPHONENUMBER=555<20>1234 JRSTATIONID=Front<20>desk",
         {kJob, kInfo, "@PJL SET USERNAME = \"\"\n",
          "@PJL LFAX PHONENUMBER = \"555 1234\" STATIONID = \"Front desk\"\n",
          "@PJL SETLFAXRESOLUTION = FINE\n", kEnter}},
        {"PrintTo=JRFax",
         {kJob, kInfo, "@PJL SET USERNAME = \"ann\"\n",
          "@PJL LFAX PHONENUMBER = \"\" STATIONID = \"\"\n", "@PJL SETLFAXRESOLUTION = FINE\n",
          kEnter}},
        {"PrintTo=JRRepeat JRUSERNAME=Bo",
         {kJob, kInfo, "@PJL SET USERNAME = \"Bo\"\n", "@PJL SET HOLD = ON\n",
          "@PJL SET HOLDTYPE = PUBLIC\n", kEnter}},
        {"PrintTo=JRReserve",
         {kJob, kInfo, "@PJL SET USERNAME = \"ann\"\n", "@PJL SET HOLD = STORE\n",
          "@PJL SET HOLDTYPE = PUBLIC\n", kEnter}},
        {"PrintTo=JRVerify",
         {kJob, kInfo, "@PJL SET USERNAME = \"ann\"\n", "@PJL SET HOLD = PROOF\n",
          "@PJL SET HOLDTYPE = PUBLIC\n", kEnter}},
    };
    for (const auto& c : cases) EXPECT_EQ(headerFor(c.options), c.lines) << c.options;
}

TEST(PjlCreation, ValuesCannotEndTheLineOrTheString) {
    // A line feed followed by a PJL command, in every value that reaches a quoted string.
    const auto lines = headerFor(
        "PrintTo=JRFax JRUSERNAME='x\n@PJL SET HOLD = OFF' "
        "JRPHONENUMBER='1\r\n@PJL RDYMSG' JRSTATIONID='a\"b\x1b%-12345X\x7f'",
        "ev\"il\n@PJL");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "@PJL LJOBINFO USERID = \"ev'il@PJL\" HOSTID = \"alpha\"\n");
    EXPECT_EQ(lines[2], "@PJL SET USERNAME = \"x@PJL SET HOLD = OFF\"\n");
    EXPECT_EQ(lines[3], "@PJL LFAX PHONENUMBER = \"1@PJL RDYMSG\" STATIONID = \"a'b%-12345X\"\n");
    for (const auto& line : lines) {
        EXPECT_EQ(line.find('\n'), line.size() - 1) << line;
        EXPECT_EQ(line.find('\r'), std::string::npos) << line;
    }
    const auto conf = headerFor("PrintTo=JRConf JRHOLDKEY='12\n34'");
    EXPECT_EQ(conf[5], "@PJL SET HOLDKEY = \"1234\"\n");
}

TEST(PjlCreation, HostIsTheFirstPartOfThisHostsName) {
    char name[256] = {};
    ASSERT_EQ(gethostname(name, sizeof name - 1), 0);
    const std::string host = qor::shortHostName();
    EXPECT_FALSE(host.empty());
    EXPECT_EQ(host.find('.'), std::string::npos);
    EXPECT_EQ(std::string(name).rfind(host, 0), 0u);
    const auto lines = pjlCreation::initFromArgsStore(argumentStore{}, "ann").objectEnumerator();
    EXPECT_EQ(lines[1], "@PJL LJOBINFO USERID = \"ann\" HOSTID = \"" + host + "\"\n");
}
