// Settings -> Self-test: the self-test run in the window, its page in a print preview from
// which the user prints it or saves it as PDF, as the verification record is.
#pragma once

#include <QString>
#include <vector>

#include "report/self_test.h"

namespace norvane {

// The page of `checks` as this program states it: its own executable, the Qt it runs on.
QString SelfTestPage(const std::vector<SelfTestCheck>& checks);

}  // namespace norvane
