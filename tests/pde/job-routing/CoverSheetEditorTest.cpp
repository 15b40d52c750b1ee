// The fax cover sheet editor driven as a user would: keys and pastes in its fields, the comments
// box's five lines, OK and Cancel, and what reaches the print settings afterwards.
#include <QImage>
#include <QWidget>

#include "JobRoutingFixture.h"

namespace jrtest {
namespace {

constexpr OSType kEditorSignature = FOUR_CHAR_CODE("JRcs");
enum : SInt32 { kPages = 3, kToName = 4, kToVoice = 5, kCompany = 7, kFax = 10, kEmail = 12 };
constexpr SInt32 kComments = 13;

ControlRef Item(WindowRef dialog, SInt32 item) {
    return ControlWithID(dialog, kEditorSignature, item);
}
QWidget* Widget(WindowRef dialog, SInt32 item) {
    return GetControlWidget(Item(dialog, item));
}
void TypeIn(WindowRef dialog, SInt32 item, const QString& keys) {
    SetKeyboardFocus(dialog, Item(dialog, item), kControlEditTextPart);
    Keys(Widget(dialog, item), keys);
}
void Press(WindowRef dialog, SInt32 item, int key, Qt::KeyboardModifiers modifiers = {}) {
    SetKeyboardFocus(dialog, Item(dialog, item), kControlEditTextPart);
    QTest::keyClick(Widget(dialog, item), static_cast<Qt::Key>(key), modifiers);
}
void Paste(WindowRef dialog, SInt32 item) {
    Press(dialog, item, Qt::Key_V, Qt::ControlModifier);
}
// Lines typed into the comments box, with Return between them.
void TypeLines(WindowRef dialog, const std::vector<QString>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) Press(dialog, kComments, Qt::Key_Return);
        Keys(Widget(dialog, kComments), lines[i]);
    }
}
std::vector<std::string> BoxLines(WindowRef dialog) {
    std::vector<std::string> lines;
    GetTextBoxLines(Item(dialog, kComments), &lines);
    return lines;
}

class CoverSheetEditorTest : public JobRoutingTest {
  protected:
    void SetUp() override {
        JobRoutingTest::SetUp();
        ASSERT_EQ(open(kColorPPD), kPDENoErr);
        chooseFaxWithCoverSheet();
    }
    // Opens the editor with the edit button and runs the steps in it.
    std::size_t edit(std::deque<ModalScript::Step> steps) {
        ModalScript script(std::move(steps));
        Click(editButton());
        return script.left();
    }
};

TEST_F(CoverSheetEditorTest, EnterConfirmsEscapeCancelsAndReturnInAFieldDoesNothing) {
    setItem(jr::kCSCompany, "Old<20>Co");
    ppdDict().set("PrintTo", "JRFax");
    setItem(jr::kCoverSheet, "TRUE");
    ASSERT_EQ(restore(), kPDENoErr);
    Type(recipient(), "Zoë");

    EXPECT_EQ(edit({
                  [](WindowRef d) {
                      EXPECT_EQ(TextOf(Item(d, kToName)), "Zoë");
                      EXPECT_FALSE(IsControlActive(Item(d, kToName)));
                      EXPECT_EQ(TextOf(Item(d, kCompany)), "Old Co");
                      SetControlText(Item(d, kCompany), "");
                      TypeIn(d, kCompany, "ACME");
                  },
                  [](WindowRef d) { Press(d, kCompany, Qt::Key_Return); },
                  [](WindowRef d) { Press(d, kCompany, Qt::Key_Enter); },
              }),
              0u);
    EXPECT_EQ(beeps, 0);
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item(jr::kCSCompany), "ACME");
    EXPECT_EQ(item(jr::kCSRecipient), "");  // the editor shows the field but does not store it

    // Cancel gives back what the panel had when the editor opened.
    EXPECT_EQ(edit({
                  [](WindowRef d) {
                      TypeIn(d, kCompany, " Ltd");
                      TypeLines(d, {"scribble"});
                  },
                  [](WindowRef d) { Press(d, kCompany, Qt::Key_Escape); },
              }),
              0u);
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item(jr::kCSCompany), "ACME");
    EXPECT_EQ(item("JRCSCOMMNTA"), "");
}

