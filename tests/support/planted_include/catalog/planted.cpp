// A core file that breaks the layering on purpose: the include scan must refuse this tree.
#include <QString>
#include "window/main_window.h"
