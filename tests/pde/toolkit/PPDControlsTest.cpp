// The column of PPD controls: its layout arithmetic, the two kinds of control and their menus.
#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "PPDControls.h"

void PrintTo(const Rect& r, std::ostream* os) {
    *os << "{" << r.top << ", " << r.left << ", " << r.bottom << ", " << r.right << "}";
}

namespace {

class PPDControlsTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(ppdOpenCompiledPPDFromFile(QOR_TEST_FIXTURES "/controls.ppd", &ppd), kPPDNoErr);
        setInstallableOptions(ppd, nullptr);
        const Rect content{0, 0, 300, 400};
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window),
                  noErr);
        ASSERT_EQ(CreateUserPaneControl(window, &content, kControlSupportsEmbedding, &pane), noErr);
    }
    void TearDown() override {
        for (const KeySetInfo& info : keySets) DisposeMenu(info.keyMenuRef);
        DisposeWindow(window);
        ppdCloseCompiledPPD(ppd);
    }

    // The key set of a keyword of the fixture, as a panel reads it.
    KeySetInfo keySet(const std::string& keyword) {
        Str255 name;
        PStringFromString(keyword, name);
        xUIHeader header;
        EXPECT_TRUE(ppdGetUIHeader(ppd, ppdGetMainIndex(ppd, name), &header)) << keyword;
        KeySetInfo info;
        info.keyStringRef = keyword;
        GetUIListFromPPD(ppd, &info.PPDkeyInfoArrayRef, &header, &info.keyDefault);
        SaveUIHeaderSet(&header, &info.PPDUISetRef);
        return info;
    }

    // Makes the keyword's control at the layout rectangle and keeps its key set for the test.
    KeySetInfo& make(const std::string& keyword, SInt32 id = 7010) {
        keySets.push_back(keySet(keyword));
        status =
            CreateControlFromContext(ppd, &layout, nullptr, &lastType, pane, &keySets.back(), id);
        return keySets.back();
    }

    static Rect bounds(ControlRef control) {
        Rect r;
        GetControlBounds(control, &r);
        return r;
    }

    // The pane's controls that no key set records: the popups' labels.
    std::vector<ControlRef> labels() {
        std::vector<ControlRef> found;
        UInt16 count = 0;
        CountSubControls(pane, &count);
        for (UInt16 i = 1; i <= count; ++i) {
            ControlRef child = nullptr;
            GetIndexedSubControl(pane, i, &child);
            bool recorded = false;
            for (const KeySetInfo& info : keySets) recorded |= info.keyControlRef == child;
            if (!recorded) found.push_back(child);
        }
        return found;
    }

    PPDContextViel ppd = nullptr;
    WindowRef window = nullptr;
    ControlRef pane = nullptr;
    Rect layout;
    std::int16_t lastType = 0;
    OSStatus status = 1;
    std::deque<KeySetInfo> keySets;
};

}  // namespace

TEST_F(PPDControlsTest, WorkedColumnOfPopupsAndCheckboxes) {
    PositionControl(pane, &layout);
    EXPECT_EQ(layout, (Rect{20, 209, 40, 414}));

    struct Step {
        const char* keyword;
        Rect control;
        Rect after;
        std::int16_t lastType;
    };
    // A pick-many popup first: after a pick-one popup the last type is 0, the same as before
    // any control, and a checkbox would take the first row's spacing instead.
    const Step steps[] = {
        {"Density", {20, 209, 40, 414}, {52, 209, 72, 414}, kPPDPickMany},
        {"Collate", {50, 209, 68, 414}, {72, 209, 92, 414}, kPPDBoolean},
        {"Staple", {72, 209, 90, 414}, {94, 209, 114, 414}, kPPDBoolean},
        {"Source", {106, 209, 126, 414}, {138, 209, 158, 414}, kPPDPickOne},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.keyword);
        KeySetInfo& info = make(step.keyword);
        EXPECT_EQ(status, noErr);
        ASSERT_NE(info.keyControlRef, nullptr);
        EXPECT_EQ(bounds(info.keyControlRef), step.control);
        EXPECT_EQ(layout, step.after);
        EXPECT_EQ(lastType, step.lastType);
        ControlRef parent = nullptr;
        GetSuperControl(info.keyControlRef, &parent);
        EXPECT_EQ(parent, pane);
        EXPECT_TRUE(IsControlVisible(info.keyControlRef));
    }
    // Each popup has its label, flush right, ending 4 pixels left of the column.
    const std::vector<ControlRef> texts = labels();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(bounds(texts[0]), (Rect{22, -24, 38, 205}));
    EXPECT_EQ(bounds(texts[1]), (Rect{108, -24, 124, 205}));
    std::string text;
    CopyControlText(texts[0], &text);
    EXPECT_EQ(text, "Density:");
}

