// Tests of controls: geometry, values, states, visibility, popups, radio groups, rendering.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTest>

#include "ToolboxFixture.h"

namespace {

QRect geometryOf(ControlRef control) {
    return GetControlWidget(control)->geometry();
}

ControlRef checkBox(WindowRef window, Rect bounds, std::string_view title = "Check") {
    ControlRef made = nullptr;
    EXPECT_EQ(CreateCheckBoxControl(window, &bounds, title, 0, true, &made), noErr);
    return made;
}

}  // namespace

TEST_F(ToolboxTest, BoundsInWindowCoordinatesBecomeWidgetGeometryInTheEmbedder) {
    struct Case {
        const char* name;
        Rect pane;
        Rect control;
        QRect expected;  // relative to the pane's widget
    };
    const Case cases[] = {
        {"pane at origin", {0, 0, 300, 400}, {20, 209, 40, 414}, QRect(209, 20, 205, 20)},
        {"pane offset", {10, 50, 200, 350}, {22, 60, 38, 205}, QRect(10, 12, 145, 16)},
        {"left of the pane", {0, 0, 300, 400}, {22, -24, 38, 205}, QRect(-24, 22, 229, 16)},
        {"inverted rectangle", {0, 0, 300, 400}, {40, 10, 30, 5}, QRect(10, 40, 0, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ControlRef container = pane(c.pane, root);
        ControlRef control = checkBox(window, c.control);
        ASSERT_EQ(EmbedControl(control, container), noErr);
        EXPECT_EQ(geometryOf(container), QRect(c.pane.left, c.pane.top, c.pane.right - c.pane.left,
                                               c.pane.bottom - c.pane.top));
        EXPECT_EQ(geometryOf(control), c.expected);
        EXPECT_EQ(GetControlWidget(control)->parentWidget(), GetControlWidget(container));
        Rect back;
        EXPECT_EQ(*GetControlBounds(control, &back), c.control);
    }
}

TEST_F(ToolboxTest, MovingAPaneMovesWhatItEmbedsButResizingItDoesNot) {
    ControlRef container = pane({10, 10, 110, 210}, root);
    ControlRef control = checkBox(window, {20, 30, 40, 130});
    ASSERT_EQ(EmbedControl(control, container), noErr);

    MoveControl(container, 60, 110);  // to left 60, top 110
    Rect bounds;
    EXPECT_EQ(*GetControlBounds(control, &bounds), (Rect{120, 80, 140, 180}));
    EXPECT_EQ(geometryOf(control), QRect(20, 10, 100, 20));

    // A new top-left for the pane alone: the control keeps its place in the window.
    const Rect grown{100, 50, 300, 300};
    SetControlBounds(container, &grown);
    EXPECT_EQ(*GetControlBounds(control, &bounds), (Rect{120, 80, 140, 180}));
    EXPECT_EQ(geometryOf(control), QRect(30, 20, 100, 20));

    SizeControl(control, 40, 18);
    EXPECT_EQ(*GetControlBounds(control, &bounds), (Rect{120, 80, 138, 120}));
}

TEST_F(ToolboxTest, ValuesStayWithinTheirRange) {
    ControlRef box = checkBox(window, {0, 0, 20, 100});
    SetControl32BitValue(box, 5);
    EXPECT_EQ(GetControl32BitValue(box), 1);
    EXPECT_EQ(qobject_cast<QCheckBox*>(GetControlWidget(box))->checkState(), Qt::Checked);
    SetControl32BitValue(box, -3);
    EXPECT_EQ(GetControl32BitValue(box), 0);

    const Rect bounds{0, 0, 20, 100};
    ControlRef plain = NewControl(window, &bounds, "n", true, 7, 2, 9, pushButProc, 42);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(GetControlReference(plain), 42);
    EXPECT_EQ(GetControl32BitValue(plain), 7);
    SetControl32BitMaximum(plain, 4);
    EXPECT_EQ(GetControl32BitValue(plain), 4);
    SetControl32BitMinimum(plain, 6);
    EXPECT_EQ(GetControl32BitMinimum(plain), 6);
    EXPECT_EQ(GetControl32BitValue(plain), 6);  // an empty range holds its minimum
    EXPECT_EQ(NewControl(window, &bounds, "", true, 0, 0, 1, 99, 0), nullptr);
}

TEST_F(ToolboxTest, EnabledAndActiveAreSeparateFlagsAndBothGateTheWidget) {
    struct Case {
        bool enabled;
        bool active;
    };
    for (const auto& c :
         {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
        SCOPED_TRACE(testing::Message() << "enabled " << c.enabled << " active " << c.active);
        ControlRef box = checkBox(window, {0, 0, 20, 100});
        c.enabled ? EnableControl(box) : DisableControl(box);
        c.active ? ActivateControl(box) : DeactivateControl(box);
        EXPECT_EQ(IsControlEnabled(box), c.enabled);
        EXPECT_EQ(IsControlActive(box), c.active);
        EXPECT_EQ(GetControlWidget(box)->isEnabled(), c.enabled && c.active);
        // A dimmed control ignores clicks whichever flag dims it.
        EXPECT_EQ(HandleControlClick(box, {}, 0, nullptr) != kControlNoPart, c.enabled && c.active);
        EXPECT_EQ(GetControl32BitValue(box), c.enabled && c.active ? 1 : 0);
    }

    // Deactivating the embedder deactivates what it holds without touching their own flags.
    ControlRef container = pane({0, 0, 100, 100}, root);
    ControlRef inner = checkBox(window, {0, 0, 20, 100});
    EmbedControl(inner, container);
    DeactivateControl(container);
    EXPECT_FALSE(IsControlActive(inner));
    EXPECT_FALSE(GetControlWidget(inner)->isEnabled());
    ActivateControl(container);
    EXPECT_TRUE(IsControlActive(inner));
    EXPECT_TRUE(GetControlWidget(inner)->isEnabled());
}

TEST_F(ToolboxTest, HiddenEmbedderKeepsTheOwnVisibilityOfWhatItHolds) {
    ControlRef container = pane({0, 0, 100, 100}, root);
    ControlRef shown = checkBox(window, {0, 0, 20, 100});
    ControlRef hidden = checkBox(window, {20, 0, 40, 100});
    EmbedControl(shown, container);
    EmbedControl(hidden, container);
    SetControlVisibility(hidden, false, false);
    QWidget* top = GetWindowWidget(window);

    HideControl(container);
    EXPECT_FALSE(IsControlVisible(shown));
    EXPECT_TRUE(IsControlLatentlyVisible(shown));
    EXPECT_FALSE(GetControlWidget(shown)->isVisibleTo(top));

    ShowControl(container);
    EXPECT_TRUE(IsControlVisible(shown));
    EXPECT_TRUE(GetControlWidget(shown)->isVisibleTo(top));
    EXPECT_FALSE(IsControlVisible(hidden));
    EXPECT_FALSE(GetControlWidget(hidden)->isVisibleTo(top));

    // Hiding takes the keyboard focus away from the control.
    ControlRef field = nullptr;
    const Rect fieldBounds{50, 0, 70, 100};
    CreateEditUnicodeTextControl(window, &fieldBounds, "", false, nullptr, &field);
    ASSERT_EQ(SetKeyboardFocus(window, field, kControlEditTextPart), noErr);
    ControlRef focus = nullptr;
    GetKeyboardFocus(window, &focus);
    EXPECT_EQ(focus, field);
    EXPECT_EQ(SetKeyboardFocus(window, container, kControlFocusNextPart),
              errControlDoesntSupportFocus);

    // Focus that moves in the window itself (a click into another field) is followed.
    ControlRef other = nullptr;
    const Rect otherBounds{80, 0, 100, 100};
    CreateEditUnicodeTextControl(window, &otherBounds, "", false, nullptr, &other);
    ShowWindow(window);
    QApplication::setActiveWindow(top);
    QTest::mouseClick(GetControlWidget(other), Qt::LeftButton);
    GetKeyboardFocus(window, &focus);
    EXPECT_EQ(focus, other);
    SetKeyboardFocus(window, field, kControlEditTextPart);

    HideControl(field);
    GetKeyboardFocus(window, &focus);
    EXPECT_EQ(focus, nullptr);
}

TEST_F(ToolboxTest, PopupShowsItsMenuWithDisabledItemsAndKeepsAnUndrawnTitle) {
    const Rect bounds{20, 209, 40, 414};
    ControlRef popup = nullptr;
    ASSERT_EQ(CreatePopupButtonControl(window, &bounds, {}, kPopupNoMenuID, true, 0, 0, 0, &popup),
              noErr);
    MenuRef menu = nullptr;
    ASSERT_EQ(CreateNewMenu(7011, kMenuAttrNone, &menu), noErr);
    for (const char* text : {"Letter", " -1", "A4"}) {
        MenuItemIndex index = 0;
        ASSERT_EQ(AppendMenuItemTextWithCFString(menu, text, 0, 0, &index), noErr);
    }
    DisableMenuItem(menu, 2);
    ASSERT_EQ(SetControlPopupMenuHandle(popup, menu), noErr);
    SetControlTitleWithCFString(popup, "Paper Size");
    SetControl32BitValue(popup, 3);

    EXPECT_EQ(GetMenuID(menu), 7011);
    EXPECT_EQ(CountMenuItems(menu), 3);
    EXPECT_FALSE(IsMenuItemEnabled(menu, 2));
    std::string text;
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 2, &text), noErr);
    EXPECT_EQ(text, " -1");
    EXPECT_EQ(CopyMenuItemTextAsCFString(menu, 4, &text), menuItemNotFoundErr);
    EXPECT_EQ(CopyControlTitleAsCFString(popup, &text), noErr);
    EXPECT_EQ(text, "Paper Size");
    EXPECT_EQ(GetControl32BitMaximum(popup), 3);

    auto* combo = GetControlWidget(popup)->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 2);
    auto* model = qobject_cast<QStandardItemModel*>(combo->model());
    EXPECT_FALSE(model->item(1)->isEnabled());
    EXPECT_FALSE(
        GetControlWidget(popup)->findChild<QLabel*>()->isVisibleTo(GetControlWidget(popup)));

    // A disabled item cannot be chosen; an enabled one can.
    EXPECT_EQ(HandlePopupMenuSelection(popup, 2), kControlNoPart);
    EXPECT_EQ(GetControl32BitValue(popup), 3);
    EXPECT_EQ(HandlePopupMenuSelection(popup, 1), kControlMenuPart);
    EXPECT_EQ(GetControl32BitValue(popup), 1);
    EXPECT_EQ(combo->currentIndex(), 0);

    // Choosing in the widget itself passes over the disabled item and sets the value.
    ShowWindow(window);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(GetControl32BitValue(popup), 3);

    // Items added later show up in the popup too; a disposed menu leaves it empty.
    EnableMenuItem(menu, 2);
    AppendMenuItemTextWithCFString(menu, "Legal", 0, 0, nullptr);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_TRUE(model->item(1)->isEnabled());
    DisposeMenu(menu);
    EXPECT_EQ(GetControlPopupMenuHandle(popup), nullptr);
    EXPECT_EQ(combo->count(), 0);
}

