#include "ui/qt/qt_languages.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

std::vector<std::string> desktopLanguages() {
    std::vector<std::string> languages;
    for (const QString& language : QLocale::system().uiLanguages())
        languages.push_back(language.toStdString());
    return languages;
}

bool QtOwnTranslations::follow(const std::string& language) {
    if (language == language_) return loaded_ || language == "en";
    translator_.reset();
    language_ = language;
    loaded_ = false;
    if (language == "en") return true;
    auto translator = std::make_unique<QTranslator>();
    // "qtbase_pt_BR" is looked for, then "qtbase_pt".
    if (!translator->load(QString::fromStdString("qtbase_" + language),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator_ = std::move(translator);
    loaded_ = true;
    return true;
}
