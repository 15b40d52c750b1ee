// The four option panels loaded from their built bundles and driven as the print dialog does.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "OptionPanel.h"
#include "PanelHost.h"
#include "PlugInFrame.h"
#include "ToolboxWidgets.h"

using qor::core::Dictionary;
using qor::core::Value;
using qor::pde::kColorPanel;
using qor::pde::kFinishingPanel;
using qor::pde::kImagingPanel;
using qor::pde::kPaperHandlingPanel;

namespace {

struct PanelCase {
    const char* name;
    const std::string& bundle;
    const qor::pde::PanelConstants& constants;
    SInt32 idBase;
    OSStatus decline;
};

const PanelCase kColor{"Color", kColorBundle, kColorPanel, 7010, -9533};
const PanelCase kFinishing{"Finishing", kFinishingBundle, kFinishingPanel, 6010, -9533};
const PanelCase kImaging{"Imaging", kImagingBundle, kImagingPanel, 5010, -9530};
const PanelCase kPaperHandling{"PaperHandling", kPaperHandlingBundle, kPaperHandlingPanel, 8010,
                               -9530};

// The mono PPD as a queue whose finisher the administrator has set as installed.
std::string finisherInstalledPPD() {
    return variantPPD(kMonoPPD, "finisher-installed.ppd",
                      {{"*DefaultOutputFinisher:", "*DefaultOutputFinisher: InstalledM"}});
}

// A maker's PPD without any keyword of the option panels.
std::string bareMakerPPD() {
    std::string path = std::string(QOR_TEST_OUTPUT) + "/bare.ppd";
    std::ofstream(path) << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
                           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n"
                           "*PCFileName: \"BARE.PPD\"\n*Manufacturer: \"Quorvan\"\n"
                           "*ModelName: \"Quorvan Bare\"\n*NickName: \"Quorvan Bare\"\n"
                           "*QuorvanPDEID: \"Quorvan\"\n";
    return path;
}

std::string text(MenuRef menu, MenuItemIndex item) {
    std::string t;
    CopyMenuItemTextAsCFString(menu, item, &t);
    return t;
}

}  // namespace

TEST(OptionPanelTest, DeclinesPrintersItDoesNotServe) {
    const std::string finisherless =
        variantPPD(kMonoPPD, "no-finisher.ppd", {{"OutputFinisher", ""}});
    const std::string installedNoStaples =
        variantPPD(finisherInstalledPPD(), "no-finishing-keys.ppd", {{"Staple", ""}, {"Jog", ""}});
    struct Case {
        const PanelCase& panel;
        std::string ppd;
        OSStatus result;
    };
    const Case cases[] = {
        // Another maker's printer; the Finishing panel's finisher check comes first.
        {kColor, kOtherMakerPPD, -9533},
        {kImaging, kOtherMakerPPD, -9530},
        {kPaperHandling, kOtherMakerPPD, -9530},
        {kFinishing, kOtherMakerPPD, -9530},
        // A maker's PPD without any listed keyword.
        {kColor, bareMakerPPD(), -9533},
        {kImaging, bareMakerPPD(), -9530},
        {kPaperHandling, bareMakerPPD(), -9530},
        {kColor, kMonoPPD, -9533},
        {kFinishing, installedNoStaples, -9533},
        // The finisher gate: absent, not installed, installed.
        {kFinishing, finisherless, -9530},
        {kFinishing, kMonoPPD, -9533},
        {kFinishing, finisherInstalledPPD(), 0},
        // A finisher without the installed option is not a reason to decline.
        {kFinishing, variantPPD(kMonoPPD, "finisher-no-installed-option.ppd", {{"InstalledM", ""}}),
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.panel.name << " with " << c.ppd);
        PanelHost host(c.panel.bundle, c.panel.constants.factoryID);
        EXPECT_EQ(host.initialize(c.ppd), c.result);
        if (c.result != 0) {
            EXPECT_TRUE(host.children().empty());
        }
    }
}

