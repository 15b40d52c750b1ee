// From the dialog's controls through a private CUPS scheduler and our filter to the printer
// data: quorvan-print is run offscreen with an action script against a queue of our PPD whose
// device is a file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string kSource = QOR_SOURCE_DIR;
const fs::path kJobRoutingBundle = fs::path(QOR_BUNDLES_DIR) / "Quorvan Job Routing.plugin";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string quote(const std::string& text) {
    return "'" + text + "'";
}

// Runs a shell command; its exit status, with its output in *output when asked for.
int run(const std::string& command, std::string* output = nullptr) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buffer[4096];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    const int status = pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The cover page in printer data, from its first line to the end of its page; empty when
// there is none.
std::string coverPage(const std::string& data) {
    const std::string end = "showpage\n%%PageTrailer\n";
    const auto begin = data.find("%%FaxCoverPage: 1 1\n");
    const auto stop = begin == std::string::npos ? begin : data.find(end, begin);
    return stop == std::string::npos ? std::string()
                                     : data.substr(begin, stop + end.size() - begin);
}

bool jobRoutingPanelBuilt() {
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator(kJobRoutingBundle / "Contents" / "Linux", error))
        if (entry.path().extension() == ".so") return true;
    return false;
}

class EndToEndTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
#ifndef QOR_FILTER
        skip = "the filter is not part of this build";
        return;
#else
        if (getuid() != 0) {
            skip = "the private scheduler runs filters only as root";
            return;
        }
        char pattern[] = "/tmp/qor-e2e-XXXXXX";
        if (!mkdtemp(pattern)) {
            skip = "no temporary folder";
            return;
        }
        folder = pattern;
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
        std::string output;
        const int status =
            run(quote(kSource + "/scripts/private-cupsd") + " start " + quote(folder / "cups") +
                    " " + quote(QOR_FILTER) + " " + quote(kJobRoutingBundle.string()),
                &output);
        ASSERT_EQ(status, 0) << output;
        server = readFile(folder / "cups" / "server");
        while (!server.empty() && server.back() == '\n') server.pop_back();
#endif
    }

    static void TearDownTestSuite() {
        if (folder.empty()) return;
        run(quote(kSource + "/scripts/private-cupsd") + " stop " + quote(folder / "cups"));
        std::error_code error;
        fs::remove_all(folder, error);
        folder.clear();
    }

    void SetUp() override {
        if (!skip.empty()) GTEST_SKIP() << skip;
    }

    // Adds a queue of the model's PPD for this test; its printer data goes to the file.
    static fs::path addQueue(const std::string& queue, const std::string& model,
                             const std::string& lpadminOptions = {}) {
        const fs::path output = folder / "cups" / "out" / (queue + ".prn");
        std::string log;
        EXPECT_EQ(
            run(quote(kSource + "/scripts/private-cupsd") + " add-queue " + quote(folder / "cups") +
                    " " + queue + " " + quote(kSource + "/ppd/Quorvan-" + model + ".ppd") + " " +
                    quote(output) + " " + lpadminOptions,
                &log),
            0)
            << log;
        return output;
    }

    // Runs the dialog on the queue with the actions; its exit status, its messages in *log.
    static int runDialog(const std::string& queue, const std::string& actions,
                         const std::string& pdePath, std::string* log) {
        const fs::path script = folder / (queue + ".actions");
        std::ofstream(script) << actions;
        return run("CUPS_SERVER=" + server + " QOR_PDE_PATH=" + quote(pdePath) +
                       " QT_QPA_PLATFORM=offscreen " + quote(QOR_PRINT_PROGRAM) + " -d " + queue +
                       " --script " + quote(script) + " " +
                       quote(kSource + "/tests/fixtures/sample-job.ps"),
                   log);
    }

    // Prints the sample job with the actions through the dialog and gives the printer data
    // once the scheduler is done with the job.
    std::string printThroughDialog(const std::string& queue, const std::string& actions,
                                   const std::string& pdePath) {
        const fs::path output = addQueue(queue, "Q4150C");
        std::string log;
        EXPECT_EQ(runDialog(queue, actions, pdePath, &log), 0) << log;
        EXPECT_EQ(run(quote(kSource + "/scripts/private-cupsd") + " wait-jobs " +
                          quote(folder / "cups") + " 20",
                      &log),
                  0)
            << log;
        return readFile(output);
    }

    static inline std::string skip;
    static inline fs::path folder;
    static inline std::string server;
};

constexpr const char* kUEL = "\x1b%-12345X";
// The filter closes every job that is not for a USB printer with the UEL and a line feed.
const std::string kClosingUEL = std::string(kUEL) + "\n";

TEST_F(EndToEndTest, TheDialogsSettingsReachOurFilterAsJobOptions) {
    const std::string data = printThroughDialog(
        "Repeat", "click \"Keep for repeat printing\"\nprint\n", QOR_HOST_TEST_PDE);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.rfind(std::string(kUEL) + "@PJL JOB", 0), 0u);
    EXPECT_NE(data.find("@PJL SET HOLD = ON\n@PJL SET HOLDTYPE = PUBLIC\n"
                        "@PJL ENTER LANGUAGE = POSTSCRIPT\n%!PS-Adobe-3.0"),
              std::string::npos);
    EXPECT_TRUE(data.ends_with(kClosingUEL));
}

