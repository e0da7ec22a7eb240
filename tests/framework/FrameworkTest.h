#pragma once
// What the window tests share: every box is recorded instead of shown, one
// application object per test, and code run inside a modal dialog from its own
// message loop.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/WinCore.h"

namespace fwtest {

// The boxes shown since the last call, each as "caption: text", without an
// error box's GetLastError line.
std::vector<std::string> TakeBoxes();

// The whole text, however long.
std::string TextOf(HWND window);

// Calls `open`, which runs a modal dialog, with `body` run inside that dialog's
// own loop on its window; the body ends it. False when none came.
bool InDialog(const std::function<void()>& open, std::function<void(HWND dialog)> body);

// Fails on any box the test did not take, and clears what the test left queued.
void EndWindowTest();

// One application object per test.
template <class App>
class AppTest : public ::testing::Test {
  protected:
    void TearDown() override { EndWindowTest(); }
    App m_App{GetModuleHandleA(nullptr)};
};

using FrameworkTest = AppTest<Windows::CApp>;

}  // namespace fwtest