TEST(OptionPanelTest, EntryPointsWithoutContextSessionOrPrinter) {
    PanelHost host(kFinishingBundle, kFinishingPanel.factoryID);
    EXPECT_EQ(host.ops().Initialize(host.context(), nullptr, 0, nullptr, nullptr), -9530);
    EXPECT_EQ(host.ops().Initialize(nullptr, nullptr, 0, nullptr, host.session()), -9530);
    EXPECT_EQ(host.ops().Sync(host.context(), nullptr, true), -30879);
    EXPECT_EQ(host.ops().Sync(nullptr, host.session(), false), -30879);
    QorArrayRef titles = nullptr, summaries = nullptr;
    EXPECT_EQ(host.ops().GetSummaryText(nullptr, &titles, &summaries), -9530);
    EXPECT_EQ(titles, nullptr);
    // No printer, so no compiled PPD: no gate, no controls, the closing Sync's result.
    EXPECT_EQ(host.initialize(""), 0);
    EXPECT_TRUE(host.children().empty());
    EXPECT_EQ(host.sync(false), 0);
    EXPECT_TRUE(host.settings().empty());
}

TEST(OptionPanelTest, EachPanelShowsItsListedKeywordsWithIdsByPosition) {
    struct Case {
        const PanelCase& panel;
        std::string ppd;
        std::vector<const char*> titles;  // in list order, as the summary shows them
    };
    const Case cases[] = {
        {kColor,
         kColorPPD,
         {"Color Mode", "Color Correction", "Manual RGB Image", "Manual RGB Text",
          "Manual RGB Graphics", "Manual CMYK"}},
        {kFinishing, finisherInstalledPPD(), {"Staple", "Offset Jobs"}},
        {kImaging, kMonoPPD, {"Resolution", "Print Density", "Edge Smoothing", "Toner Save"}},
        {kPaperHandling,
         kColorPPD,
         {"Paper Size", "Paper Source", "Paper Type", "Two-Sided Printing", "Output Tray"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panel.name);
        PanelHost host(c.panel.bundle, c.panel.constants.factoryID);
        EXPECT_EQ(host.title(), c.panel.constants.titleKey == std::string("PaperHandling")
                                    ? "Paper Handling"
                                    : c.panel.constants.titleKey);
        ASSERT_EQ(host.initialize(c.ppd), 0);
        for (std::size_t i = 0; i < c.titles.size(); ++i) {
            ControlRef control = host.control(c.panel.idBase + 10 * static_cast<SInt32>(i));
            ASSERT_NE(control, nullptr) << i;
            std::string title;
            CopyControlTitleAsCFString(control, &title);
            EXPECT_EQ(title, c.titles[i]);
        }
        EXPECT_EQ(host.control(c.panel.idBase + 10 * static_cast<SInt32>(c.titles.size())),
                  nullptr);
        // The pane ends 10 pixels below where the next control would go.
        Rect pane;
        GetControlBounds(host.pane(), &pane);
        Rect last;
        GetControlBounds(
            host.control(c.panel.idBase + 10 * static_cast<SInt32>(c.titles.size() - 1)), &last);
        EXPECT_GT(pane.bottom, last.bottom);
        EXPECT_LE(pane.bottom, last.bottom + 26);
        const auto summary = host.summary();
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->titles, std::vector<std::string>(c.titles.begin(), c.titles.end()));
    }
}

TEST(OptionPanelTest, KeywordMissingFromThePPDTakesNoPlace) {
    // The Color list starts with ColorModel: absent, or present only as a plain value, it gets
    // no control and color correction takes the first id.
    const std::string removed = variantPPD(kColorPPD, "no-colormodel.ppd", {{"ColorModel", ""}});
    const std::string plain =
        variantPPD(kColorPPD, "plain-colormodel.ppd",
                   {{"ColorModel", ""}, {"*cupsVersion:", "*ColorModel: \"RGB\""}});
    for (const std::string& ppd : {removed, plain}) {
        SCOPED_TRACE(ppd);
        PanelHost host(kColorBundle, kColorPanel.factoryID);
        ASSERT_EQ(host.initialize(ppd), 0);
        ControlRef first = host.control(7010);
        ASSERT_NE(first, nullptr);
        std::string title;
        CopyControlTitleAsCFString(first, &title);
        EXPECT_EQ(title, "Color Correction");
        Rect bounds;
        GetControlBounds(first, &bounds);
        EXPECT_EQ(bounds.top, 20);
        EXPECT_NE(host.control(7050), nullptr);
        EXPECT_EQ(host.control(7060), nullptr);
    }
}

