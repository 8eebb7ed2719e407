// Qt is allowed in the window folder: the scan must not report this file.
#include <QWidget>
