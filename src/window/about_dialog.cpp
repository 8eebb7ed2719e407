#include "window/about_dialog.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/messages.h"
#include "base/program_version.h"
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
    // The picture leaves the version to the program, which alone knows it: written where the
    // picture's script keeps room for it, below the name.
    const QString version =
        QString::fromStdString(MessageText(kMsgVersion)) + QLatin1Char(' ') +
        QString::fromUtf8(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size()));
    QPixmap image = ResourceImage("about");
    if (!image.isNull()) {
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(14);
        painter.setFont(font);
        painter.setPen(QColor(0xB9, 0xD3, 0xF0));
        painter.drawText(QPointF(105, 86), version);
    }
    picture->setPixmap(image);
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(ResourceText("dialog.100"));
    picture->setAccessibleDescription(
        QString::fromUtf8(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())) +
        QStringLiteral(", ") + version);
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