TEST_F(ToolboxTest, RadioGroupValueIsThePositionOfItsChosenButton) {
    const Rect groupBounds{10, 10, 100, 200};
    ControlRef group = nullptr;
    ASSERT_EQ(CreateRadioGroupControl(window, &groupBounds, &group), noErr);
    ControlRef radios[3] = {};
    for (short i = 0; i < 3; ++i) {
        const Rect bounds{static_cast<short>(10 + 20 * i), 10, static_cast<short>(28 + 20 * i),
                          200};
        ASSERT_EQ(CreateRadioButtonControl(window, &bounds, "Option", 0, true, &radios[i]), noErr);
        ASSERT_EQ(EmbedControl(radios[i], group), noErr);
    }
    EXPECT_EQ(GetControl32BitMaximum(group), 3);

    SetControl32BitValue(group, 2);
    EXPECT_EQ(GetControl32BitValue(radios[0]), 0);
    EXPECT_EQ(GetControl32BitValue(radios[1]), 1);
    EXPECT_EQ(GetControl32BitValue(radios[2]), 0);

    EXPECT_EQ(HandleControlClick(radios[2], {}, 0, nullptr), kControlCheckBoxPart);
    EXPECT_EQ(GetControl32BitValue(group), 3);
    EXPECT_EQ(GetControl32BitValue(radios[1]), 0);
    EXPECT_FALSE(qobject_cast<QRadioButton*>(GetControlWidget(radios[1]))->isChecked());

    // A real click on the widget goes the same way; clicking the chosen button keeps it chosen.
    ShowWindow(window);
    const QPoint onTheMark(6, 9);
    QTest::mouseClick(GetControlWidget(radios[0]), Qt::LeftButton, {}, onTheMark);
    EXPECT_EQ(GetControl32BitValue(group), 1);
    QTest::mouseClick(GetControlWidget(radios[0]), Qt::LeftButton, {}, onTheMark);
    EXPECT_EQ(GetControl32BitValue(group), 1);
    EXPECT_TRUE(qobject_cast<QRadioButton*>(GetControlWidget(radios[0]))->isChecked());

    DisableControl(radios[1]);
    QTest::mouseClick(GetControlWidget(radios[1]), Qt::LeftButton, {}, onTheMark);
    EXPECT_EQ(GetControl32BitValue(group), 1);

    // When buttons go, the group follows the chosen one or has none chosen.
    SetControl32BitValue(group, 3);
    DisposeControl(radios[0]);
    EXPECT_EQ(GetControl32BitMaximum(group), 2);
    EXPECT_EQ(GetControl32BitValue(group), 2);
    DisposeControl(radios[2]);
    EXPECT_EQ(GetControl32BitValue(group), 0);
    EXPECT_EQ(GetControl32BitValue(radios[1]), 0);
}

