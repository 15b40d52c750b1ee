// The Job Routing settings in both directions between panel and print settings, the round trip
// to the filter's option store, and the summary.
#include "JobRoutingFixture.h"
#include "OptionString.h"
#include "argumentStore.h"

namespace jrtest {
namespace {

// Plain texts with every escaped character, accents and quotes, one per free-text option.
const std::map<std::string_view, std::string> kCoverSheet = {
    {jr::kCSRecipient, "Zoë O'Brien"},
    {jr::kCSRecVoice, "+1 (555) 010-2000"},
    {jr::kCSName, "Jean-Luc \"JL\" Picard"},
    {jr::kCSCompany, "Smith, Jones & Co <Ltd>"},
    {jr::kCSAddr1, "12 Rue de l'Église"},
    {jr::kCSAddr2, "a=b, c=d"},
    {jr::kCSSendFax, "555 0100"},
    {jr::kCSSendVoice, "555,0101"},
    {jr::kCSEmail, "<jl@example.com>"},
    {"JRCSCOMMNTA", "Please call, it's urgent"},
    {"JRCSCOMMNTB", "<20> is not a space"},
    {"JRCSCOMMNTC", ""},
    {"JRCSCOMMNTD", "Größe = 3"},
    {"JRCSCOMMNTE", "e"},
    {"JRCSCOMMNTF", "f"},
    {jr::kCSPages, "12"},
};

TEST_F(JobRoutingTest, RestoringPutsEveryOptionBackAndStoringWritesItAgain) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    ppdDict().set("PrintTo", "JRFax");
    setItem(jr::kUserName, jr::encodeSpecialCharacters("J. Doe"));
    setItem(jr::kJobName, jr::encodeSpecialCharacters("Zoë O'Brien"));
    setItem(jr::kHoldKey, "1234");
    setItem(jr::kPhoneNumber, "555<20>1234");
    setItem(jr::kStationID, jr::encodeSpecialCharacters("Office, 3rd floor"));
    setItem(jr::kCoverSheet, "TRUE");
    for (const auto& [key, plain] : kCoverSheet) setItem(key, jr::encodeSpecialCharacters(plain));
    ASSERT_EQ(restore(), kPDENoErr);

    EXPECT_EQ(GetControlValue(group()), jp::kPositionFax + 1);
    EXPECT_EQ(TextOf(userName()), "J. Doe");
    EXPECT_EQ(TextOf(recipient()), "Zoë O'Brien");
    EXPECT_EQ(TextOf(pin(), true), "1234");
    EXPECT_EQ(TextOf(phone()), "555 1234");
    EXPECT_EQ(TextOf(station()), "Office, 3rd floor");
    EXPECT_EQ(GetControl32BitValue(checkBox()), 1);
    EXPECT_TRUE(IsControlActive(editButton()));

    // Storing twice, as a host may before it prints, writes the same settings both times.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ppdDict().set("PrintTo", "JRPrint");
        ASSERT_EQ(store(), kPDENoErr);
        EXPECT_EQ(*ppdDict().findString("PrintTo"), "JRFax");
        EXPECT_EQ(item(jr::kPhoneNumber), "555<20>1234");
        EXPECT_EQ(item(jr::kHoldKey), "1234");
        EXPECT_EQ(item(jr::kCoverSheet), "TRUE");
        EXPECT_EQ(item(jr::kEncodingStr), "English");
        for (const auto& [key, plain] : kCoverSheet) {
            EXPECT_EQ(item(key), jr::encodeSpecialCharacters(plain)) << key;
            EXPECT_EQ(PMTicketGetItemClient(settings(), key), jr::kClientID) << key;
        }
    }
}

