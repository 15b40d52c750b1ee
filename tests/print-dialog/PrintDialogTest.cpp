// The host with its test bundle: the order of panel calls, the Print button and its check,
// the summary, queue switches, CUPS errors in an alert, and the action scripts.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "PrintDialogFixture.h"

using namespace qor::printdialog;
using qor::printdialog::test::kDocument;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

const std::string kPPD = QOR_SOURCE_DIR "/ppd/Quorvan-Q4150C.ppd";

// What the test panels were made to do since the last call.
std::string takePanelLog() {
    void* handle = dlopen(QOR_HOST_TEST_PDE "/Host Test.plugin/Contents/Linux/HostTestPanel.so",
                          RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return "(bundle not loaded)";
    auto take = reinterpret_cast<const char* (*)()>(dlsym(handle, "HostTestPanelTakeLog"));
    std::string log = take ? take() : "(no log)";
    dlclose(handle);
    return log;
}

// The live instances of the test bundle's two factories: the shown panel and the declining one.
constexpr const char* kShownFactory = "0B7E55A1-6C1D-4F43-9E55-0D7A1C2B3A01";
constexpr const char* kDecliningFactory = "0B7E55A1-6C1D-4F43-9E55-0D7A1C2B3A02";
std::size_t instances(const char* factory) {
    return qor::core::instanceCountForFactory(*qor::core::Uuid::fromString(factory));
}

// An action script and the error it ends with.
struct ScriptCase {
    const char* script;
    const char* error;
};

class PrintDialogTest : public test::DialogTest {
  protected:
    void SetUp() override {
        setenv("QOR_PDE_PATH", QOR_HOST_TEST_PDE, 1);
        takePanelLog();
    }
    void TearDown() override { unsetenv("QOR_PDE_PATH"); }
};

TEST_F(PrintDialogTest, LoadsThePanelsInTheOrderTheyRequireAndHidesTheOneThatDeclines) {
    {
        PrintDialog dialog(kDocument, recorder());
        ASSERT_EQ(dialog.usePrinter("Office", kPPD, "socket://printer.example.com"), 0);
        EXPECT_EQ(instances(kShownFactory), 1u);
        EXPECT_EQ(instances(kDecliningFactory), 0u);
        ASSERT_EQ(dialog.panels().size(), 1u);
        EXPECT_EQ(dialog.panels()[0]->title(), "Host Test");
        EXPECT_EQ(dialog.panels()[0]->kind(), "com.quorvan.test.HostTestKind");
        EXPECT_EQ(dialog.currentPanel(), dialog.panels()[0].get());
        EXPECT_TRUE(IsControlVisible(dialog.panels()[0]->pane()));
        // A declined panel's context is freed at once, before the dialog is shown.
        EXPECT_EQ(takePanelLog(), "Prologue Initialize Restore Decline TerminateDeclined");
        EXPECT_THAT(dialog.problems(), ::testing::Contains(HasSubstr("not offered for Office")));
    }
    EXPECT_EQ(takePanelLog(), "Terminate");
    EXPECT_EQ(instances(kShownFactory), 0u);
}

TEST_F(PrintDialogTest, PrintStoresEveryPanelAndSendsTheSettingsAsOptions) {
    PrintDialog dialog(kDocument, recorder());
    ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
    takePanelLog();
    EXPECT_EQ(drive(dialog, "type label=Note: \"two words\"\nprint\n"), "");
    EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Printed);
    EXPECT_EQ(dialog.jobID(), 42);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, "Office");
    EXPECT_EQ(jobs[0].file, kDocument);
    EXPECT_EQ(jobs[0].title, "sample-job.ps");
    EXPECT_EQ(jobs[0].options, "HostTestNote=two\\ words");
    EXPECT_EQ(takePanelLog(), "Store");
}

TEST_F(PrintDialogTest, APanelsCheckOnThePrintButtonStopsPrintingUntilItIsSatisfied) {
    PrintDialog dialog(kDocument, recorder());
    ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
    takePanelLog();
    EXPECT_EQ(drive(dialog, "click \"Hold the job\"\nprint\nclick \"Hold the job\"\nprint\n"), "");
    EXPECT_EQ(alerts, std::vector<std::string>{"The test panel holds this job."});
    EXPECT_EQ(takePanelLog(), "Held Store");
    EXPECT_EQ(jobs.size(), 1u);
    EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Printed);
}

TEST_F(PrintDialogTest, APanelThatCannotStoreItsSettingsStopsTheJob) {
    PrintDialog dialog(kDocument, recorder());
    ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
    EXPECT_EQ(drive(dialog, "click \"Refuse to store\"\nprint\nclick \"Refuse to store\"\nprint\n"),
              "");
    EXPECT_EQ(alerts,
              std::vector<std::string>{"The print settings cannot be sent to the printer."});
    EXPECT_THAT(dialog.problems(), ::testing::Contains(HasSubstr("storing the settings failed")));
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Printed);
}

TEST_F(PrintDialogTest, CancelAndRunningOutOfActionsPrintNothing) {
    for (const std::string script : {"cancel\n", "type label=Note: x\n"}) {
        PrintDialog dialog(kDocument, recorder());
        ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
        EXPECT_EQ(drive(dialog, script), "");
        EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Cancelled) << script;
    }
    EXPECT_THAT(jobs, IsEmpty());
}