TEST_F(CoverSheetEditorTest, ADialogThatGoesAwayWhileOpenEndsTheEditorAsCancel) {
    EXPECT_EQ(edit({
                  [](WindowRef d) {
                      TypeIn(d, kCompany, "ACME");
                      DisposeWindow(d);
                  },
              }),
              0u);
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item(jr::kCSCompany), "");
}

TEST_F(CoverSheetEditorTest, FieldsRefuseKeysAndPastesBeyondTheirLength) {
    EXPECT_EQ(edit({
                  [&](WindowRef d) {
                      TypeIn(d, kPages, "12345");
                      EXPECT_EQ(TextOf(Item(d, kPages)), "1234");
                      EXPECT_EQ(beeps, 1);
                      SetControlText(Item(d, kPages), "12");
                      PutClipboard("345");
                      Paste(d, kPages);  // 2 + 3 > 4
                      EXPECT_EQ(TextOf(Item(d, kPages)), "12");
                      EXPECT_EQ(beeps, 2);
                      Press(d, kPages, Qt::Key_A, Qt::ControlModifier);  // select both
                      Paste(d, kPages);
                      EXPECT_EQ(TextOf(Item(d, kPages)), "345");
                      EXPECT_EQ(beeps, 2);
                      ClearCurrentScrap();
                      Paste(d, kFax);  // nothing to paste
                      EXPECT_EQ(beeps, 3);
                      TypeIn(d, kToVoice, QString(21, '5'));
                      TypeIn(d, kFax, QString(21, '6'));
                      TypeIn(d, kEmail, QString(46, 'e'));
                      EXPECT_EQ(TextOf(Item(d, kToVoice)), std::string(20, '5'));
                      EXPECT_EQ(TextOf(Item(d, kFax)), std::string(20, '6'));
                      EXPECT_EQ(TextOf(Item(d, kEmail)), std::string(45, 'e'));
                      EXPECT_EQ(beeps, 6);
                  },
                  [](WindowRef d) { Press(d, kPages, Qt::Key_Enter); },
              }),
              0u);
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item(jr::kCSPages), "345");
    EXPECT_EQ(item(jr::kCSRecVoice), std::string(20, '5'));
}

TEST_F(CoverSheetEditorTest, CommentsAreTheBoxsLinesAndReopeningShowsThemLineByLine) {
    setItem("JRCSCOMMNTD", "old fourth");
    ppdDict().set("PrintTo", "JRFax");
    setItem(jr::kCoverSheet, "TRUE");
    ASSERT_EQ(restore(), kPDENoErr);
    EXPECT_EQ(
        edit({
            [](WindowRef d) {
                EXPECT_EQ(BoxLines(d), std::vector<std::string>({"\r", "\r", "\r", "old fourth"}));
                SetControlText(Item(d, kComments), "");
                TypeLines(d, {"one, two", "three's", "<four>"});
            },
            [](WindowRef d) { Press(d, kPages, Qt::Key_Enter); },
        }),
        0u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"JRCSCOMMNTA", "one, two"}, {"JRCSCOMMNTB", "three's"}, {"JRCSCOMMNTC", "<four>"},
        {"JRCSCOMMNTD", ""},         {"JRCSCOMMNTE", ""},        {"JRCSCOMMNTF", ""}};
    ASSERT_EQ(store(), kPDENoErr);
    for (const auto& [key, plain] : expected)
        EXPECT_EQ(item(key), jr::encodeSpecialCharacters(plain)) << key;

    // Confirming again, untouched, keeps the three lines apart.
    EXPECT_EQ(edit({
                  [](WindowRef d) {
                      EXPECT_EQ(BoxLines(d),
                                std::vector<std::string>({"one, two\r", "three's\r", "<four>"}));
                      Press(d, kPages, Qt::Key_Enter);
                  },
              }),
              0u);
    ASSERT_EQ(store(), kPDENoErr);
    for (const auto& [key, plain] : expected)
        EXPECT_EQ(item(key), jr::encodeSpecialCharacters(plain)) << key;
}