TEST_F(PPDControlsTest, SpacingDependsOnTheLastAndTheNextKind) {
    struct Case {
        std::int16_t lastType;
        const char* keyword;
        Rect control;
    };
    // From a rectangle at 100..120: checkbox rows are 18 high, popup rows 20.
    const Case cases[] = {
        {0, "Collate", {106, 209, 124, 414}},
        {0, "Source", {100, 209, 120, 414}},
        {kPPDBoolean, "Collate", {100, 209, 118, 414}},
        {kPPDBoolean, "Source", {112, 209, 132, 414}},
        {kPPDPickMany, "Collate", {98, 209, 116, 414}},
        {kPPDPickMany, "Source", {100, 209, 120, 414}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lastType << " then " << c.keyword);
        layout = Rect{100, 209, 120, 414};
        lastType = c.lastType;
        const KeySetInfo& info = make(c.keyword);
        EXPECT_EQ(bounds(info.keyControlRef), c.control);
    }
}

TEST_F(PPDControlsTest, SingleFixedOptionGetsNoControl) {
    layout = Rect{52, 209, 72, 414};
    lastType = kPPDBoolean;
    status = 1;
    const KeySetInfo& info = make("Fixed");
    EXPECT_EQ(status, noErr);
    EXPECT_EQ(layout, (Rect{52, 209, 72, 414}));
    EXPECT_EQ(lastType, kPPDBoolean);
    EXPECT_EQ(info.keyControlRef, nullptr);
    EXPECT_EQ(info.keyMenuRef, nullptr);
    UInt16 count = 1;
    CountSubControls(pane, &count);
    EXPECT_EQ(count, 0);
}

TEST_F(PPDControlsTest, PopupMenuListsOptionsWithSignsSetApartAndForbiddenOnesDisabled) {
    PositionControl(pane, &layout);
    const KeySetInfo& density = make("Density", 5030);
    MenuRef menu = density.keyMenuRef;
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetControlPopupMenuHandle(density.keyControlRef), menu);
    EXPECT_EQ(GetMenuID(menu), 5031);
    std::vector<std::string> items;
    for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) {
        std::string text;
        CopyMenuItemTextAsCFString(menu, i, &text);
        items.push_back(text);
    }
    EXPECT_EQ(items, (std::vector<std::string>{" -1", "Normal", " +2"}));
    EXPECT_EQ(GetControl32BitMinimum(density.keyControlRef), 1);
    EXPECT_EQ(GetControl32BitMaximum(density.keyControlRef), 3);
    EXPECT_EQ(GetControl32BitValue(density.keyControlRef), 2);  // the PPD's default
    std::string title;
    CopyControlTitleAsCFString(density.keyControlRef, &title);
    EXPECT_EQ(title, "Density");

    // Tray 2 is not installed, so the second source cannot be chosen.
    const KeySetInfo& source = make("Source", 5040);
    EXPECT_TRUE(IsMenuItemEnabled(source.keyMenuRef, 1));
    EXPECT_FALSE(IsMenuItemEnabled(source.keyMenuRef, 2));
    EXPECT_TRUE(IsMenuItemEnabled(source.keyMenuRef, 3));
    EXPECT_EQ(CountMenuItems(source.keyMenuRef), 3);
}

TEST_F(PPDControlsTest, CheckboxCarriesItsIdAndDefaultAndGoesBackToIt) {
    PositionControl(pane, &layout);
    const KeySetInfo& collate = make("Collate", 6020);
    const KeySetInfo& staple = make("Staple", 6030);
    EXPECT_EQ(GetControlReference(collate.keyControlRef), 6020);
    EXPECT_EQ(collate.keyMenuRef, nullptr);
    EXPECT_EQ(GetControl32BitValue(collate.keyControlRef), 1);  // default reads "On"
    EXPECT_EQ(GetControl32BitValue(staple.keyControlRef), 0);
    std::string title;
    CopyControlTitleAsCFString(collate.keyControlRef, &title);
    EXPECT_EQ(title, "Collate");

    // A click toggles the box by itself.
    HandleControlClick(collate.keyControlRef, Point{}, 0, nullptr);
    EXPECT_EQ(GetControl32BitValue(collate.keyControlRef), 0);
    SetControlToDefault(&collate);
    EXPECT_EQ(GetControl32BitValue(collate.keyControlRef), 1);
}
