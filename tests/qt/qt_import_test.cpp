// Importing from the Qt windows: the main window's actions with their shortcuts and context menu, and
// files dropped onto the main window or the overview.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include "ui/qt/qt_ui.h"

namespace {

// Drags the files over the window and drops them; whether the window took the drop.
bool dropOnto(QWidget& window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.push_back(path.contains("://") ? QUrl(path) : QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

}  // namespace

TEST(QtImport, ActionsAskForTheSourcesAndDeliverThemWithTheEvent) {
    QtUi ui;
    std::vector<import_action::Choice> asked;
    std::vector<std::vector<std::string>> answers = {
        {}, {"/packs/a.wotmod", "/packs/b.zip"}, {"/packs/loose"}};
    ui.chooseImportSources = [&](import_action::Choice choice) {
        asked.push_back(choice);
        std::vector<std::string> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    };
    ui.openMainWindow();
    MainWindow& window = *ui.mainWindow();
    // In the context menu, outside the layout the other tests pin.
    EXPECT_EQ(window.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(window.actions(), (QList<QAction*>{window.importFilesAction(), window.importFolderAction(),
                                                 window.languageMenu()->menuAction()}));
    EXPECT_EQ(window.importFilesAction()->text(), QString::fromUtf8("Import icon packs\u2026"));
    EXPECT_EQ(window.importFolderAction()->text(), QString::fromUtf8("Import icons from a folder\u2026"));

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.installDirectoryField()->setFocus();
    QTest::keyClick(window.installDirectoryField(), Qt::Key_I, Qt::ControlModifier);  // cancelled
    QTest::keyClick(window.createAtlasesButton(), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(asked,
              (std::vector<import_action::Choice>{import_action::Choice::Files, import_action::Choice::Files,
                                                  import_action::Choice::Folder}));
    EXPECT_EQ(ui.pendingEvents(),
              (std::deque<WindowEvent>{{UiEvent::ImportChosen, {"/packs/a.wotmod", "/packs/b.zip"}},
                                       {UiEvent::ImportChosen, {"/packs/loose"}}}));
}

TEST(QtImport, FilesDroppedOntoTheMainWindowOrTheOverviewAreImported) {
    QtUi ui;
    ui.openMainWindow();
    ui.showIconOverview({});
    EXPECT_TRUE(dropOnto(*ui.mainWindow(), {"/packs/a.wotmod", "/packs/icons/", "/packs/battleAtlas.xml"}));
    EXPECT_FALSE(dropOnto(*ui.iconOverviewWindow(), {"https://example.org/pack.zip"}));  // no local file
    EXPECT_TRUE(dropOnto(*ui.iconOverviewWindow(), {"/packs/b.mtmod"}));
    EXPECT_EQ(ui.pendingEvents(),
              (std::deque<WindowEvent>{
                  {UiEvent::PathsDropped, {"/packs/a.wotmod", "/packs/icons", "/packs/battleAtlas.xml"}},
                  {UiEvent::PathsDropped, {"/packs/b.mtmod"}}}));
    // A field of the window leaves the drop to the window.
    EXPECT_FALSE(ui.mainWindow()->newIconDirectoryField()->acceptDrops());
}