TEST_F(JobRoutingTest, SettingsWithoutPrintToResetThePanel) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    Click(radio(jp::kPositionFax));
    Click(checkBox());
    Type(recipient(), "Someone");
    setItem(jr::kUserName, "J.<20>Doe");
    setItem(jr::kCoverSheet, "TRUE");
    setItem("JRCSCOMMNTA", "old");
    ASSERT_EQ(restore(), kPDENoErr);

    EXPECT_EQ(GetControlValue(group()), 1);
    EXPECT_EQ(visibleFields(), std::vector<SInt16>{});
    for (ControlRef field : {userName(), pin(), recipient(), phone(), station()})
        EXPECT_EQ(TextOf(field, true), "");
    EXPECT_EQ(GetControl32BitValue(checkBox()), 0);
    EXPECT_FALSE(IsControlActive(editButton()));
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item(jr::kUserName), "");
    EXPECT_EQ(item(jr::kCoverSheet), "FALSE");
    EXPECT_EQ(item("JRCSCOMMNTA"), "");
}

TEST_F(JobRoutingTest, APrintToThatNamesNoOptionChoosesTheFirstEnabledOne) {
    // Plain printing ruled out, so the first enabled option is the fax.
    std::ifstream in(kRoutingPPD);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t at; (at = text.find("*PrintTo JRFax *FaxUnit")) != std::string::npos ||
                         (at = text.find("*FaxUnit None *PrintTo JRFax")) != std::string::npos;)
        text.replace(text.find("JRFax", at), 5, "JRPrint");
    const std::string ppd = std::string(QOR_TEST_OUTPUT) + "/print-ruled-out.ppd";
    std::ofstream(ppd) << text;
    ASSERT_EQ(open(ppd), kPDENoErr);
    ASSERT_FALSE(IsControlEnabled(radio(jp::kPositionPrinter)));

    for (const qor::core::Value& entry : {qor::core::Value("JRTelex"), qor::core::Value("jrfax"),
                                          qor::core::Value(std::int64_t{2})}) {
        SCOPED_TRACE(qor::core::describe(entry));
        Click(radio(jp::kPositionVerify));
        ppdDict().set("PrintTo", entry);
        ASSERT_EQ(restore(), kPDENoErr);
        EXPECT_EQ(GetControlValue(group()), jp::kPositionFax + 1);
    }
}

TEST_F(JobRoutingTest, StoringWritesHiddenFieldsTheCheckBoxAndTheLanguage) {
    env.language("fr_FR");
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    Click(radio(jp::kPositionConfidential));
    Type(userName(), "Anne");
    Type(pin(), "4321");
    Click(radio(jp::kPositionPrinter));  // the fields are hidden, yet still stored
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(*ppdDict().findString("PrintTo"), "JRPrint");
    EXPECT_EQ(item(jr::kUserName), "Anne");
    EXPECT_EQ(item(jr::kHoldKey), "4321");
    EXPECT_EQ(item(jr::kCoverSheet), "FALSE");
    EXPECT_EQ(item(jr::kEncodingStr), "French");
    for (std::string_view key : {jr::kJobName, jr::kPhoneNumber, jr::kStationID, jr::kCSName,
                                 jr::kCSPages, jr::kCSRecipient})
        EXPECT_EQ(item(key), "") << key;
}

TEST_F(JobRoutingTest, SyncNeedsAContextAndASession) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    EXPECT_EQ(ops().Sync(nullptr, session, false), kPDESyncNoSessionErr);
    EXPECT_EQ(ops().Sync(context, nullptr, true), kPDESyncNoSessionErr);
    EXPECT_FALSE(item(jr::kUserName));
    // Neither direction for any other value of the flag.
    EXPECT_EQ(ops().Sync(context, session, 2), kPDENoErr);
    EXPECT_FALSE(item(jr::kUserName));
}

