#include "ui/QtLanguage.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>
#include <optional>

#include "messages/Messages.h"

namespace tv {

namespace {

struct AppliedLanguage {
    std::optional<MessageLanguage> language;
    QTranslator* translator = nullptr;  // owned by the application object
};

AppliedLanguage& Applied() {
    static AppliedLanguage applied;
    return applied;
}

}  // namespace

void ApplyLanguageToQt() {
    AppliedLanguage& applied = Applied();
    const MessageLanguage language = SelectedLanguage();
    if (applied.language == language) return;
    applied.language = language;

    if (applied.translator != nullptr) {
        QCoreApplication::removeTranslator(applied.translator);
        delete applied.translator;
        applied.translator = nullptr;
    }
    const QLocale locale = language == MessageLanguage::French ? QLocale(QLocale::French, QLocale::France)
                                                               : QLocale(QLocale::English, QLocale::UnitedStates);
    if (language != MessageLanguage::English) {
        // English needs none: it is the language Qt is written in.
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(translator)) {
            applied.translator = translator;
        } else {
            delete translator;
        }
    }
    QLocale::setDefault(locale);
    // Widgets took the default locale when they were made: they take it again.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->testAttribute(Qt::WA_SetLocale)) window->unsetLocale();
    }
}

}  // namespace tv
