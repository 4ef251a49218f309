#pragma once

// The languages as Qt knows them: the desktop's, and Qt's own texts in the program's language.

#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

// The languages the desktop asks for, most wanted first, as Qt reads them from the system.
std::vector<std::string> desktopLanguages();

// The texts Qt draws itself (the folder picker, the message box's "Show Details…", standard buttons) in
// the program's language, from the translations Qt ships (Debian's qt6-translations-l10n). Where they
// are not installed, those texts stay English and the program's own are translated as always.

class QtOwnTranslations {
public:
    // Installs Qt's translation of the language, replacing the one before; none for English. Whether
    // Qt's texts are now in the language.
    bool follow(const std::string& language);

private:
    std::string language_ = "en";
    bool loaded_ = false;
    std::unique_ptr<QTranslator> translator_;  // removes itself from the application when deleted
};