TEST_F(JobRoutingTest, EveryValueReachesTheFilterExactlyAsTyped) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    ppdDict().set("PrintTo", "JRFax");
    for (const auto& [key, plain] : kCoverSheet) setItem(key, jr::encodeSpecialCharacters(plain));
    ASSERT_EQ(restore(), kPDENoErr);
    const std::map<std::string_view, std::pair<ControlRef, QString>> typed = {
        {jr::kUserName, {userName(), "O'Brien, J <x=y>"}},
        {jr::kHoldKey, {pin(), "1256"}},
        {jr::kJobName, {recipient(), "Zoë \"the boss\" d'Arc"}},
        {jr::kPhoneNumber, {phone(), "9,1 (555) 010-2000#"}},
        {jr::kStationID, {station(), "Büro <3>, a=b"}},
    };
    // Each field takes keys while its mode shows it.
    for (const auto& [key, field] : typed)
        if (key != jr::kUserName && key != jr::kHoldKey) Type(field.first, field.second);
    Click(radio(jp::kPositionConfidential));
    Type(userName(), typed.at(jr::kUserName).second);
    Type(pin(), typed.at(jr::kHoldKey).second);
    Click(radio(jp::kPositionFax));
    Click(checkBox());
    ASSERT_EQ(store(), kPDENoErr);

    std::string options, error;
    ASSERT_EQ(PMTicketGetCUPSOptionString(settings(), qor::jr::kClientID, &options, &error),
              kPMNoError)
        << error;
    const auto store = qor::argumentStore::initWithOptionString(options.c_str());
    auto value = [&](std::string_view key) {
        const std::string* found = store.getValue(key);
        return found ? std::optional<std::string>(*found) : std::nullopt;
    };
    EXPECT_EQ(value(jr::kPrintTo), "JRFax");
    EXPECT_EQ(value(jr::kCoverSheet), "TRUE");
    EXPECT_EQ(value(jr::kEncodingStr), "English");
    for (const auto& [key, field] : typed) EXPECT_EQ(value(key), field.second.toStdString()) << key;
    for (const auto& [key, plain] : kCoverSheet) EXPECT_EQ(value(key), plain) << key;
}

TEST_F(JobRoutingTest, TheSummaryListsTheModeAndItsFieldsWithThePINMasked) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    Click(radio(jp::kPositionFax));
    Type(recipient(), "Zoë");
    Type(phone(), "555");
    Click(radio(jp::kPositionConfidential));
    Type(userName(), "anne");
    Type(pin(), "1234");
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    const std::string mask = TextOf(pin());
    ASSERT_NE(mask, "1234");
    const std::pair<int, Pairs> cases[] = {
        {jp::kPositionPrinter, {{"Print To:", "Printer"}}},
        {jp::kPositionFax,
         {{"Print To:", "Fax"}, {"Recipient Name", "Zoë"}, {"Fax #", "555"}, {"Station Name", ""}}},
        {jp::kPositionConfidential,
         {{"Print To:", "Confidential Print"}, {"User Name", "anne"}, {"PIN(####, 1-6)", mask}}},
        {jp::kPositionRepeat, {{"Print To:", "Repeat Print"}, {"User Name", "anne"}}},
        {jp::kPositionReserve, {{"Print To:", "Reserve Print"}, {"User Name", "anne"}}},
        {jp::kPositionVerify, {{"Print To:", "Verify Print"}, {"User Name", "anne"}}},
    };
    auto summary = [&] {
        QorArrayRef titles = nullptr, values = nullptr;
        EXPECT_EQ(ops().GetSummaryText(context, &titles, &values), kPDENoErr);
        Pairs pairs;
        EXPECT_EQ(QorArrayGetCount(titles), QorArrayGetCount(values));
        for (std::size_t i = 0; i < QorArrayGetCount(titles); ++i)
            pairs.emplace_back(QorStringGetUTF8(QorArrayGetValueAtIndex(titles, i)),
                               QorStringGetUTF8(QorArrayGetValueAtIndex(values, i)));
        QorRelease(titles);
        QorRelease(values);
        return pairs;
    };
    for (const auto& [position, expected] : cases) {
        SCOPED_TRACE(position);
        Click(radio(position));
        EXPECT_EQ(summary(), expected);
    }
    DeactivateControl(group());
    EXPECT_EQ(summary(), Pairs{});
    QorArrayRef titles = nullptr, values = nullptr;
    EXPECT_EQ(ops().GetSummaryText(nullptr, &titles, &values), kPDENoContextErr);
}

}  // namespace
}  // namespace jrtest
