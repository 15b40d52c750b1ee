// Tests of the clipboard and of the line layout of text boxes.
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include "ToolboxFixture.h"

TEST(ToolboxClipboardTest, TextGoesRoundInBothFlavorsAndMissingFlavorsSaySo) {
    ScrapRef scrap = nullptr;
    ASSERT_EQ(GetCurrentScrap(&scrap), noErr);
    ASSERT_EQ(ClearCurrentScrap(), noErr);
    Size size = 0;
    EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noTypeErr);

    const std::string text = "Zürich 5551234";
    ASSERT_EQ(PutScrapFlavor(scrap, kScrapFlavorTypeText, kScrapFlavorMaskNone,
                             static_cast<Size>(text.size()), text.data()),
              noErr);
    ASSERT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noErr);
    EXPECT_EQ(size, static_cast<Size>(text.size()));
    std::string back(static_cast<std::size_t>(size), '\0');
    ASSERT_EQ(GetScrapFlavorData(scrap, kScrapFlavorTypeText, &size, back.data()), noErr);
    EXPECT_EQ(back, text);

    ASSERT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeUnicode, &size), noErr);
    EXPECT_EQ(size, 14 * 2);
    std::u16string units(14, u'\0');
    Size asked = 4;  // a short buffer gets what fits
    EXPECT_EQ(GetScrapFlavorData(scrap, kScrapFlavorTypeUnicode, &asked, units.data()), noErr);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(units.substr(0, 2), u"Zü");

    const std::uint32_t custom[] = {1, 2, 3};
    const ScrapFlavorType own = FOUR_CHAR_CODE("qorx");
    ASSERT_EQ(PutScrapFlavor(scrap, own, 0, sizeof custom, custom), noErr);
    EXPECT_EQ(GetScrapFlavorSize(scrap, own, &size), noErr);
    EXPECT_EQ(size, static_cast<Size>(sizeof custom));
    EXPECT_EQ(GetScrapFlavorSize(scrap, kScrapFlavorTypeText, &size), noErr);  // text stays
    EXPECT_EQ(PutScrapFlavor(scrap, kScrapFlavorTypeUnicode, 0, 3, "abc"), paramErr);

    ClearCurrentScrap();
    EXPECT_EQ(GetScrapFlavorSize(scrap, own, &size), noTypeErr);
}

namespace {

// The lines the box itself shows, read from its document once it is laid out on screen.
int shownLines(QPlainTextEdit* edit) {
    int lines = 0;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return lines;
}

}  // namespace

TEST_F(ToolboxTest, TextBoxLinesAreTheLinesTheBoxWrapsItsTextInto) {
    const Rect bounds{10, 10, 130, 110};  // narrow: 100 pixels
    ControlRef box = nullptr;
    ASSERT_EQ(CreateMultilineEditTextControl(window, &bounds, "", nullptr, &box), noErr);
    auto* edit = qobject_cast<QPlainTextEdit*>(GetControlWidget(box));
    ASSERT_NE(edit, nullptr);

    std::vector<std::string> lines;
    ASSERT_EQ(GetTextBoxLines(box, &lines), noErr);
    EXPECT_EQ(lines, std::vector<std::string>{""});

    const std::string text =
        "Please call me back tomorrow morning\rThanks\r\rAn extraordinarilylongwordwithoutbreaks";
    SetControlText(box, text);
    ItemCount counted = 0;
    ASSERT_EQ(CountTextBoxLines(box, text, &counted), noErr);
    ASSERT_EQ(GetTextBoxLines(box, &lines), noErr);
    EXPECT_EQ(lines.size(), counted);
    EXPECT_GT(counted, 6u);  // the long paragraph and the long word both wrap
    std::string joined;
    for (const auto& line : lines) joined += line;
    EXPECT_EQ(joined, text);
    EXPECT_EQ(lines[0].back(), ' ');  // wrapped at a word boundary

    // The count agrees with what the widget lays out when it is on screen.
    ShowWindow(window);
    QCoreApplication::processEvents();
    EXPECT_EQ(shownLines(edit), static_cast<int>(counted));

    struct Case {
        const char* text;
        ItemCount lines;
    };
    for (const auto& c :
         {Case{"", 1}, Case{"a\rb\rc\rd\re", 5}, Case{"a\rb\rc\rd\r", 5}, Case{"a\r\nb", 2}}) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(CountTextBoxLines(box, c.text, &counted), noErr);
        EXPECT_EQ(counted, c.lines);
    }
    ControlRef field = nullptr;
    CreateEditUnicodeTextControl(window, &bounds, "", false, nullptr, &field);
    EXPECT_EQ(CountTextBoxLines(field, "x", &counted), errDataNotSupported);
}
