// Integration through real CUPS: cupsfilter runs the built filter with one of our PPDs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "RunFilter.h"
#include "pjlCreation.h"

using namespace qor::test;
namespace fs = std::filesystem;

TEST(Cupsfilter, RunsQorpstopsAfterPstopsWithThePpdsFilterLine) {
    // A private server directory: the built filter (root-owned, 0555 when run as root, as
    // cupsfilter checks) and CUPS's own pstops, which turns the PostScript into the
    // type our filter takes.
    TempDir dir;
    const std::string filters = dir.file("serverbin/filter");
    installFilter(filters);
    fs::create_symlink(QOR_CUPS_PSTOPS, filters + "/pstops");
    writeFile(dir.file("cups-files.conf"), "ServerBin " + dir.file("serverbin") + "\n");
    writeFile(dir.file("job.ps"),
              "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%BeginSetup\n%%EndSetup\n"
              "%%Page: 1 1\n/Times-Roman findfont 12 scalefont setfont\n"
              "72 700 moveto (Hello) show showpage\n%%EOF\n");

    const std::string ppd = std::string(QOR_PPD_DIR) + "/Quorvan-Q4150C.ppd";
    const RunResult r =
        runProgram({"/usr/sbin/cupsfilter", "-c", dir.file("cups-files.conf"), "-p", ppd, "-m",
                    "printer/foo", "-e", "-o", "PrintTo=JRConf", "-o", "JRUSERNAME=Ann<20>Lee",
                    "-o", "JRHOLDKEY=1234", dir.file("job.ps")},
                   {{"CUPS_USER=ann"}, "", "", false});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("INFO: qorpstops"), std::string::npos) << r.err;

    const std::string uel = "\x1b%-12345X";
    const std::string header = uel + "@PJL JOB\n@PJL LJOBINFO USERID = \"ann\" HOSTID = \"" +
                               qor::shortHostName() +
                               "\"\n@PJL SET USERNAME = \"Ann Lee\"\n@PJL SET HOLD = ON\n"
                               "@PJL SET HOLDTYPE = PRIVATE\n@PJL SET HOLDKEY = \"1234\"\n"
                               "@PJL ENTER LANGUAGE = POSTSCRIPT\n%!PS-Adobe-3.0\n";
    EXPECT_EQ(r.out.substr(0, header.size()), header);
    ASSERT_GE(r.out.size(), uel.size() + 1);
    EXPECT_EQ(r.out.substr(r.out.size() - uel.size() - 1), uel + "\n");
    EXPECT_NE(r.out.find("(Hello) show"), std::string::npos);
    // The UEL appears only at the start and the end.
    EXPECT_EQ(r.out.find(uel, 1), r.out.size() - uel.size() - 1);
}
