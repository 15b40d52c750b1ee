// The Job Routing panel's input rules: what each field lets the user type, and the check of the
// required fields when the user clicks Print.
#include "JobRoutingFixture.h"

namespace jrtest {
namespace {

TEST_F(JobRoutingTest, EachFieldTakesOnlyItsCharactersUpToItsLength) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    struct Case {
        const char* name;
        Field field;
        int position;
        QString typed;
        QString kept;
        int beeps;
    };
    const QString digits = "0123456789";
    const Case cases[] = {
        {"fax number takes digits, not letters", &JobRoutingTest::phone, jp::kPositionFax, "5a",
         "5", 1},
        {"fax number takes W but not w", &JobRoutingTest::phone, jp::kPositionFax, "Ww", "W", 1},
        {"fax number's whole set", &JobRoutingTest::phone, jp::kPositionFax,
         "0123456789 #&()*,-@W^", "0123456789 #&()*,-@W^", 0},
        {"fax number refuses others", &JobRoutingTest::phone, jp::kPositionFax, "+.!/", "", 4},
        {"fax number stops at 60", &JobRoutingTest::phone, jp::kPositionFax,
         digits.repeated(6) + "1", digits.repeated(6), 1},
        {"PIN takes 1 to 6", &JobRoutingTest::pin, jp::kPositionConfidential, "1706", "16", 2},
        {"PIN stops at four digits", &JobRoutingTest::pin, jp::kPositionConfidential, "12345",
         "1234", 1},
        {"user name stops at 32", &JobRoutingTest::userName, jp::kPositionRepeat, QString(33, 'u'),
         QString(32, 'u'), 1},
        {"user name takes anything", &JobRoutingTest::userName, jp::kPositionRepeat, "é <x>, 'y'",
         "é <x>, 'y'", 0},
        {"recipient stops at 45", &JobRoutingTest::recipient, jp::kPositionFax, QString(46, 'r'),
         QString(45, 'r'), 1},
        {"station name stops at 20", &JobRoutingTest::station, jp::kPositionFax, QString(21, 's'),
         QString(20, 's'), 1},
        {"length counts characters, not bytes", &JobRoutingTest::station, jp::kPositionFax,
         QString(21, QChar(0x00E9)), QString(20, QChar(0x00E9)), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Click(radio(c.position));
        ControlRef field = (this->*c.field)();
        SetControlText(field, "");
        beeps = 0;
        Type(field, c.typed);
        EXPECT_EQ(TextOf(field, true), c.kept.toStdString());
        EXPECT_EQ(beeps, c.beeps);
    }

    // A full field still takes the motion keys: left, then backspace, removes the digit before.
    ControlRef field = phone();
    Click(radio(jp::kPositionFax));
    SetControlText(field, "");
    Type(field, digits.repeated(6));
    beeps = 0;
    QTest::keyClick(GetControlWidget(field), Qt::Key_Left);
    QTest::keyClick(GetControlWidget(field), Qt::Key_Backspace);
    EXPECT_EQ(beeps, 0);
    EXPECT_EQ(TextOf(field), (digits.repeated(5) + "012345679").toStdString());
}

TEST_F(JobRoutingTest, PastesKeepToTheFieldsRulesAsTypingDoes) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    struct Case {
        const char* name;
        Field field;
        int position;
        std::string before, clipboard, after;
    };
    const Case cases[] = {
        {"fax number", &JobRoutingTest::phone, jp::kPositionFax, "9,", "555-0100", "9,555-0100"},
        {"fax number with a letter", &JobRoutingTest::phone, jp::kPositionFax, "", "555 abc", ""},
        {"PIN", &JobRoutingTest::pin, jp::kPositionConfidential, "", "1234", "1234"},
        {"PIN too long", &JobRoutingTest::pin, jp::kPositionConfidential, "12", "345", "12"},
        {"user name too long", &JobRoutingTest::userName, jp::kPositionRepeat, std::string(30, 'u'),
         "abc", std::string(30, 'u')},
        {"station name", &JobRoutingTest::station, jp::kPositionFax, "HQ", ", 3rd floor",
         "HQ, 3rd floor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Click(radio(c.position));
        ControlRef field = (this->*c.field)();
        SetControlText(field, "");
        Type(field, QString::fromStdString(c.before));
        PutClipboard(c.clipboard);
        beeps = 0;
        QTest::keyClick(GetControlWidget(field), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(TextOf(field, true), c.after);
        EXPECT_EQ(beeps, c.after == c.before ? 1 : 0);
    }
}

TEST_F(JobRoutingTest, PrintIsHeldWithAnAlertWhileTheModeLacksARequiredField) {
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    struct Case {
        int position;
        std::vector<std::pair<Field, QString>> filled;
        const char* alert;  // null: the job prints
        Field focused;
    };
    const Field r = &JobRoutingTest::recipient, f = &JobRoutingTest::phone,
                s = &JobRoutingTest::station, u = &JobRoutingTest::userName,
                p = &JobRoutingTest::pin;
    const Case cases[] = {
        {jp::kPositionFax, {}, "Please enter a recipient name for the fax.", r},
        {jp::kPositionFax, {{r, "Zoë"}}, "Please enter a telephone number for the fax.", f},
        {jp::kPositionFax,
         {{r, "Zoë"}, {f, "555"}},
         "Pleae enter a station name representing your location.",
         s},
        {jp::kPositionFax, {{r, "Zoë"}, {f, "555"}, {s, "HQ"}}, nullptr, nullptr},
        {jp::kPositionConfidential, {}, "Please enter a user name.", u},
        {jp::kPositionConfidential,
         {{u, "anne"}},
         "Please enter a 4-digit PIN, using the numbers 1-6.",
         p},
        {jp::kPositionConfidential, {{u, "anne"}, {p, "12"}}, nullptr, nullptr},
        {jp::kPositionRepeat, {}, "Please enter a user name.", u},
        {jp::kPositionReserve, {}, "Please enter a user name.", u},
        {jp::kPositionVerify, {{u, "anne"}}, nullptr, nullptr},
        {jp::kPositionPrinter, {}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        SCOPED_TRACE(c.alert ? c.alert : "prints");
        for (ControlRef field : {userName(), pin(), recipient(), phone(), station()})
            SetControlText(field, "");
        Click(radio(c.position));
        for (const auto& [field, text] : c.filled) Type((this->*field)(), text);
        ClearKeyboardFocus(window);
        alerts.clear();
        printed = 0;
        Click(printButton);
        if (c.alert) {
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0].type, kAlertStopAlert);
            EXPECT_EQ(alerts[0].message, c.alert);
            EXPECT_EQ(alerts[0].explanation, "");
            EXPECT_EQ(alerts[0].buttons.size(), 1u);
            EXPECT_EQ(printed, 0);
            EXPECT_EQ(focus(), (this->*c.focused)());
        } else {
            EXPECT_TRUE(alerts.empty());
            EXPECT_EQ(printed, 1);
        }
    }
}

TEST_F(JobRoutingTest, AlertsAreShownInTheUsersLanguage) {
    env.language("de_DE");
    ASSERT_EQ(open(kColorPPD), kPDENoErr);
    Click(radio(jp::kPositionRepeat));
    Click(printButton);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].message, "Please enter a user name.");
    EXPECT_FALSE(alerts[0].message.empty());
}

}  // namespace
}  // namespace jrtest
