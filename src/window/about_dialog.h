// The about box: the product's picture and an OK button, without a title bar.
#pragma once

#include <QDialog>

namespace norvane {

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace norvane
