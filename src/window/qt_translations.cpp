#include "window/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace norvane {

namespace {

QPointer<QTranslator>& Installed() {
    static QPointer<QTranslator> translator;
    return translator;
}

}  // namespace

bool LoadQtTranslations(const QString& language) {
    ReleaseQtTranslations();
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || language.isEmpty() || language == QLatin1String("en")) {
        return false;
    }
    auto* translator = new QTranslator(application);  // owned by the application
    // qtbase holds the widgets', the dialogs' and the print preview's texts.
    if (!translator->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        translator->deleteLater();  // never installed; its parent would keep it until the end
        return false;
    }
    Installed() = translator;
    return true;
}

void ReleaseQtTranslations() {
    if (QTranslator* translator = Installed()) {
        QCoreApplication::removeTranslator(translator);
        translator->deleteLater();  // a child of the application, which would keep it
    }
    Installed() = nullptr;
}

}  // namespace norvane
