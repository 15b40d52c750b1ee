// End-to-end tests: the built qorpstops program on small jobs, exact output bytes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "RunFilter.h"
#include "pjlCreation.h"

using namespace qor::test;

namespace {

const std::string kUEL = "\x1b%-12345X";

std::string filterPath() {
    return QORPSTOPS_PATH;
}

RunResult runFilter(const std::string& options, const std::string& input,
                    const std::string& uri = "socket://printer.example.com",
                    std::vector<std::string> env = {}) {
    if (!uri.empty()) env.push_back("DEVICE_URI=" + uri);
    RunOptions run;
    run.env = env;
    run.input = input;
    return runProgram({filterPath(), "7", "ann", "Report", "2", options}, run);
}

// The header lines between USERNAME and ENTER LANGUAGE for each routing mode.
std::string header(const std::string& modeLines, const std::string& user = "ann") {
    std::string text = kUEL + "@PJL JOB\n@PJL LJOBINFO USERID = \"ann\" HOSTID = \"" +
                       qor::shortHostName() + "\"\n@PJL SET USERNAME = \"" + user + "\"\n";
    return text + modeLines + "@PJL ENTER LANGUAGE = POSTSCRIPT\n";
}

// A job with every kind of line the pass looks at.
const std::string kJob =
    "%!PS-Adobe-3.0\n"
    "@PJL SET RESOLUTION = 600\n" +
    kUEL + "@PJL EOJ\n" +
    "%%BeginSetup\n"
    "%%EndSetup\n"
    "%RBINumCopies: 1\n" +
    std::string("@PJL\0 kept\n", 11) +
    "showpage\n"
    "%%EOF\n";

// What remains of it in a job without insertions.
const std::string kPassed = "%!PS-Adobe-3.0\n%%BeginSetup\n%%EndSetup\n%RBINumCopies: 1\n" +
                            std::string("@PJL\0 kept\n", 11) + "showpage\n%%EOF\n";

const std::string kCollate =
    "%!\n%Set collate copies = copy:\n<< /CollatedCopies 3 >> setuserparams\n%EndUserSetup\n";

}  // namespace

TEST(Qorpstops, EachRoutingModeGetsItsHeaderAndTheClosingUEL) {
    const std::string verifyBody = "%!PS-Adobe-3.0\n%%BeginSetup\n%%EndSetup\n" + kCollate +
                                   "%RBINumCopies: 1\n" + std::string("@PJL\0 kept\n", 11) +
                                   "showpage\n%%EOF\n";
    struct Case {
        std::string options;
        std::string uri;
        std::string expected;
    } cases[] = {
        {"", "socket://p", kPassed + kUEL + "\n"},
        {"JRUSERNAME=Bo", "", kPassed + kUEL + "\n"},
        {"PrintTo=Standard", "socket://p", header("") + kPassed + kUEL + "\n"},
        {"PrintTo=jrfax JRCOVERSHEET=TRUE", "socket://p", header("") + kPassed + kUEL + "\n"},
        {"PrintTo=JRFax JRCOVERSHEET=FALSE JRPHONENUMBER=555<2D>1 JRSTATIONID=Desk<20>2",
         "ipp://p/q",
         header("@PJL LFAX PHONENUMBER = \"555<2D>1\" STATIONID = \"Desk 2\"\n"
                "@PJL SETLFAXRESOLUTION = FINE\n") +
             kPassed + kUEL + "\n"},
        {"PrintTo=JRConf JRUSERNAME=Ann<20>Lee JRHOLDKEY=1234", "lpd://p",
         header("@PJL SET HOLD = ON\n@PJL SET HOLDTYPE = PRIVATE\n@PJL SET HOLDKEY = \"1234\"\n",
                "Ann Lee") +
             kPassed + kUEL + "\n"},
        {"PrintTo=JRRepeat", "socket://p",
         header("@PJL SET HOLD = ON\n@PJL SET HOLDTYPE = PUBLIC\n") + kPassed + kUEL + "\n"},
        {"PrintTo=JRReserve", "socket://p",
         header("@PJL SET HOLD = STORE\n@PJL SET HOLDTYPE = PUBLIC\n") + kPassed + kUEL + "\n"},
        {"PrintTo=JRVerify com.apple.print.PrintSettings.PMCopies..n.=3", "socket://p",
         header("@PJL SET HOLD = PROOF\n@PJL SET HOLDTYPE = PUBLIC\n") + verifyBody + kUEL + "\n"},
        // A USB printer gets neither header nor UEL, but the same pass.
        {"PrintTo=JRConf JRHOLDKEY=1234", "usb://Quorvan/Q1?serial=1", kPassed},
        {"PrintTo=JRVerify com.apple.print.PrintSettings.PMCopies..n.=3", "usb:x", verifyBody},
        {"", "usb:", kPassed},
        {"PrintTo=JRRepeat", "USB://p",
         header("@PJL SET HOLD = ON\n@PJL SET HOLDTYPE = PUBLIC\n") + kPassed + kUEL + "\n"},
    };
    for (const auto& c : cases) {
        const RunResult r = runFilter(c.options, kJob, c.uri);
        EXPECT_EQ(r.status, 0) << c.options;
        EXPECT_EQ(r.err, "") << c.options;
        EXPECT_EQ(r.out, c.expected) << c.options << " " << c.uri;
    }
}