TEST(OptionPanelTest, SyncStoresAndRestoresThePPDDictionary) {
    PanelHost host(kPaperHandlingBundle, kPaperHandlingPanel.factoryID);
    ASSERT_EQ(host.initialize(kColorPPD), 0);
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_EQ(host.settings(), (Dictionary{{"PageSize", "Letter"},
                                           {"InputSlot", "Auto"},
                                           {"MediaType", "Plain"},
                                           {"Duplex", "None"},
                                           {"OutputBin", "Upper"}}));

    // An unknown option and a value of the wrong kind fall back to the default; an unknown
    // keyword is left alone; the others follow the dictionary.
    Dictionary& settings = host.settings();
    settings.set("PageSize", Value("A4"));
    settings.set("InputSlot", Value("Tray9"));
    settings.set("MediaType", Value(3));
    settings.set("Duplex", Value("DuplexTumble"));
    settings.set("Unknown", Value("Thing"));
    SetControl32BitValue(host.control(8020), 3);
    SetControl32BitValue(host.control(8030), 2);
    ASSERT_EQ(host.sync(true), 0);
    EXPECT_EQ(GetControl32BitValue(host.control(8010)), 4);
    EXPECT_EQ(GetControl32BitValue(host.control(8020)), 1);
    EXPECT_EQ(GetControl32BitValue(host.control(8030)), 1);
    EXPECT_EQ(GetControl32BitValue(host.control(8040)), 3);
    EXPECT_EQ(GetControl32BitValue(host.control(8050)), 1);

    // A deactivated control neither stores nor summarises.
    DeactivateControl(host.control(8050));
    SetControl32BitValue(host.control(8020), 4);
    settings.erase("OutputBin");
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_FALSE(settings.contains("OutputBin"));
    EXPECT_EQ(*settings.findString("InputSlot"), "Manual");
    EXPECT_EQ(*settings.findString("Unknown"), "Thing");
    const auto summary = host.summary();
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->titles, (std::vector<std::string>{"Paper Size", "Paper Source", "Paper Type",
                                                         "Two-Sided Printing"}));
    EXPECT_EQ(summary->summaries,
              (std::vector<std::string>{"A4", "Manual Feed", "Plain Paper", "Short-Edge Binding"}));

    // With every control inactive the lists are there, and empty.
    for (SInt32 id = 8010; id <= 8040; id += 10) DeactivateControl(host.control(id));
    const auto empty = host.summary();
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->titles.empty());
    EXPECT_TRUE(empty->summaries.empty());
}

