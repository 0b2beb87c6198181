#pragma once

#include "tests/ui/window/WindowHarness.h"

#include <gtest/gtest.h>

namespace bw::window::test {

// The program's window with its own screens over a history that holds the report of a fixture
// build scanned for real, among others with long and short names. Built once for a whole suite.
class ScannedWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    // Reduced motion again for each test, as the window was built with it: the choice lasts one
    // test, and the screens' motions run on wall time, which the tests' settling does not wait
    // out on a busy machine.
    void SetUp() override;
    static void TearDownTestSuite();

    static WindowHarness& window() { return *window_; }
    static AppModel& model() { return window_->model(); }
    static const ScanReport& report() { return *report_; }
    // Opens a new window over the history the suite began with, for a test that changed it.
    static void relaunchOverTheSuitesHistory();

private:
    static WindowHarness* window_;
    static ScanReport* report_;
    static std::vector<ScanReport>* history_;
};

// Lets layouts, queued actions and one timer turn run, so the screen stands as a user sees it.
void settleScreen();

} // namespace bw::window::test