TEST(Qorpstops, CollatedCopiesTakeOnlyPlainPositiveNumbers) {
    struct Case {
        const char* copiesOption;  // nullptr: absent
        const char* copiesArgument;
        const char* expected;
    } cases[] = {
        {"3", "2", "3"},
        {"12", "x", "12"},
        {nullptr, "2", "2"},
        {"0", "5", "5"},
        {"3<20>>><20>pop", "4", "4"},
        {"-2", "x", "1"},
        {"99999999999", "", "1"},
        {"2147483647", "1", "2147483647"},
    };
    for (const auto& c : cases) {
        std::string options = "PrintTo=JRVerify";
        if (c.copiesOption)
            options += std::string(" com.apple.print.PrintSettings.PMCopies..n.=") + c.copiesOption;
        RunOptions run;
        run.env = {"DEVICE_URI=usb:x"};
        run.input = "%RBINumCopies: 1\n";
        const RunResult r =
            runProgram({filterPath(), "7", "ann", "t", c.copiesArgument, options}, run);
        EXPECT_EQ(r.out, std::string("%!\n%Set collate copies = copy:\n<< /CollatedCopies ") +
                             c.expected + " >> setuserparams\n%EndUserSetup\n%RBINumCopies: 1\n")
            << options << " / " << c.copiesArgument;
    }
}

TEST(Qorpstops, LinesAreCutAtTerminatorsAnd1024Bytes) {
    // Each 1024-byte piece is examined on its own: the piece starting "@PJL" is dropped.
    const std::string first(1024, 'a');
    const std::string second = "@PJL" + std::string(1020, 'b');
    const std::string third(952, 'c');
    const std::string input = first + second + third + "\r\n@PJL x\r%%EOF";
    const RunResult r = runFilter("", input, "usb:");
    EXPECT_EQ(r.out, first + third + "\r\n%%EOF");
    EXPECT_EQ(r.status, 0);

    // A terminator as the 1024th byte still belongs to its line.
    const std::string exact = std::string(1023, 'd') + "\n";
    EXPECT_EQ(runFilter("", exact + "@PJL\n", "usb:").out, exact);
    // Without a final line feed the last bytes still go out; an empty job gives only the UEL.
    EXPECT_EQ(runFilter("", "%!\nshowpage", "socket://p").out, "%!\nshowpage" + kUEL + "\n");
    EXPECT_EQ(runFilter("", "", "socket://p").out, kUEL + "\n");
}

