// The language in the Qt windows: the main window's Language menu, the windows made anew in another
// language where they were, and Qt's own texts in it.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMenu>
#include <QPushButton>

#include "platform/localized_text.h"
#include "ui/qt/qt_ui.h"

namespace {

struct LanguageMenuEntries {
    QStringList names;
    QStringList checked;
};

LanguageMenuEntries entriesOf(const QMenu& menu) {
    LanguageMenuEntries entries;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) continue;
        entries.names << action->text();
        if (action->isChecked()) entries.checked << action->text();
    }
    return entries;
}

QAction* entryNamed(const QMenu& menu, const QString& name) {
    for (QAction* action : menu.actions()) {
        if (action->text() == name) return action;
    }
    return nullptr;
}

}  // namespace

TEST(QtLanguage, TheMenuChecksTheChoiceAndDeliversTheOneChosen) {
    QtUi ui;
    ui.openMainWindow();
    MainWindow& window = *ui.mainWindow();
    EXPECT_EQ(window.actions().back(), window.languageMenu()->menuAction());  // in the context menu
    EXPECT_EQ(window.languageMenu()->title(), "Language");
    MainWindowView view;
    view.languages = choosableLanguages();
    view.language = "de";
    ui.refreshMainWindow(view);
    LanguageMenuEntries entries = entriesOf(*window.languageMenu());
    EXPECT_EQ(entries.names,
              (QStringList{"System language", "English", "Deutsch", "Polski", QString::fromUtf8("Русский")}));
    EXPECT_EQ(entries.checked, QStringList{"Deutsch"});
    view.language.clear();
    ui.refreshMainWindow(view);
    EXPECT_EQ(entriesOf(*window.languageMenu()).checked, QStringList{"System language"});

    entryNamed(*window.languageMenu(), "Polski")->trigger();
    entryNamed(*window.languageMenu(), "System language")->trigger();
    EXPECT_EQ(ui.pendingEvents(),
              (std::deque<WindowEvent>{WindowEvent::languageChosen("pl"), WindowEvent::languageChosen("")}));
}

TEST(QtLanguage, WindowsAreMadeAnewInTheLanguageWhereTheyWere) {
    QtUi ui;
    ui.openMainWindow();
    ui.mainWindow()->move(30, 40);
    ui.showMainWindow();
    ui.openInstructionsWindow();
    ui.showIconOverview({});
    ui.iconOverviewWindow()->move(70, 80);

    chooseLanguage({"de"});
    ui.remakeWindows();
    const MainWindow& window = *ui.mainWindow();
    EXPECT_EQ(window.createAtlasesButton()->text().toStdString(), localized("Create Atlases"));
    EXPECT_EQ(window.languageMenu()->title().toStdString(), localized("Language"));
    EXPECT_NE(window.languageMenu()->title(), "Language");
    EXPECT_EQ(window.pos(), QPoint(30, 40));
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(ui.instructionsWindow(), nullptr);
    EXPECT_EQ(ui.iconOverviewWindow(), nullptr);  // the flow shows it afresh
    ui.showIconOverview({});
    EXPECT_EQ(ui.iconOverviewWindow()->pos(), QPoint(70, 80));

    // Qt's own texts too, where Qt's translations are installed.
    const bool qtTranslated =
        QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm");
    if (qtTranslated) {
        EXPECT_NE(QCoreApplication::translate("QMessageBox", "Show Details..."), "Show Details...");
    }
    chooseLanguage({"en"});
    ui.remakeWindows();
    EXPECT_EQ(QCoreApplication::translate("QMessageBox", "Show Details..."), "Show Details...");
    EXPECT_EQ(ui.mainWindow()->createAtlasesButton()->text(), "Create Atlases");
    if (!qtTranslated) GTEST_SKIP() << "Qt's own translations are not installed (qt6-translations-l10n)";
}
