// A document window with its root control, made fresh for each toolbox test and disposed after it.
#pragma once

#include <gtest/gtest.h>

#include "Toolbox.h"
#include "ToolboxWidgets.h"

class ToolboxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const Rect content{0, 0, 300, 400};
        ASSERT_EQ(CreateNewWindow(kDocumentWindowClass, kWindowNoAttributes, &content, &window),
                  noErr);
        ASSERT_EQ(GetRootControl(window, &root), noErr);
    }
    void TearDown() override { DisposeWindow(window); }

    ControlRef pane(Rect bounds, ControlRef in = nullptr) {
        ControlRef made = nullptr;
        EXPECT_EQ(CreateUserPaneControl(window, &bounds, kControlSupportsEmbedding, &made), noErr);
        if (in) {
            EXPECT_EQ(EmbedControl(made, in), noErr);
        }
        return made;
    }

    WindowRef window = nullptr;
    ControlRef root = nullptr;
};
