// The command line sits beside the window, never on it.
#include "verification/verification_model.h"
#include "window/main_window.h"