// Every bundle shows a stored choice of each of its keywords and stores it back unchanged.
TEST(OptionPanelTest, EachPanelRestoresAndStoresEveryChoiceOfItsPPD) {
    struct Case {
        const PanelCase& panel;
        std::string ppd;
        Dictionary chosen;  // none of them the PPD's default
    };
    const Case cases[] = {
        {kColor,
         kColorPPD,
         {{"ColorModel", "Gray"},
          {"MediaColor", "Manual"},
          {"ManualRGBImage", "Off"},
          {"ManualRGBText", "Display"},
          {"ManualRGBGraphics", "Off"},
          {"ManualCMYK", "Euroscale"}}},
        {kFinishing, finisherInstalledPPD(), {{"Staple", "DualLeft"}, {"Jog", "True"}}},
        {kImaging,
         kMonoPPD,
         {{"Resolution", "1200dpi"},
          {"Darkness", "Dark"},
          {"Smoothing", "False"},
          {"TonerSave", "True"}}},
        {kPaperHandling,
         kColorPPD,
         {{"PageSize", "EnvDL"},
          {"InputSlot", "Tray2"},
          {"MediaType", "Cardstock"},
          {"Duplex", "DuplexTumble"},
          {"OutputBin", "Rear"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panel.name);
        PanelHost host(c.panel.bundle, c.panel.constants.factoryID);
        ASSERT_EQ(host.initialize(c.ppd), 0);
        Dictionary& settings = host.settings();
        settings = c.chosen;
        settings.set("Unknown", Value("Thing"));
        ASSERT_EQ(host.sync(true), 0);

        // Stored into settings that hold only what the panels do not own.
        settings = Dictionary{{"Unknown", Value("Thing")}};
        ASSERT_EQ(host.sync(false), 0);
        Dictionary expected = c.chosen;
        expected.set("Unknown", Value("Thing"));
        EXPECT_EQ(settings, expected);
    }
}

// A popup whose menu is gone still gets its summary line, empty, so the two lists stay in step.
TEST(OptionPanelTest, SummaryListsStayInStepWhenAMenuTextCannotBeHad) {
    const Rect content{0, 0, 200, 400};
    WindowRef window = nullptr;
    ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window), noErr);
    const Rect bounds{20, 209, 40, 414};
    const auto keySet = [&](const char* title, std::int16_t pick, ControlRef control,
                            MenuRef menu) {
        SetControlTitleWithCFString(control, title);
        KeySetInfo info;
        info.keyStringRef = title;
        info.PPDUISetRef = {1, 1, pick, 2};
        info.keyControlRef = control;
        info.keyMenuRef = menu;
        return info;
    };
    const auto popup = [&](std::vector<const char*> items, SInt32 value, MenuRef* menu) {
        ControlRef made = nullptr;
        CreatePopupButtonControl(window, &bounds, {}, kPopupNoMenuID, true, 0, 0, 0, &made);
        CreateNewMenu(7011, kMenuAttrNone, menu);
        for (const char* item : items) AppendMenuItemTextWithCFString(*menu, item, 0, 0, nullptr);
        SetControlPopupMenuHandle(made, *menu);
        SetControl32BitValue(made, value);
        return made;
    };

    qor::pde::OptionPanelContext context;
    context.PPDKeySetInfoRef = std::make_unique<KeySetList>();
    KeySetList& list = *context.PPDKeySetInfoRef;
    list.append(keySet("Collate", kPPDBoolean,
                       NewControl(window, &bounds, {}, true, 1, 0, 1, checkBoxAutoToggleProc, 7010),
                       nullptr));
    MenuRef source = nullptr;
    ControlRef sourcePopup = popup({"Tray 1", "Tray 2"}, 2, &source);
    list.append(keySet("Source", kPPDPickOne, sourcePopup, source));
    MenuRef media = nullptr;
    ControlRef mediaPopup = popup({"Plain"}, 1, &media);
    list.append(keySet("Media", kPPDPickOne, mediaPopup, media));
    DisposeMenu(media);

    const qor::pde::OptionPanelFields fields{context, context.currentContrlRect,
                                             context.lastControlType, context.PPDKeySetInfoRef};
    QorArrayRef titles = nullptr;
    QorArrayRef summaries = nullptr;
    EXPECT_NE(qor::pde::OptionPanelGetSummaryText(fields, &titles, &summaries), noErr);
    ASSERT_TRUE(titles && summaries);
    std::vector<std::string> gotTitles, gotSummaries;
    for (std::size_t i = 0; i < QorArrayGetCount(titles); ++i)
        gotTitles.push_back(QorStringGetUTF8(QorArrayGetValueAtIndex(titles, i)));
    for (std::size_t i = 0; i < QorArrayGetCount(summaries); ++i)
        gotSummaries.push_back(QorStringGetUTF8(QorArrayGetValueAtIndex(summaries, i)));
    EXPECT_EQ(gotTitles, (std::vector<std::string>{"Collate", "Source", "Media"}));
    EXPECT_EQ(gotSummaries, (std::vector<std::string>{"On", "Tray 2", ""}));
    QorRelease(titles);
    QorRelease(summaries);
    DisposeMenu(source);
    DisposeWindow(window);
}

