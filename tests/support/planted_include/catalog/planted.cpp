// A core file that breaks the layering on purpose: the include check must refuse this tree.
#include <QString>
#include "window/main_window.h"
#include "xml/xml_tree.h"
// A bracket and a line continuation must not shift the line numbers of what follows: [ \
static const char k[] = "]";
#include "safety/safety_crc.h"