TEST_F(ToolboxTest, ControlsAreFoundByIdAndStaleHandlesAreRefused) {
    ControlRef box = checkBox(window, {0, 0, 20, 100});
    const ControlID id{FOUR_CHAR_CODE("pde "), 7140};
    ASSERT_EQ(SetControlID(box, &id), noErr);
    ControlRef found = nullptr;
    EXPECT_EQ(GetControlByID(window, &id, &found), noErr);
    EXPECT_EQ(found, box);
    EXPECT_EQ(GetControlOwner(box), window);

    DisposeControl(box);
    EXPECT_EQ(GetControlByID(window, &id, &found), errUnknownControl);
    EXPECT_EQ(EnableControl(box), errUnknownControl);
    EXPECT_EQ(GetControl32BitValue(box), 0);
    EXPECT_EQ(EmbedControl(root, pane({0, 0, 10, 10})), errCantEmbedRoot);
    ControlRef outer = pane({0, 0, 50, 50}, root);
    ControlRef inner = pane({0, 0, 10, 10}, outer);
    EXPECT_EQ(EmbedControl(outer, inner), errCantEmbedIntoSelf);
    EXPECT_EQ(EmbedControl(inner, checkBox(window, {0, 0, 20, 100})), errControlIsNotEmbedder);
}