// A checked box stands for the option that reads "On", wherever the PPD lists it.
TEST(OptionPanelTest, CheckboxValuesAndOptionPositions) {
    const auto options = [](const char* first, const char* second) {
        return KeywordInfoList{{"K", "A", first, "False"}, {"K", "B", second, "False"}};
    };
    struct Case {
        KeywordInfoList options;
        std::size_t uncheckedPosition, checkedPosition;
    };
    const Case cases[] = {
        {options("On", "Off"), 1, 0},
        {options("Off", "On"), 0, 1},
        {options("Yes", "No"), 0, 1},  // no "On": the value is the position
        {options("On", "On"), 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options[0][kInfoTranslation] + "/" + c.options[1][kInfoTranslation]);
        EXPECT_EQ(qor::pde::CheckBoxOptionPosition(c.options, 0), c.uncheckedPosition);
        EXPECT_EQ(qor::pde::CheckBoxOptionPosition(c.options, 1), c.checkedPosition);
        EXPECT_EQ(qor::pde::CheckBoxValueForPosition(c.options, c.uncheckedPosition), 0);
        EXPECT_EQ(qor::pde::CheckBoxValueForPosition(c.options, c.checkedPosition), 1);
    }
}

// Our PPDs list an on/off keyword's "On" option first; a checked box must still mean "On".
TEST(OptionPanelTest, CheckboxesStoreAndShowTheOptionThatReadsOn) {
    PanelHost host(kImagingBundle, kImagingPanel.factoryID);
    ASSERT_EQ(host.initialize(kMonoPPD), 0);
    ControlRef smoothing = host.control(5030);
    ControlRef tonerSave = host.control(5040);
    EXPECT_EQ(GetControl32BitValue(smoothing), 1);  // default True/On
    EXPECT_EQ(GetControl32BitValue(tonerSave), 0);  // default False/Off
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_EQ(*host.settings().findString("Smoothing"), "True");
    EXPECT_EQ(*host.settings().findString("TonerSave"), "False");
    auto summary = host.summary();
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->summaries, (std::vector<std::string>{"600 dpi", "Normal", "On", "Off"}));

    host.settings().set("Smoothing", Value("False"));
    host.settings().set("TonerSave", Value("True"));
    ASSERT_EQ(host.sync(true), 0);
    EXPECT_EQ(GetControl32BitValue(smoothing), 0);
    EXPECT_EQ(GetControl32BitValue(tonerSave), 1);
    summary = host.summary();
    EXPECT_EQ(summary->summaries, (std::vector<std::string>{"600 dpi", "Normal", "Off", "On"}));
    HandleControlClick(smoothing, Point{}, 0, nullptr);
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_EQ(*host.settings().findString("Smoothing"), "True");
}

class ColorPanelTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(host.initialize(kColorPPD), 0); }

    ControlRef colorCorrection() { return host.control(7020); }
    std::vector<SInt32> manualValues() {
        std::vector<SInt32> values;
        for (SInt32 id = 7030; id <= 7060; id += 10)
            values.push_back(GetControl32BitValue(host.control(id)));
        return values;
    }
    void chooseManualSettings() {
        for (SInt32 id = 7030; id <= 7060; id += 10) SetControl32BitValue(host.control(id), 3);
    }

    PanelHost host{kColorBundle, kColorPanel.factoryID};
    // Defaults: Photographic, Vivid, Vivid, US Press.
    const std::vector<SInt32> kDefaults{1, 2, 2, 1};
};