TEST_F(CoverSheetEditorTest, TheCommentsBoxHoldsAtMostFiveLinesAsItWrapsThem) {
    EXPECT_EQ(edit({
                  [&](WindowRef d) {
                      SetKeyboardFocus(d, Item(d, kComments), kControlEditTextPart);
                      TypeLines(d, {"1", "2", "3", "4", "5"});
                      EXPECT_EQ(beeps, 0);
                      Press(d, kComments, Qt::Key_Return);  // a sixth line
                      EXPECT_EQ(beeps, 1);
                      EXPECT_EQ(BoxLines(d).size(), 5u);
                      // A word that would wrap onto a sixth line stops where it would.
                      QTest::keyClicks(Widget(d, kComments), QString(300, 'm'));
                      EXPECT_GT(beeps, 1);
                      EXPECT_EQ(BoxLines(d).size(), 5u);
                      const int refused = beeps;
                      PutClipboard("x");
                      Paste(d, kComments);
                      EXPECT_EQ(beeps, refused + 1);
                      // With room again, a paste of two lines fits.
                      SetControlText(Item(d, kComments), "1\r2\r3");
                      PutClipboard("a\nb");
                      Press(d, kComments, Qt::Key_End, Qt::ControlModifier);
                      Paste(d, kComments);
                      EXPECT_EQ(beeps, refused + 1);
                      EXPECT_EQ(BoxLines(d).size(), 4u);
                      PutClipboard("c\nd\ne");  // lines four to six
                      Paste(d, kComments);
                      EXPECT_EQ(beeps, refused + 2);
                      EXPECT_EQ(BoxLines(d).size(), 4u);
                  },
                  [](WindowRef d) { Press(d, kPages, Qt::Key_Enter); },
              }),
              0u);
    ASSERT_EQ(store(), kPDENoErr);
    EXPECT_EQ(item("JRCSCOMMNTA"), "1");
    EXPECT_EQ(item("JRCSCOMMNTC"), "3a");
    EXPECT_EQ(item("JRCSCOMMNTD"), "b");
    EXPECT_EQ(item("JRCSCOMMNTE"), "");
}

TEST_F(CoverSheetEditorTest, TheEditButtonOpensNothingWhileTheCoverSheetIsOff) {
    Click(checkBox());
    EXPECT_EQ(edit({[](WindowRef d) { Press(d, kPages, Qt::Key_Enter); }}), 1u);
}

TEST_F(CoverSheetEditorTest, ThePanelFitsItsPaneAndLooksRight) {
    Type(recipient(), "Zoë O'Brien");
    Type(phone(), "555 0100");
    Type(station(), "Head office");
    // Every control of the panel lies inside the host's pane.
    Rect paneBounds;
    GetControlBounds(pane, &paneBounds);
    UInt16 count = 0;
    CountSubControls(pane, &count);
    EXPECT_GT(count, 10);
    for (UInt16 i = 1; i <= count; ++i) {
        ControlRef child = nullptr;
        GetIndexedSubControl(pane, i, &child);
        Rect b;
        GetControlBounds(child, &b);
        EXPECT_GE(b.top, paneBounds.top);
        EXPECT_LE(b.bottom, paneBounds.bottom);
        EXPECT_GE(b.left, paneBounds.left);
        EXPECT_LE(b.right, paneBounds.right);
    }
    const QString output = QStringLiteral(QOR_TEST_OUTPUT);
    EXPECT_TRUE(GetWindowWidget(window)->grab().save(output + "/job-routing-fax.png"));
    EXPECT_EQ(
        edit({
            [&](WindowRef d) {
                TypeIn(d, kCompany, "ACME");
                TypeLines(d, {"Please call me back,", "thanks."});
                EXPECT_TRUE(GetWindowWidget(d)->grab().save(output + "/cover-sheet-editor.png"));
                Press(d, kPages, Qt::Key_Escape);
            },
        }),
        0u);
}

}  // namespace
}  // namespace jrtest
