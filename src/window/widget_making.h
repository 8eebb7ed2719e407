#pragma once

// Small helpers the window's builders share: a widget made with its Qt parent and object name
// (tests and assistive technology find it by that name), and a label's text as a screen reader
// should say it.

#include <QLatin1Char>
#include <QString>
#include <QWidget>

namespace norvane {

template <class Widget>
Widget* Make(QWidget* parent, const char* id) {
    auto* widget = new Widget(parent);  // owned by its Qt parent
    widget->setObjectName(QString::fromLatin1(id));
    return widget;
}

// Without the mnemonic and a trailing colon.
inline QString SpokenName(QString text) {
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text.trimmed();
}

}  // namespace norvane