TEST_F(ColorPanelTest, StoringWithoutManualCorrectionWritesTheManualDefaults) {
    EXPECT_EQ(text(GetControlPopupMenuHandle(colorCorrection()), 5), "Manual");
    chooseManualSettings();
    SetControl32BitValue(colorCorrection(), 2);  // Vivid
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_EQ(manualValues(), kDefaults);
    const Dictionary& settings = host.settings();
    EXPECT_EQ(*settings.findString("MediaColor"), "Vivid");
    EXPECT_EQ(*settings.findString("ManualRGBImage"), "Photographic");
    EXPECT_EQ(*settings.findString("ManualRGBText"), "Vivid");
    EXPECT_EQ(*settings.findString("ManualRGBGraphics"), "Vivid");
    EXPECT_EQ(*settings.findString("ManualCMYK"), "Press");

    chooseManualSettings();
    SetControl32BitValue(colorCorrection(), 5);  // Manual
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_EQ(manualValues(), (std::vector<SInt32>{3, 3, 3, 3}));
    EXPECT_EQ(*settings.findString("ManualRGBImage"), "Display");
    EXPECT_EQ(*settings.findString("ManualCMYK"), "Off");
}

TEST_F(ColorPanelTest, ChoosingAnotherCorrectionResetsTheManualSettingsAtOnce) {
    setenv("PDEDebug", "", 1);
    chooseManualSettings();
    testing::internal::CaptureStdout();
    HandlePopupMenuSelection(colorCorrection(), 5);
    EXPECT_EQ(manualValues(), (std::vector<SInt32>{3, 3, 3, 3}));
    HandlePopupMenuSelection(colorCorrection(), 3);
    const std::string out = testing::internal::GetCapturedStdout();
    unsetenv("PDEDebug");
    EXPECT_EQ(manualValues(), kDefaults);
    EXPECT_EQ(out, "Manual (5)\nNot Manual (3)\n");
    EXPECT_TRUE(host.settings().empty());  // choosing stores nothing by itself
}

TEST_F(ColorPanelTest, InactiveColorCorrectionLeavesTheManualSettingsAlone) {
    chooseManualSettings();
    DeactivateControl(colorCorrection());
    ASSERT_EQ(host.sync(false), 0);
    EXPECT_EQ(manualValues(), (std::vector<SInt32>{3, 3, 3, 3}));
    EXPECT_FALSE(host.settings().contains("MediaColor"));
    EXPECT_EQ(*host.settings().findString("ManualRGBText"), "Display");
}

// Pictures of the built panes, under the build folder, for a reviewer to look at.
TEST(OptionPanelScreenshotTest, EachPaneShowsALabelledColumnOfControls) {
    struct Case {
        const PanelCase& panel;
        std::string ppd;
    };
    const Case cases[] = {{kColor, kColorPPD},
                          {kFinishing, finisherInstalledPPD()},
                          {kImaging, kMonoPPD},
                          {kPaperHandling, kColorPPD}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panel.name);
        PanelHost host(c.panel.bundle, c.panel.constants.factoryID);
        ASSERT_EQ(host.initialize(c.ppd), 0);
        QWidget* window = GetWindowWidget(host.window());
        ASSERT_NE(window, nullptr);
        Rect pane;
        GetControlBounds(host.pane(), &pane);
        const QImage image =
            window->grab(QRect(pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top))
                .toImage();
        const std::string path = std::string(QOR_TEST_OUTPUT) + "/" + c.panel.name + ".png";
        EXPECT_TRUE(image.save(QString::fromStdString(path)));

        // Every control's widget sits where its bounds say and draws something there.
        for (ControlRef control : host.children()) {
            Rect b;
            GetControlBounds(control, &b);
            QWidget* widget = GetControlWidget(control);
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(widget->isVisible());
            EXPECT_EQ(widget->mapTo(window, QPoint(0, 0)), QPoint(b.left, b.top));
            const int left = std::max<int>(b.left, pane.left) - pane.left;
            const int right = std::min<int>(b.right, pane.right) - pane.left;
            std::set<QRgb> colours;
            for (int y = b.top - pane.top; y < b.bottom - pane.top; ++y)
                for (int x = left; x < right; ++x) colours.insert(image.pixel(x, y));
            EXPECT_GT(colours.size(), 2u) << "blank control at " << b.top << "," << b.left;
        }
        // Below the last control the pane is plain background.
        std::set<QRgb> below;
        for (int x = 0; x < image.width(); ++x) below.insert(image.pixel(x, image.height() - 2));
        EXPECT_EQ(below.size(), 1u);
    }
}