TEST_F(EndToEndTest, AFaxWithCoverSheetFromTheJobRoutingPanel) {
    if (!jobRoutingPanelBuilt()) GTEST_SKIP() << "the Job Routing panel is not built";
    const std::string data =
        printThroughDialog("Fax",
                           "panel \"Job Routing\"\n"
                           "click Fax\n"
                           "type \"label=Recipient Name:\" \"Facilities team\"\n"
                           "type \"label=Fax #:\" 555-0142\n"
                           "type \"label=Station Name:\" \"Front desk\"\n"
                           "click \"Include Cover Sheet\"\n"
                           "click \"Edit Cover Sheet...\"\n"
                           "type \"label=Pages to Follow:\" 2\n"
                           "type label=Name:#2 \"Ann Lee\"\n"
                           "type label=Company: \"Quorvan Office\"\n"
                           "click OK\n"
                           "print\n",
                           QOR_BUNDLES_DIR);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.rfind(std::string(kUEL) + "@PJL JOB", 0), 0u);
    EXPECT_NE(data.find("@PJL LFAX PHONENUMBER = \"555-0142\" STATIONID = \"Front desk\"\n"
                        "@PJL SETLFAXRESOLUTION = FINE\n@PJL ENTER LANGUAGE = POSTSCRIPT\n"),
              std::string::npos);
    // The cover page follows the setup at once and comes before the document's first page.
    const std::string cover = coverPage(data);
    ASSERT_FALSE(cover.empty());
    const auto setup = data.find("%%EndSetup\n");
    ASSERT_NE(setup, std::string::npos);
    EXPECT_EQ(data.find(cover), setup + std::string("%%EndSetup\n").size());
    EXPECT_LT(data.find(cover), data.find("%%Page: 1 1"));
    EXPECT_TRUE(data.ends_with(kClosingUEL));

    // It is the page the filter draws from what was typed into the panel and its editor.
    const fs::path direct = folder / "direct-cover.prn";
    std::string log;
    ASSERT_EQ(run("QOR_JOB_ROUTING_BUNDLE=" + quote(kJobRoutingBundle.string()) +
                      " DEVICE_URI=socket://printer " + quote(QOR_FILTER) +
                      " 1 ann sample 1 'PrintTo=JRFax JRCOVERSHEET=TRUE JRENCODINGSTR=English "
                      "JRJOBNAME=Facilities<20>team JRCSNAME=Ann<20>Lee "
                      "JRCSCOMPANY=Quorvan<20>Office JRCSCPAGES=2' " +
                      quote(kSource + "/tests/fixtures/sample-job.ps") + " > " + quote(direct),
                  &log),
              0)
        << log;
    EXPECT_TRUE(cover == coverPage(readFile(direct))) << "the printed cover page differs";
}

TEST_F(EndToEndTest, AConfidentialJobIsHeldWithItsPin) {
    if (!jobRoutingPanelBuilt()) GTEST_SKIP() << "the Job Routing panel is not built";
    const std::string data = printThroughDialog("Conf",
                                                "panel \"Job Routing\"\n"
                                                "click \"Confidential Print\"\n"
                                                "type \"label=User Name:\" \"ann lee\"\n"
                                                "type \"label=PIN(####, 1-6):\" 1234\n"
                                                "print\n",
                                                QOR_BUNDLES_DIR);
    ASSERT_FALSE(data.empty());
    EXPECT_NE(data.find("@PJL SET USERNAME = \"ann lee\""), std::string::npos);
    EXPECT_NE(data.find("@PJL SET HOLD = ON\n@PJL SET HOLDTYPE = PRIVATE\n"
                        "@PJL SET HOLDKEY = \"1234\"\n@PJL ENTER LANGUAGE = POSTSCRIPT\n"),
              std::string::npos);
    EXPECT_TRUE(data.ends_with(kClosingUEL));
}

TEST_F(EndToEndTest, EveryPanelOfBothModelsIsShownAndSummarized) {
    // The monochrome model with its finisher installed offers the Finishing panel.
    addQueue("Mono", "Q2050", "-o OutputFinisher=InstalledM");
    addQueue("Colour", "Q4150C");
    for (const std::string queue : {"Mono", "Colour"}) {
        const fs::path pictures = folder / queue;
        fs::create_directories(pictures);
        std::string log;
        // Cancel ends the dialog with status 2; a crashing panel would end it otherwise.
        EXPECT_EQ(runDialog(queue, "screenshots \"" + pictures.string() + "\"\ncancel\n",
                            QOR_BUNDLES_DIR, &log),
                  2)
            << log;
        EXPECT_TRUE(fs::exists(pictures / "summary.png")) << queue;
        for (const char* panel : {"imaging.png", "paper-handling.png"})
            EXPECT_TRUE(fs::exists(pictures / panel)) << queue << " " << panel;
    }
    EXPECT_TRUE(fs::exists(folder / "Mono" / "finishing.png"));
    EXPECT_TRUE(fs::exists(folder / "Colour" / "job-routing.png"));
    EXPECT_TRUE(fs::exists(folder / "Colour" / "color.png"));
}

}  // namespace
