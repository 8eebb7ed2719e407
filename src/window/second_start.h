// A second start of the program while it runs: the second process hands its request to the
// first over the single-instance socket and ends; the first brings its window to the front.
#pragma once

#include <string>
#include <vector>

#include "base/single_instance.h"

namespace norvane {

class CNorvaneCRCToolDlg;

// Answers second starts while `window` lives: each request the guard receives is handed to
// the window's OnSecondStart. `guard` must outlive the window.
void ListenForSecondStarts(CNorvaneCRCToolDlg& window, const SingleInstanceGuard& guard);

// The request of a second start with `arguments` (the program first): the file named on its
// command line, made absolute, since the running program has a working folder of its own.
InstanceRequest SecondStartRequest(const std::vector<std::string>& arguments);

}  // namespace norvane
