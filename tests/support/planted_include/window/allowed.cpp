// Qt and every core folder are allowed in the window folder: the check must not report this file.
#include <QWidget>
#include "parameter_view.h"
#include "report/audit.h"
