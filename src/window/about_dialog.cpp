#include "window/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/language_resources.h"

namespace norvane {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("100"));
    setAccessibleName(ResourceText("dialog.100"));
    setWindowTitle(ResourceText("dialog.100"));

    auto* frame = new QFrame(this);  // owned by its Qt parent
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("148"));
    picture->setPixmap(ResourceImage("about"));
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(ResourceText("dialog.100"));
    auto* ok = new QPushButton(ResourceText("about.ok"), frame);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setMinimumSize(96, 32);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* inner = new QVBoxLayout(frame);
    inner->addWidget(picture);
    inner->addWidget(ok, 0, Qt::AlignHCenter);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

}  // namespace norvane