TEST_F(PrintDialogTest, SummaryListsEveryPanelsSummaryText) {
    PrintDialog dialog(kDocument, recorder());
    ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
    EXPECT_EQ(drive(dialog, "type label=Note: hello\nclick \"Hold the job\"\npanel Summary\n"), "");
    EXPECT_EQ(dialog.currentPanel(), nullptr);
    const auto lines = dialog.summary();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].panel, "Host Test");
    EXPECT_EQ(lines[0].title, "Note");
    EXPECT_EQ(lines[0].value, "hello");
    EXPECT_EQ(lines[1].value, "Yes");
}

TEST_F(PrintDialogTest, SwitchingPrintersEndsThePanelsAndLoadsThemAgainWithEmptySettings) {
    PrintDialog dialog(kDocument, recorder());
    ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
    EXPECT_EQ(drive(dialog, "type label=Note: first\nclick \"Hold the job\"\n"), "");
    ControlRef oldPrint = dialog.printButton();
    takePanelLog();
    ASSERT_EQ(dialog.usePrinter("Annex", kPPD, ""), 0);
    EXPECT_EQ(takePanelLog(), "Terminate Prologue Initialize Restore Decline TerminateDeclined");
    EXPECT_EQ(instances(kShownFactory), 1u);
    // The old button went with the old panels; the new panel's check sees its own box only.
    EXPECT_NE(dialog.printButton(), oldPrint);
    EXPECT_EQ(drive(dialog, "print\n"), "");
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].queue, "Annex");
    EXPECT_EQ(jobs[0].options, "HostTestNote=");
}

TEST_F(PrintDialogTest, ACupsErrorIsShownAndTheDialogStaysOpen) {
    // Nothing listens on this port, so CUPS itself reports the failure.
    setenv("CUPS_SERVER", "127.0.0.1:9", 1);
    PrintDialog dialog(kDocument);
    ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
    EXPECT_EQ(drive(dialog, "print\n"), "");
    unsetenv("CUPS_SERVER");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0],
              "\xE2\x80\x9Csample-job.ps\xE2\x80\x9D could not be printed on "
              "\xE2\x80\x9C"
              "Office\xE2\x80\x9D.");
    EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Cancelled);
}

TEST_F(PrintDialogTest, AnUnknownQueueIsReportedAndLoadsNoPanel) {
    setenv("CUPS_SERVER", "127.0.0.1:9", 1);
    PrintDialog dialog(kDocument, recorder());
    dialog.setQueues({"Missing"});
    std::string error;
    auto actions = parseUiScript("queue Missing\nprint\n", &error);
    UiScriptRunner runner(dialog, std::move(*actions));
    dialog.run();
    unsetenv("CUPS_SERVER");
    EXPECT_EQ(runner.error(), "");
    ASSERT_EQ(runner.alerts().size(), 2u);
    EXPECT_EQ(runner.alerts()[0], "The printer \xE2\x80\x9CMissing\xE2\x80\x9D cannot be used.");
    EXPECT_EQ(runner.alerts()[1], "Choose a printer to print to.");
    EXPECT_THAT(dialog.panels(), IsEmpty());
    EXPECT_THAT(jobs, IsEmpty());
}

TEST_F(PrintDialogTest, ScriptActionsThatFindNothingStopTheScript) {
    const ScriptCase cases[] = {
        {"click Nowhere\nprint\n", "line 1 (click): no visible control for \"Nowhere\""},
        {"panel Color\n", "line 1 (panel): no panel \"Color\""},
        {"\n# comment\ntype label=Missing: x\n",
         "line 3 (type): no visible control for \"label=Missing:\""},
        {"key label=Note: Home\n", "line 1 (key): unknown key \"Home\""},
        {"click field#99999999999\n",
         "line 1 (click): no visible control for \"field#99999999999\""},
    };
    for (const auto& c : cases) {
        PrintDialog dialog(kDocument, recorder());
        ASSERT_EQ(dialog.usePrinter("Office", kPPD, ""), 0);
        EXPECT_EQ(drive(dialog, c.script), c.error);
        EXPECT_EQ(dialog.outcome(), PrintDialog::Outcome::Cancelled);
    }
    EXPECT_THAT(jobs, IsEmpty());
}

TEST(UiScriptTest, ParsingRejectsMalformedLines) {
    const ScriptCase cases[] = {
        {"print\nfly away\n", "line 2: unknown action \"fly\""},
        {"type label=Note:\n", "line 1: \"type\" takes 2 argument(s)"},
        {"type \"label=Note: x\n", "line 1: a quote is not closed"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parseUiScript(c.script, &error)) << c.script;
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    auto actions = parseUiScript("type \"label=Fax #:\" \"a \\\"b\\\"\\nc\"\n", &error);
    ASSERT_TRUE(actions);
    EXPECT_EQ((*actions)[0].words,
              (std::vector<std::string>{"type", "label=Fax #:", "a \"b\"\nc"}));
}

}  // namespace
