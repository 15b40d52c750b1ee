// The Job Routing panel's life cycle as the print dialog drives it: which printers get the
// panel, the controls it makes, the fields each routing mode shows, and Terminate.
#include <QFile>

#include "JobRoutingFixture.h"

namespace jrtest {
namespace {

// A copy of a PPD with one text replaced, written where the test's build files live.
std::string EditedPPD(const std::string& source, const std::string& name, const std::string& from,
                      const std::string& to) {
    std::ifstream in(source);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    const std::string path = std::string(QOR_TEST_OUTPUT) + "/" + name;
    std::ofstream(path) << text;
    return path;
}

TEST_F(JobRoutingTest, InitializeOffersThePanelOnlyToOurRoutingPrintersThatAreNotOnUSB) {
    const std::string notOurs = EditedPPD(kRoutingPPD, "not-ours.ppd", "*QuorvanPDEID: \"Quorvan\"",
                                          "*QuorvanPDEID: \"Quorvan Inc\"");
    const std::string onePrintTo =
        EditedPPD(kRoutingPPD, "one-printto.ppd",
                  "*PrintTo JRFax/Fax: \"\"\n*PrintTo JRConf/Confidential Print: \"\"\n"
                  "*PrintTo JRRepeat/Repeat Print: \"\"\n*PrintTo JRReserve/Reserve Print: \"\"\n"
                  "*PrintTo JRVerify/Verify Print: \"\"\n",
                  "");
    struct Case {
        const char* name;
        std::string ppd;
        const char* deviceURI;
        OSStatus status;
        bool controls;
    };
    const Case cases[] = {
        {"colour printer on the network", kColorPPD, "socket://10.0.0.5:9100", kPDENoErr, true},
        {"printer without feature P", kMonoPPD, "socket://10.0.0.5:9100", kPDEDeclineErr, false},
        {"another maker's printer", notOurs, "lpd://10.0.0.5/queue", kPDEDeclineErr, false},
        {"printer on USB", kColorPPD, "usb://Quorvan/Q4150C?serial=42", kPDEDeclineErr, false},
        {"usb anywhere in the device line", kColorPPD, "ipp://host/printers/usb-office",
         kPDEDeclineErr, false},
        {"PrintTo with a single option", onePrintTo, "socket://10.0.0.5", kPDENoContextErr, false},
        {"PPD file missing", QOR_TEST_OUTPUT "/absent.ppd", "socket://10.0.0.5", kPDENoErr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(open(c.ppd, "office", c.deviceURI), c.status);
        EXPECT_EQ(group() != nullptr, c.controls);
        if (c.controls) {
            EXPECT_EQ(GetControlValue(group()), 1);
            std::string label;
            CopyControlText(control(jp::kPrintToLabelID), &label);
            EXPECT_EQ(label, "Print To:");
            // Placed inside the host's pane, whose top left corner is at (12, 20).
            Rect bounds;
            GetControlBounds(group(), &bounds);
            EXPECT_EQ(bounds.top, 12 + 26);
            EXPECT_EQ(bounds.left, 20 + 16);
        }
        close();
    }
}

TEST_F(JobRoutingTest, TheQueueNameReachesLpstatAsOneUnchangedArgument) {
    const std::string log = std::string(QOR_TEST_OUTPUT) + "/lpstat-arguments.txt";
    std::filesystem::remove(log);
    env.set("QOR_TEST_LPSTAT_LOG", log);
    const std::string queue = "office;touch pwned $HOME `id` \"x\"";
    EXPECT_EQ(open(kColorPPD, queue, "socket://10.0.0.5"), kPDENoErr);
    std::ifstream in(log);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "-v\n" + queue + "\n");
    EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(JobRoutingTest, RadioButtonsFollowThePPDAndAForbiddenOptionIsDisabled) {
    ASSERT_EQ(open(kRoutingPPD), kPDENoErr);
    const char* titles[] = {"Printer",      "Fax",           "Confidential Print",
                            "Repeat Print", "Reserve Print", "Verify Print"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(radio(i), nullptr);
        std::string title;
        CopyControlTitleAsCFString(radio(i), &title);
        EXPECT_EQ(title, titles[i]);
        // The fax unit is not installed, which rules out the fax routing.
        EXPECT_EQ(IsControlEnabled(radio(i)), i != jp::kPositionFax);
    }
}

TEST_F(JobRoutingTest, EachRoutingModeShowsItsFieldsAndAClickMovesTheFocus) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    using V = std::vector<SInt16>;
    struct Case {
        int position;
        V shown;
        SInt16 focused;  // 0: the focus stays where it was
    };
    const V fax = {jp::kRecipientFieldID, jp::kPhoneFieldID, jp::kStationFieldID,
                   jp::kCoverSheetCheckBoxID, jp::kEditCoverSheetButtonID};
    const Case cases[] = {
        {jp::kPositionFax, fax, jp::kRecipientFieldID},
        {jp::kPositionConfidential, {jp::kUserNameFieldID, jp::kPINFieldID}, jp::kUserNameFieldID},
        {jp::kPositionRepeat, {jp::kUserNameFieldID}, jp::kUserNameFieldID},
        {jp::kPositionReserve, {jp::kUserNameFieldID}, jp::kUserNameFieldID},
        {jp::kPositionVerify, {jp::kUserNameFieldID}, jp::kUserNameFieldID},
        {jp::kPositionPrinter, {}, 0},
    };
    const char* keywords[] = {"JRPrint", "JRFax", "JRConf", "JRRepeat", "JRReserve", "JRVerify"};
    for (const Case& c : cases) {
        SCOPED_TRACE(keywords[c.position]);
        ClearKeyboardFocus(window);
        Click(radio(c.position));
        EXPECT_EQ(visibleFields(), c.shown);
        EXPECT_EQ(focus(), c.focused ? control(c.focused) : nullptr);
        for (SInt16 id : c.shown) {
            if (id != jp::kCoverSheetCheckBoxID && id != jp::kEditCoverSheetButtonID) {
                EXPECT_TRUE(IsControlEnabled(control(id))) << id;
            }
        }

        // Restoring the same mode shows the same fields without touching the focus.
        Click(radio(jp::kPositionPrinter));
        ClearKeyboardFocus(window);
        ppdDict().set("PrintTo", keywords[c.position]);
        EXPECT_EQ(restore(), kPDENoErr);
        EXPECT_EQ(GetControlValue(group()), c.position + 1);
        EXPECT_EQ(visibleFields(), c.shown);
        EXPECT_EQ(focus(), nullptr);
    }
}

TEST_F(JobRoutingTest, TheEditButtonIsActiveOnlyWhileTheCoverSheetIsIncluded) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    Click(radio(jp::kPositionFax));
    EXPECT_FALSE(IsControlActive(editButton()));
    Click(checkBox());
    EXPECT_EQ(GetControl32BitValue(checkBox()), 1);
    EXPECT_TRUE(IsControlActive(editButton()));
    Click(checkBox());
    EXPECT_FALSE(IsControlActive(editButton()));
}

TEST_F(JobRoutingTest, InJapaneseThePanelHasNoCoverSheetControls) {
    env.language("ja_JP");
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    EXPECT_EQ(checkBox(), nullptr);
    EXPECT_EQ(editButton(), nullptr);
    Click(radio(jp::kPositionFax));
    EXPECT_EQ(visibleFields(),
              (std::vector<SInt16>{jp::kRecipientFieldID, jp::kPhoneFieldID, jp::kStationFieldID}));
    std::string title;
    CopyControlTitleAsCFString(radio(jp::kPositionFax), &title);
    EXPECT_NE(title, "Fax");  // translated
    EXPECT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item(jr::kCoverSheet), "FALSE");
    EXPECT_EQ(item(jr::kEncodingStr), "Japanese");
}

TEST_F(JobRoutingTest, TerminateTakesThePanelsControlsAndHandlersAway) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    Click(radio(jp::kPositionConfidential));
    close();
    EXPECT_EQ(group(), nullptr);
    EXPECT_EQ(userName(), nullptr);
    UInt16 left = 1;
    CountSubControls(pane, &left);
    EXPECT_EQ(left, 0);
    // The Print check went with the panel: an empty user name no longer stops the job.
    Click(printButton);
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(printed, 1);
}

}  // namespace
}  // namespace jrtest
