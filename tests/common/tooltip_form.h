// What the tests of cTooltips share on both systems: a shown form with a
// button and a line edit, the instance under test, and the answers that are
// the class's own. Each system's tests then read the tip back where it
// lives: tests/support from the Qt bubble, tests/win32_gui from the real
// tooltip window.
// Before windows.h: the class has a member named like one of its macros.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "support/c_tooltips.h"

namespace qm::testing {

inline platform::WindowHandle HandleOf(const QWidget& widget) {
  return static_cast<platform::WindowHandle>(widget.winId());
}

class TooltipForm : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<QWidget>();
    form_->setGeometry(100, 100, 320, 200);
    save_ = new QPushButton(QStringLiteral("Save"), form_.get());
    save_->setGeometry(10, 10, 100, 30);
    name_ = new QLineEdit(form_.get());
    name_->setGeometry(10, 60, 200, 24);
    // Native controls: each has a window handle of its own that a tool can
    // name.
    save_->winId();
    name_->winId();
    form_->show();
    QApplication::processEvents();
  }

  // Creates the tip window and shows the save button's tip at (40, 50).
  void ShowSaveTip(const QString& text) {
    ASSERT_TRUE(tips_.Create(*form_));
    ASSERT_TRUE(
        tips_.AddTool(HandleOf(*save_), platform::tip::kTrack | platform::tip::kAbsolute, text));
    ASSERT_TRUE(tips_.SetTrackPosition(HandleOf(*save_), 40, 50));
    ASSERT_TRUE(tips_.SetTracking(HandleOf(*save_), true));
  }

  // Before Create every member is refused or reads as nothing.
  void ExpectNothingBeforeCreate() {
    EXPECT_FALSE(tips_.AddTool(HandleOf(*save_), 0, QStringLiteral("Save")));
    EXPECT_FALSE(tips_.SetTipText(HandleOf(*save_), QStringLiteral("x")));
    EXPECT_FALSE(tips_.SetTracking(HandleOf(*save_), true));
    EXPECT_FALSE(tips_.DeleteTool(*save_));
    EXPECT_FALSE(tips_.SetToolRect(*save_, 0, 0, 5, 5));
    EXPECT_FALSE(tips_.HitTest(*save_, 1, 1));
    EXPECT_FALSE(tips_.SetTitle(QStringLiteral("Hint")));
    EXPECT_FALSE(tips_.SetIcon(1));
    EXPECT_FALSE(tips_.SetBackColor(0xFFFFFF));
    EXPECT_FALSE(tips_.SetMarginTop(5));
    EXPECT_FALSE(tips_.SetMaxTipWidth(100));
    EXPECT_FALSE(tips_.SetDelayTime(platform::tip::kDelayInitial, 10));
    EXPECT_FALSE(tips_.HideTips());
    EXPECT_FALSE(tips_.SetEnabled(false));  // kept, but sent nowhere
    EXPECT_EQ(tips_.hwnd(), 0u);
    EXPECT_EQ(tips_.ToolCount(), 0);
    EXPECT_EQ(tips_.MaxTipWidth(), 0);
    EXPECT_EQ(tips_.MarginLeft() + tips_.MarginTop() + tips_.MarginRight() + tips_.MarginBottom(),
              0);
    EXPECT_EQ(tips_.BackColor(), 0u);
    EXPECT_EQ(tips_.ForeColor(), 0u);
    EXPECT_EQ(tips_.GetDelayTime(platform::tip::kDelayInitial), 0);
    EXPECT_FALSE(tips_.Enabled());
    EXPECT_TRUE(tips_.Title().isEmpty());
    EXPECT_EQ(tips_.Icon(), 0);
    EXPECT_EQ(tips_.ToolTipWidthFromText(0, QStringLiteral("Save")), 0);
    EXPECT_EQ(tips_.TextHeightFromToolTipHeight(0, 40), 0);
  }

  std::unique_ptr<QWidget> form_;
  QPushButton* save_ = nullptr;
  QLineEdit* name_ = nullptr;
  cTooltips tips_;
};

}  // namespace qm::testing