TEST_F(ToolboxTest, SelectionsAreByteOffsetsIntoTheUtf8Text) {
    const Rect bounds{0, 0, 20, 200};
    ControlRef field = nullptr;
    CreateEditUnicodeTextControl(window, &bounds, "Zü1", false, nullptr, &field);
    auto* line = qobject_cast<QLineEdit*>(GetControlWidget(field));
    struct Case {
        ControlEditTextSelectionRec set;
        QString selected;
        ControlEditTextSelectionRec read;
    };
    const Case cases[] = {
        {{0, 32767}, "Zü1", {0, 4}},
        {{1, 3}, "ü", {1, 3}},
        {{2, 3}, "ü", {1, 3}},  // an offset inside "ü" cuts no character: it is selected whole
        {{4, 1}, "", {4, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected.toStdString());
        ASSERT_EQ(SetControlData(field, 0, kControlEditTextSelectionTag, sizeof c.set, &c.set),
                  noErr);
        EXPECT_EQ(line->selectedText(), c.selected);
        ControlEditTextSelectionRec read;
        GetControlData(field, 0, kControlEditTextSelectionTag, sizeof read, &read, nullptr);
        EXPECT_EQ(read.selStart, c.read.selStart);
        EXPECT_EQ(read.selEnd, c.read.selEnd);
    }
}

TEST_F(ToolboxTest, RenderedControlTreeShowsRealWidgetsWhereTheBoundsSay) {
    ControlRef container = pane({0, 0, 300, 400}, root);
    ControlRef box = checkBox(window, {26, 209, 44, 414}, "Collate");
    EmbedControl(box, container);
    SetControl32BitValue(box, 1);

    const Rect popupBounds{60, 209, 80, 380};
    ControlRef popup = nullptr;
    CreatePopupButtonControl(window, &popupBounds, {}, kPopupNoMenuID, true, 0, 0, 0, &popup);
    MenuRef menu = nullptr;
    CreateNewMenu(7021, kMenuAttrNone, &menu);
    AppendMenuItemTextWithCFString(menu, "Letter", 0, 0, nullptr);
    SetControlPopupMenuHandle(popup, menu);
    SetControl32BitValue(popup, 1);
    EmbedControl(popup, container);

    const Rect labelBounds{62, 20, 78, 205};
    ControlFontStyleRec style;
    style.flags = kControlUseJustMask;
    style.just = teFlushRight;
    ControlRef label = nullptr;
    CreateStaticTextControl(window, &labelBounds, "Paper Size:", &style, &label);
    EmbedControl(label, container);

    ShowWindow(window);
    const QImage image = GetWindowWidget(window)->grab().toImage();
    ASSERT_TRUE(image.save(QStringLiteral(QOR_TEST_OUTPUT "/toolbox-controls.png")));

    const QRgb background = image.pixel(5, 295);
    auto inkIn = [&](const QRect& area) {
        int ink = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixel(x, y) != background) ++ink;
        return ink;
    };
    // Each control draws inside its own bounds, and nothing is drawn elsewhere.
    EXPECT_GT(inkIn(QRect(209, 26, 205, 18)), 40);
    EXPECT_GT(inkIn(QRect(209, 60, 171, 20)), 200);
    EXPECT_GT(inkIn(QRect(20, 62, 185, 16)), 40);
    EXPECT_EQ(inkIn(QRect(0, 0, 400, 24)), 0);
    EXPECT_EQ(inkIn(QRect(0, 84, 400, 216)), 0);
    EXPECT_EQ(inkIn(QRect(0, 26, 205, 18)), 0);
    // The right-aligned label ends at its right edge; its left part stays empty.
    EXPECT_EQ(inkIn(QRect(20, 62, 80, 16)), 0);
    // The check box's mark sits at its left edge: the box is drawn, and it is checked.
    EXPECT_GT(inkIn(QRect(209, 26, 18, 18)), 20);
}