TEST(Qorpstops, WrongArgumentCountsGiveTheUsage) {
    const std::string usage =
        "ERROR: $Revision: 1.21 $ \n\tqorpstops job-id user title copies options [file]\n";
    const std::vector<std::vector<std::string>> argLists = {
        {}, {"1"}, {"1", "u", "t", "1"}, {"1", "u", "t", "1", "", "f", "extra"}, {"--help", "x"}};
    for (auto args : argLists) {
        args.insert(args.begin(), filterPath());
        const RunResult r = runProgram(args, {{}, "%!\n", "", false});
        EXPECT_EQ(r.status, 1) << args.size();
        EXPECT_EQ(r.err, usage);
        EXPECT_EQ(r.out, "");
    }
    const RunResult help = runProgram({filterPath(), "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("QOR_DEBUG_DIR"), std::string::npos);
}

TEST(Qorpstops, ReadsTheNamedFileAndRefusesOneItCannotOpen) {
    TempDir dir;
    writeFile(dir.file("job.ps"), "%!\n@PJL x\nshowpage\n");
    RunOptions run;
    run.input = "ignored stdin\n";
    run.env = {"DEVICE_URI=usb:x"};
    RunResult r = runProgram({filterPath(), "1", "u", "t", "1", "", dir.file("job.ps")}, run);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "%!\nshowpage\n");

    r = runProgram({filterPath(), "1", "u", "t", "1", "PrintTo=JRFax", dir.file("missing.ps")},
                   run);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ERROR: qorpstops is unable to open input file\n");
    EXPECT_EQ(r.out, "");

    // A folder opens but cannot be read: a failure, not an empty job.
    r = runProgram({filterPath(), "1", "u", "t", "1", "", dir.path()}, run);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ERROR: qorpstops is unable to read input file"), std::string::npos);
}

TEST(Qorpstops, FailedWritesEndTheJobWithStatusOne) {
    RunOptions full;
    full.env = {"DEVICE_URI=socket://p"};
    full.input = std::string(200000, 'x') + "\n";
    full.outputPath = "/dev/full";
    RunResult r = runProgram({filterPath(), "1", "u", "t", "1", "PrintTo=JRFax"}, full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("ERROR: qorpstops is unable to write the printer data: ", 0), 0u)
        << r.err;

    // The log copies keep what the job read and wrote up to the failure.
    TempDir logs;
    writeFile(logs.file("qor_log"), "");
    full.env.push_back("QOR_DEBUG_DIR=" + logs.path());
    r = runProgram({filterPath(), "1", "u", "t", "1", "PrintTo=JRFax"}, full);
    EXPECT_EQ(r.status, 1);
    const std::string readCopy = readFile(logs.file("qor_ps"));
    EXPECT_FALSE(readCopy.empty());
    EXPECT_EQ(full.input.compare(0, readCopy.size(), readCopy), 0);
    const std::string writtenCopy = readFile(logs.file("qor_ps2"));
    EXPECT_FALSE(writtenCopy.empty());
    EXPECT_EQ(full.input.compare(0, writtenCopy.size(), writtenCopy), 0);
    full.env.pop_back();

    // Even the closing UEL alone must reach the printer.
    full.input = "";
    r = runProgram({filterPath(), "1", "u", "t", "1", ""}, full);
    EXPECT_EQ(r.status, 1);

    RunOptions closed;
    closed.env = {"DEVICE_URI=socket://p"};
    closed.input = "%!\nshowpage\n";
    closed.closedPipe = true;
    r = runProgram({filterPath(), "1", "u", "t", "1", "PrintTo=JRConf"}, closed);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Broken pipe"), std::string::npos) << r.err;
}

TEST(Qorpstops, MarkerFileTurnsOnTheLogCopies) {
    TempDir dir;
    writeFile(dir.file("qor_log"), "");
    const std::string input = "%!\n@PJL x\nshowpage\n";
    // The log keeps the first 99 characters of the device URI.
    const std::string uri = "socket://" + std::string(90, 'p') + "/queue";
    const RunResult r = runFilter("PrintTo=JRReserve JRUSERNAME=Bo<2C><20>B", input, uri,
                                  {"QOR_DEBUG_DIR=" + dir.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "INFO: Logging enabled by " + dir.file("qor_log") + " file.\n");
    const std::string lines =
        header("@PJL SET HOLD = STORE\n@PJL SET HOLDTYPE = PUBLIC\n", "Bo, B");
    const std::string job = "%!\nshowpage\n" + kUEL + "\n";
    EXPECT_EQ(r.out, lines + job);
    EXPECT_EQ(readFile(dir.file("qor_ps")), input);
    // The output copy holds what follows the header; the header is in the arguments log.
    EXPECT_EQ(readFile(dir.file("qor_ps2")), job);
    const std::string sep = "\n" + std::string(88, '=') + "\n";
    EXPECT_EQ(readFile(dir.file("qor_args")),
              "ARGV[0] = " + filterPath() +
                  "\n\nARGV[1] = 7\n\nARGV[2] = ann\n\nARGV[3] = Report\n\nARGV[4] = 2\n\n"
                  "ARGV[5] = PrintTo=JRReserve JRUSERNAME=Bo<2C><20>B\n\n" +
                  sep + "$Revision: 1.21 $" + sep +
                  "JRUSERNAME\n\tBo, B\n\nPrintTo\n\tJRReserve\n\n" + sep +
                  "     URI for printer = " + uri.substr(0, 99) + sep + lines);
    for (const char* name : {"qor_ps", "qor_ps2", "qor_args"}) {
        struct stat st {};
        ASSERT_EQ(stat(dir.file(name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }

    // Without the marker nothing is written there.
    TempDir quiet;
    EXPECT_EQ(runFilter("", input, "socket://p", {"QOR_DEBUG_DIR=" + quiet.path()}).err, "");
    EXPECT_TRUE(std::filesystem::is_empty(quiet.path()));
}

TEST(Qorpstops, LogFilesThatCannotBeTrustedAreRefusedAndTheJobStillPrints) {
    TempDir dir;
    writeFile(dir.file("qor_log"), "");
    writeFile(dir.file("victim"), "precious");
    std::filesystem::create_directory(dir.file("qor_ps2"));                   // not creatable
    std::filesystem::create_symlink(dir.file("victim"), dir.file("qor_ps"));  // planted link
    writeFile(dir.file("victim2"), "precious");
    std::filesystem::create_hard_link(dir.file("victim2"), dir.file("qor_args"));  // hard link
    const RunResult r =
        runFilter("", "%!\nshowpage\n", "socket://p", {"QOR_DEBUG_DIR=" + dir.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "%!\nshowpage\n" + kUEL + "\n");
    EXPECT_NE(r.err.find("ERROR: Unable to open file " + dir.file("qor_ps2") + "\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("ERROR: Unable to open file " + dir.file("qor_ps") + "\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("ERROR: Unable to open file " + dir.file("qor_args") + "\n"),
              std::string::npos);
    EXPECT_EQ(readFile(dir.file("victim")), "precious");
    EXPECT_EQ(readFile(dir.file("victim2")), "precious");
}

TEST(Qorpstops, OtherUsersMarkersAndLogFilesAreIgnored) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give files to another user";
    TempDir dir;
    chmod(dir.path().c_str(), 01777);
    writeFile(dir.file("qor_log"), "");
    ASSERT_EQ(chown(dir.file("qor_log").c_str(), 65534, 65534), 0);
    RunResult r = runFilter("", "%!\n", "socket://p", {"QOR_DEBUG_DIR=" + dir.path()});
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("qor_ps")));

    ASSERT_EQ(chown(dir.file("qor_log").c_str(), 0, 0), 0);
    writeFile(dir.file("qor_args"), "someone else's");
    ASSERT_EQ(chown(dir.file("qor_args").c_str(), 65534, 65534), 0);
    r = runFilter("", "%!\n", "socket://p", {"QOR_DEBUG_DIR=" + dir.path()});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("ERROR: Unable to open file " + dir.file("qor_args")), std::string::npos);
    EXPECT_EQ(readFile(dir.file("qor_args")), "someone else's");
    EXPECT_EQ(readFile(dir.file("qor_ps")), "%!\n");
}
