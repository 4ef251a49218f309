#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "../support/main_window_layout_check.h"
#include "../support/shown_texts.h"
#include "platform/localized_text.h"
#include "ui/qt/caption_font.h"
#include "ui/qt/icon_grid_model.h"
#include "ui/qt/installation_chooser.h"
#include "ui/qt/instructions_window.h"
#include "ui/qt/qt_ui.h"

namespace {

MainWindowView filledView() {
    MainWindowView view;
    view.installDirectory = "/games/World_of_Tanks/with/a/rather/long/path/that/does/not/fit/into/the/field/";
    view.gameVersion = "1.20.0.0";
    view.atlases = {{{"/home/modder/ravelin/defaultBattleImages/", 1523},
                     {"/home/modder/ravelin/defaultMarkerImages/", 612}}};
    view.newIconDirectory = "/home/modder/ravelin/newTankImages/";
    view.newIcons = 7;
    return view;
}

// Windows of a type among the children (findChildren needs a meta-object of that type).
template <typename Window>
int childWindowsOf(const QWidget& parent) {
    int count = 0;
    for (const QObject* child : parent.children()) count += dynamic_cast<const Window*>(child) ? 1 : 0;
    return count;
}

// Saves a picture of the window when RAVELIN_SCREENSHOTS names a directory, for looking at by eye.
void saveScreenshot(QWidget& window, const char* name) {
    const QByteArray directory = qgetenv("RAVELIN_SCREENSHOTS");
    if (!directory.isEmpty()) window.grab().save(QString::fromUtf8(directory) + "/" + name + ".png");
}

}  // namespace

TEST(MainWindow, ControlsSitAtTheirPlacesInCreationAndTabOrder) {
    QtUi ui;
    ASSERT_TRUE(ui.openMainWindow());
    MainWindow& window = *ui.mainWindow();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Ravelin");
    EXPECT_EQ(window.size(), QSize(main_window::kClientWidth, main_window::kClientHeight));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    EXPECT_EQ(window.iconOverviewButton()->text(), QString::fromUtf8("Icons\u2026"));
    const QObjectList& children = window.children();
    expectControlsAtTheirLayoutPlaces([&](const main_window::PlacedControl& placed) {
        QWidget* control = window.control(placed);
        const QRect place = control->geometry();
        return SeenControl{{place.x(), place.y(), place.width(), place.height()},
                           static_cast<int>(children.indexOf(control))};
    });
    std::vector<QString> captions;
    for (QLabel* label : window.captionLabels()) captions.push_back(label->text());
    EXPECT_EQ(captions, (std::vector<QString>{QString::fromUtf8("World of Tanks® install directory:"),
                                              "Battle Atlas icon directory:", "Marker Atlas icon directory:",
                                              "New contour icon directory:"}));

    ui.refreshMainWindow(filledView());  // every control enabled
    window.show();
    window.activateWindow();
    window.installDirectoryField()->setFocus();
    std::vector<QWidget*> chain;
    QWidget* widget = window.installDirectoryField();
    for (int i = 0; i < 10; ++i, widget = widget->nextInFocusChain()) {
        while (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isEnabled())
            widget = widget->nextInFocusChain();
        chain.push_back(widget);
    }
    std::vector<QWidget*> tabOrder;  // the layout's order, without the captions
    for (const main_window::PlacedControl& placed : main_window::placedControls()) {
        if (placed.role != main_window::MainControlRole::DirectoryCaption)
            tabOrder.push_back(window.control(placed));
    }
    EXPECT_EQ(chain, tabOrder);
    // The space bar toggles the box as a click does.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(window.saveInGameDirectoryBox(), &press);
    QApplication::sendEvent(window.saveInGameDirectoryBox(), &release);
    EXPECT_EQ(ui.waitEvent(), UiEvent::SaveInGameDirectoryChecked);
}

TEST(MainWindow, RefreshFillsFieldsStatusLineAndCreateButton) {
    QtUi ui;
    ui.openMainWindow();
    MainWindow& window = *ui.mainWindow();
    EXPECT_FALSE(window.createAtlasesButton()->isEnabled());
    EXPECT_FALSE(window.saveInGameDirectoryBox()->isEnabled());
    EXPECT_FALSE(window.saveInGameDirectoryBox()->isChecked());
    for (QLabel* field : window.statusFields()) EXPECT_TRUE(field->text().isEmpty());

    MainWindowView view = filledView();
    view.newIconDirectory.clear();
    ui.refreshMainWindow(view);
    EXPECT_FALSE(window.createAtlasesButton()->isEnabled());
    view = filledView();
    ui.refreshMainWindow(view);
    EXPECT_TRUE(window.createAtlasesButton()->isEnabled());
    EXPECT_TRUE(window.saveInGameDirectoryBox()->isEnabled());  // a game directory is known
    EXPECT_FALSE(window.saveInGameDirectoryBox()->isChecked());
    view.saveInGameDirectory = true;
    ui.refreshMainWindow(view);
    EXPECT_TRUE(window.saveInGameDirectoryBox()->isChecked());
    EXPECT_TRUE(ui.pendingEvents().empty());  // the refresh is not a click

    EXPECT_EQ(window.installDirectoryField()->text().toStdString(), view.installDirectory);
    EXPECT_TRUE(window.installDirectoryField()->isReadOnly());
    EXPECT_EQ(window.newIconDirectoryField()->text(), "/home/modder/ravelin/newTankImages/");
    const auto& status = window.statusFields();
    EXPECT_EQ(status[0]->text(), "Game Version: 1.20.0.0");
    EXPECT_EQ(status[1]->text(), "Battle icons found: 1523");
    EXPECT_EQ(status[2]->text(), "Marker icons found: 612");
    EXPECT_EQ(status[3]->text(), "New icons found: 7");
    EXPECT_TRUE(status[0]->alignment() & Qt::AlignLeft);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(status[static_cast<std::size_t>(i)]->geometry().width(), 150);
        EXPECT_EQ(status[static_cast<std::size_t>(i)]->geometry().x(), 150 * i);
        if (i > 0) {
            EXPECT_TRUE(status[static_cast<std::size_t>(i)]->alignment() & Qt::AlignRight);
        }
    }
    window.show();
    saveScreenshot(window, "main-window");
}

// The windows carry the program's icon: the dark rounded square, clear in its corners.
TEST(MainWindow, HasTheProgramsIcon) {
    QtUi ui;
    ui.openMainWindow();
    const QIcon icon = ui.mainWindow()->windowIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_RGBA8888);
    ASSERT_EQ(image.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(6, 32), qRgba(0x2b, 0x3a, 0x42, 255));
}

TEST(MainWindow, EveryCaptionFitsItsBoxInTheSystemsFontMadeSmallerOnlyWhereNeeded) {
    QtUi ui;
    ui.openMainWindow();
    MainWindow& window = *ui.mainWindow();
    std::vector<QWidget*> controls(window.captionLabels().begin(), window.captionLabels().end());
    controls.insert(controls.end(), {window.saveInGameDirectoryBox(), window.createAtlasesButton(),
                                     window.iconOverviewButton()});
    controls.insert(controls.end(), window.statusFields().begin(), window.statusFields().end());
    const auto captions = main_window::captionsAndWidths();
    ASSERT_EQ(controls.size(), captions.size());
    const QFont system = QApplication::font();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QString caption = qtText(captions[i].first);
        SCOPED_TRACE(caption.toStdString());
        const QFont font = controls[i]->font();
        EXPECT_EQ(font.family(), system.family());
        EXPECT_GE(font.pointSizeF(), 7.0);
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(caption), captions[i].second);
        // Smaller than the system's only when the system's would not fit a caption of the same group.
        bool systemsMisfits = false;
        for (std::size_t j = 0; j < controls.size(); ++j) {
            systemsMisfits =
                systemsMisfits ||
                (controls[j]->font() == font &&
                 QFontMetrics(system).horizontalAdvance(qtText(captions[j].first)) > captions[j].second);
        }
        EXPECT_EQ(font.pointSizeF() < system.pointSizeF(), systemsMisfits);
    }
    EXPECT_EQ(window.installDirectoryField()->font(), system);
    for (QLabel* label : window.captionLabels()) EXPECT_EQ(label->font(), window.captionLabels()[0]->font());
    for (QLabel* label : window.captionLabels()) EXPECT_LE(label->sizeHint().width(), label->width());
}

TEST(MainWindow, ButtonsAndCloseBoxDeliverTheirEvents) {
    QtUi ui;
    ui.openMainWindow();
    MainWindow& window = *ui.mainWindow();
    ui.refreshMainWindow(filledView());
    window.chooseGameDirectoryButton()->click();
    window.chooseNewIconsDirectoryButton()->click();
    window.instructionsButton()->click();
    window.createAtlasesButton()->click();
    window.iconOverviewButton()->click();
    window.saveInGameDirectoryBox()->click();
    window.saveInGameDirectoryBox()->click();
    MainWindowView noGame = filledView();
    noGame.installDirectory.clear();
    ui.refreshMainWindow(noGame);
    window.saveInGameDirectoryBox()->click();  // disabled without a game: nothing
    QCloseEvent close;
    QApplication::sendEvent(&window, &close);
    EXPECT_FALSE(close.isAccepted());  // the flow ends the program, not the window
    const std::vector<UiEvent> expected = {UiEvent::ChooseGameDirectory,
                                           UiEvent::ChooseNewIconsDirectory,
                                           UiEvent::OpenInstructions,
                                           UiEvent::CreateAtlases,
                                           UiEvent::OpenIconOverview,
                                           UiEvent::SaveInGameDirectoryChecked,
                                           UiEvent::SaveInGameDirectoryUnchecked,
                                           UiEvent::MainWindowCloseRequest};
    for (const UiEvent event : expected) EXPECT_EQ(ui.waitEvent(), event);
    EXPECT_TRUE(ui.pendingEvents().empty());
}

TEST(ProgressWindow, ShowsTextAndClampedBarAndIsReplacedByTheNextOne) {
    QtUi ui;
    ui.openMainWindow();
    ui.showMainWindow();
    ui.setProgressText("nothing open");  // does nothing
    ui.setProgressBar(50);
    ui.openProgressWindow("Unpacking Atlas files");
    ProgressWindow* first = ui.progressWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->size(), QSize(300, 90));
    EXPECT_EQ(first->windowTitle(), "Unpacking Atlas files");
    EXPECT_TRUE(first->windowFlags() & Qt::Tool);
    EXPECT_FALSE(first->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(first->parentWidget(), ui.mainWindow());
    EXPECT_EQ(first->textLine()->geometry(), rectOf(progress_window::kTextPlace));
    EXPECT_TRUE(first->textLine()->wordWrap());
    EXPECT_EQ(first->bar()->geometry(), rectOf(progress_window::kBarPlace));
    EXPECT_LE((first->geometry().center() - ui.mainWindow()->frameGeometry().center()).manhattanLength(), 2);

    // An update is stored; the widgets show it at the next repaint.
    ui.setProgressText("Found file: gui/flash/atlases/vehicleMarkerAtlas.png among thousands of other files");
    ui.setProgressBar(150);
    first->showPending();
    EXPECT_EQ(first->textLine()->text(),
              "Found file: gui/flash/atlases/vehicleMarkerAtlas.png among thousands of other files");
    EXPECT_EQ(first->bar()->value(), 100);
    ui.setProgressBar(-3);
    first->showPending();
    EXPECT_EQ(first->bar()->value(), 0);
    ui.setProgressBar(42);
    first->showPending();
    saveScreenshot(*first, "progress-window");
    first->close();  // the window manager's close request
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(ui.pendingEvents().empty());

    // A long title widens the window, so that the title bar never cuts it.
    const QString longTitle = "Extract original vehicleMarkerAtlas icons from the today's client";
    ui.openProgressWindow(longTitle.toStdString());
    QFont bold = ui.progressWindow()->font();
    bold.setBold(true);
    const int titleWidth = QFontMetrics(bold).horizontalAdvance(longTitle);
    EXPECT_GE(ui.progressWindow()->width(), titleWidth + 110);
    EXPECT_EQ(ui.progressWindow()->bar()->geometry().right(), ui.progressWindow()->width() - 11);
    saveScreenshot(*ui.progressWindow(), "progress-window-long-title");

    ui.openProgressWindow("Searching for new icons");
    ASSERT_NE(ui.progressWindow(), nullptr);
    EXPECT_EQ(childWindowsOf<ProgressWindow>(*ui.mainWindow()), 1);
    EXPECT_EQ(ui.progressWindow()->windowTitle(), "Searching for new icons");
    EXPECT_TRUE(ui.progressWindow()->textLine()->text().isEmpty());
    EXPECT_EQ(ui.progressWindow()->bar()->value(), 0);
    ui.closeProgressWindow();
    ui.closeProgressWindow();
    EXPECT_EQ(ui.progressWindow(), nullptr);
}

// Clicks and keys given to the main window while a step runs are dropped when it ends; afterwards the
// main window takes them again. The events are posted, as the window system queues a user's input.
TEST(ProgressWindow, InputGivenDuringAStepIsDropped) {
    QtUi ui;
    ui.openMainWindow();
    ui.refreshMainWindow(filledView());
    ui.showMainWindow();
    QPushButton* create = ui.mainWindow()->createAtlasesButton();
    const auto giveInput = [create] {
        const QPointF centre(create->width() / 2.0, create->height() / 2.0);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                create, new QMouseEvent(type, centre, create->mapToGlobal(centre), Qt::LeftButton,
                                        Qt::LeftButton, Qt::NoModifier));
        }
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
            QCoreApplication::postEvent(create, new QKeyEvent(type, Qt::Key_Space, Qt::NoModifier));
    };
    ui.openProgressWindow("Create new vehicleMarkerAtlas");
    giveInput();
    QThread::msleep(40);  // the step repaints its window
    ui.setProgressBar(50);
    giveInput();
    ui.closeProgressWindow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(ui.pendingEvents().empty());

    giveInput();
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.pendingEvents(), (std::deque<WindowEvent>{UiEvent::CreateAtlases, UiEvent::CreateAtlases}));
}

TEST(InstructionsWindow, ShowsTheTextAndOpensFreshEachTime) {
    QtUi ui;
    ui.openMainWindow();
    ui.showMainWindow();
    ui.openInstructionsWindow();
    InstructionsWindow* window = ui.instructionsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Instructions");
    EXPECT_EQ(window->size(), QSize(420, 600));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(window->textField()->geometry(), rectOf(instructions_window::kTextPlace));
    EXPECT_EQ(window->closeButton()->geometry(), rectOf(instructions_window::kClosePlace));
    EXPECT_EQ(window->closeButton()->text(), "Close");
    EXPECT_TRUE(window->textField()->isReadOnly());
    EXPECT_EQ(window->textField()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(window->textField()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    const QString text = window->textField()->toPlainText();
    EXPECT_TRUE(text.startsWith(QString(68, '-') + "\nRavelin\n"));  // no visible byte-order mark
    EXPECT_TRUE(text.trimmed().endsWith("Have fun!"));
    EXPECT_FALSE(text.contains('\r'));
    saveScreenshot(*window, "instructions-window");

    // The title bar's close box, Escape and Enter ask the flow to close it, as "Close" does; other keys
    // stay with the text field.
    window->close();
    EXPECT_TRUE(window->isVisible());
    for (const auto& [key, modifiers] :
         std::vector<std::pair<int, Qt::KeyboardModifiers>>{{Qt::Key_Escape, Qt::NoModifier},
                                                            {Qt::Key_Return, Qt::NoModifier},
                                                            {Qt::Key_Enter, Qt::KeypadModifier},
                                                            {Qt::Key_Down, Qt::NoModifier}}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(window->textField(), &press);
    }
    QKeyEvent enterOnClose(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(window->closeButton(), &enterOnClose);
    EXPECT_EQ(ui.pendingEvents(), std::deque<WindowEvent>(5, UiEvent::CloseInstructions));
    while (!ui.pendingEvents().empty()) ui.waitEvent();
    window->textField()->verticalScrollBar()->setValue(200);
    window->closeButton()->click();
    EXPECT_EQ(ui.waitEvent(), UiEvent::CloseInstructions);
    ui.openInstructionsWindow();
    EXPECT_EQ(childWindowsOf<InstructionsWindow>(*ui.mainWindow()), 1);
    EXPECT_EQ(ui.instructionsWindow()->textField()->verticalScrollBar()->value(), 0);
    ui.closeInstructionsWindow();
    EXPECT_EQ(ui.instructionsWindow(), nullptr);
}

// On a screen shorter than the window, it shrinks and its text scrolls; "Close" stays inside.
TEST(InstructionsWindow, NeverTallerThanTheScreen) {
    QtUi ui;
    ui.openMainWindow();
    ui.openInstructionsWindow();
    InstructionsWindow* window = ui.instructionsWindow();
    for (const int available : {2000, 600, 450, 100}) {
        SCOPED_TRACE(available);
        window->fitHeight(available);
        const int height = std::clamp(available, 160, 600);
        EXPECT_EQ(window->size(), QSize(420, height));
        EXPECT_EQ(window->closeButton()->geometry(), rectOf(instructions_window::closePlace(height)));
        EXPECT_EQ(window->textField()->geometry(), rectOf(instructions_window::textPlace(height)));
    }
    window->fitHeight(450);
    window->show();
    QCoreApplication::processEvents();
    EXPECT_GT(window->textField()->verticalScrollBar()->maximum(), 0);
    saveScreenshot(*window, "instructions-window-short-screen");
}

TEST(InstructionsText, HoldsEveryHeadingInOrderStoredWithMarkAndCrLf) {
    const std::string_view stored = instructionsText();
    ASSERT_EQ(stored.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(stored.find('\n'), stored.find("\r\n") + 1);
    for (std::size_t at = stored.find('\n'); at != std::string_view::npos; at = stored.find('\n', at + 1)) {
        ASSERT_EQ(stored[at - 1], '\r');
    }
    const char* const inOrder[] = {
        "1. Instructions\r\n---------------\r\nVery simple!",
        "1.1 Select World of Tanks® install dir",
        "'Ok' or 'Select'",
        "1.2 Original Atlas files will be unpacked",
        "1.3 Extract the icons from the original Atlases",
        "image. The program creates the folder \"originalAtlases\" folder",
        "and store the original image inside.",
        "1.4 The GUI opens",
        "1.4.1 The \"defaultBattleImages\" folder",
        "In this folder are the original icons from the \"battleAtlas.png\".",
        "1.4.2 The \"defaultMarkerImages\" folder",
        "from the\r\n\"vehicleMarkerAtlas.png\"",
        "1.4.3 The \"newTankImages\" folder",
        "1.5 Select where your new contour icons stored",
        "With the button \". . .\" next to the \"New contour icons directory\"",
        "1.6 The \"Create Atlases\" button",
        "1.6.1 The \"battleAtlas.png\" file",
        "1.6.2 The \"battleAtlas.xml\" file",
        "1.6.3 The \"vehicleMarkerAtlas.png\" file",
        "1.6.4 The \"vehicleMarkerAtlas.xml\" file",
        "1.7 Copy the files",
        "<World Of Tanks>\\res_mods\\<Current Version>\\gui\\flash\\atlases\\",
        "And you are done!",
        "2. Tips\r\n-------\r\n",
        "2.1 contour icon size",
        "Don't use icons that are larger than 80x24 pixel",
        "2.2 Additional files created in main directory",
        "ravelin.conf (<- can be deleted)",
        "ravelin.log",
        "battleatlas.dat",
        "markeratlas.dat",
        "2.3 What to do if the program has an error ?",
        "First, delete the ravelin.conf and start the program, if the",
        "\"ravelin.log\"",
        "Have fun!",
    };
    std::size_t position = stored.find(std::string(68, '-') + "\r\nRavelin\r\n" + std::string(68, '-'));
    ASSERT_EQ(position, 3u);
    for (const char* part : inOrder) {
        const std::size_t found = stored.find(part, position);
        ASSERT_NE(found, std::string_view::npos) << part;
        position = found;
    }
}

namespace {

// Runs `respond` on the modal dialog as soon as the event loop shows it.
void whenDialogShows(std::function<void(QWidget&)> respond) {
    QTimer::singleShot(0, [respond = std::move(respond)] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        respond(*dialog);
    });
}

void press(QWidget& dialog, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &down);
}

}  // namespace

TEST(Dialogs, MessageBoxesHaveTheirButtonsAndIconsAndAreApplicationModal) {
    struct Case {
        MessageKind kind;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    const Case cases[] = {
        {MessageKind::Plain, QMessageBox::NoIcon, QMessageBox::Ok},
        {MessageKind::Information, QMessageBox::Information, QMessageBox::Ok},
        {MessageKind::Error, QMessageBox::Critical, QMessageBox::Ok},
        {MessageKind::Question, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No},
    };
    QtUi ui;
    for (const Case& c : cases) {
        whenDialogShows([&](QWidget& dialog) {
            auto& box = dynamic_cast<QMessageBox&>(dialog);
            EXPECT_EQ(box.windowTitle(), "Title");
            EXPECT_EQ(box.text(), "first line\nsecond line");
            EXPECT_EQ(box.icon(), c.icon);
            EXPECT_EQ(box.standardButtons(), c.buttons);
            EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
            box.button(c.kind == MessageKind::Question ? QMessageBox::Yes : QMessageBox::Ok)->click();
        });
        const MessageAnswer answer = ui.showMessage("Title", "first line\r\nsecond line", c.kind);
        EXPECT_EQ(answer, c.kind == MessageKind::Question ? MessageAnswer::Yes : MessageAnswer::Ok);
    }
    // Escape and the close box answer a question with No.
    whenDialogShows([](QWidget& dialog) { press(dialog, Qt::Key_Escape); });
    EXPECT_EQ(ui.showMessage("Error", "Try again?", MessageKind::Question), MessageAnswer::No);
    whenDialogShows([](QWidget& dialog) { dialog.close(); });
    EXPECT_EQ(ui.showMessage("Error", "Try again?", MessageKind::Question), MessageAnswer::No);
}

TEST(Dialogs, BuildSummaryOpensTheFolderOnlyWhenAsked) {
    QtUi ui;
    std::vector<std::string> opened;
    ui.openFolder = [&](const std::string& folder) { opened.push_back(folder); };
    // Each button in turn: OK, "Open folder" (the box closes and the folder opens), "Show icons".
    const std::vector<std::string> buttons = {"OK", "Open folder", "Show icons"};
    std::vector<BuildSummaryChoice> choices;
    for (const std::string& pressed : buttons) {
        const bool warning = pressed != "OK";  // a build that went wrong says so in title and icon
        whenDialogShows([&](QWidget& dialog) {
            auto& box = dynamic_cast<QMessageBox&>(dialog);
            EXPECT_EQ(box.windowTitle(), warning ? "Atlases created with errors" : "Atlases created");
            EXPECT_EQ(box.icon(), warning ? QMessageBox::Warning : QMessageBox::Information);
            EXPECT_EQ(box.text(), "The new atlases are in /out/");
            EXPECT_EQ(box.informativeText(), "battleAtlas: 1 icon");
            EXPECT_EQ(box.detailedText(), "battleAtlas: every name");
            EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Ok));
            for (QAbstractButton* button : box.buttons()) {
                if (button->text().remove('&') == QString::fromStdString(pressed)) button->click();
            }
        });
        choices.push_back(ui.showBuildSummary({warning, "The new atlases are in /out/", "battleAtlas: 1 icon",
                                               "battleAtlas: every name", "/out/", ""}));
    }
    EXPECT_EQ(choices, (std::vector<BuildSummaryChoice>{BuildSummaryChoice::Close, BuildSummaryChoice::Close,
                                                        BuildSummaryChoice::ShowIcons}));
    EXPECT_EQ(opened, std::vector<std::string>{"/out/"});
}

TEST(Dialogs, FolderPickerGivesTheFolderWithASeparatorOrNothing) {
    QtUi ui;
    const QString home = QDir::tempPath();
    whenDialogShows([&](QWidget& dialog) {
        auto& picker = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(picker.windowTitle(), "Select the WoT install dir:");
        EXPECT_EQ(picker.fileMode(), QFileDialog::Directory);
        EXPECT_EQ(picker.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(picker.directory().absolutePath(), home);
        picker.reject();
    });
    EXPECT_EQ(ui.chooseFolder("Select the WoT install dir:", home.toStdString() + "/"), "");
    whenDialogShows([&](QWidget& dialog) {
        auto& picker = dynamic_cast<QFileDialog&>(dialog);
        picker.selectFile(home);
        QMetaObject::invokeMethod(&picker, "accept");  // the "Choose" button
    });
    EXPECT_EQ(ui.chooseFolder("Select new contour icons directory:", home.toStdString()),
              home.toStdString() + "/");
}

TEST(Dialogs, InstallationChooserListsThemAndAnswersEachWay) {
    QtUi ui;
    ui.openMainWindow();
    ui.showMainWindow();
    const std::vector<std::string> lines = {"WG EU 2.4.0.2 - /games/EU/", "Lesta 1.37.0.0 - /games/Tanki/"};
    whenDialogShows([](QWidget& dialog) {
        auto& chooser = dynamic_cast<InstallationChooser&>(dialog);
        EXPECT_EQ(chooser.windowTitle(), "Select the WoT install dir:");
        EXPECT_EQ(chooser.size(), QSize(520, 200));
        EXPECT_EQ(chooser.windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(chooser.list()->count(), 2);
        EXPECT_EQ(chooser.list()->item(1)->text(), "Lesta 1.37.0.0 - /games/Tanki/");
        EXPECT_EQ(chooser.list()->currentRow(), 0);
        EXPECT_EQ(chooser.otherFolderButton()->text(), QString::fromUtf8("Other folder…"));
        EXPECT_EQ(chooser.otherFolderButton()->geometry(), rectOf(installation_chooser::kOtherFolderPlace));
        EXPECT_TRUE(chooser.useButton()->isDefault());
        EXPECT_EQ(QApplication::activeModalWidget(), &chooser);
        saveScreenshot(chooser, "installation-chooser");
        chooser.list()->setCurrentRow(1);
        chooser.useButton()->click();
    });
    EXPECT_EQ(ui.chooseInstallation(lines), 1);
    whenDialogShows(
        [](QWidget& dialog) { dynamic_cast<InstallationChooser&>(dialog).otherFolderButton()->click(); });
    EXPECT_EQ(ui.chooseInstallation(lines), kChoseOtherFolder);
    whenDialogShows([](QWidget& dialog) { press(dialog, Qt::Key_Escape); });
    EXPECT_EQ(ui.chooseInstallation(lines), kChoseNothing);
    whenDialogShows([](QWidget& dialog) { dialog.close(); });
    EXPECT_EQ(ui.chooseInstallation(lines), kChoseNothing);
}

namespace {

// An overview of one large atlas and one small one, with pictures written as PNG files in folder.
IconOverviewView overviewOf(const QString& folder, int icons) {
    const auto png = [&](const QString& name, int width, int height, QColor colour) {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(colour);
        image.save(folder + "/" + name, "PNG");
        return (folder + "/" + name).toStdString();
    };
    QDir(folder).mkpath("mine");
    IconOverviewView view;
    OverviewAtlas& battle = view.atlases.emplace_back();
    battle.title = "battleAtlas";
    for (int i = 0; i < icons; ++i) {
        const std::string name = QString("germany-T%1").arg(i, 4, 10, QChar('0')).toStdString();
        battle.icons.push_back({name,
                                OverviewMark::Default,
                                false,
                                png(QString::fromStdString(name) + ".png", 60, 30, QColor(90, 90, 90)),
                                {}});
    }
    battle.icons[0].mark = OverviewMark::Replaced;
    battle.icons[0].replacementPath = png("mine/germany-T0000.png", 60, 30, Qt::red);
    battle.icons[1].mark = OverviewMark::OtherSize;
    battle.icons[1].replacementPath = png("mine/germany-T0001.png", 70, 30, Qt::green);
    battle.icons[2].mark = OverviewMark::UnreadableReplacement;
    battle.icons[3].isNew = true;
    battle.icons[4].mark = OverviewMark::EmptyReplacement;
    view.atlases.push_back(
        {"vehicleMarkerAtlas",
         {{"marker", OverviewMark::Default, false, png("marker.png", 20, 20, Qt::blue), {}}}});
    view.unmatched = {{"germany-D55_Tigre.png", "germany-D55_Tiger"}};
    return view;
}

}  // namespace

TEST(IconOverview, ShowsTheAtlasFilteredAndSearchedAndLoadsOnlyWhatIsSeen) {
    QTemporaryDir folder;
    QtUi ui;
    ui.openMainWindow();
    ui.mainWindow()->show();
    std::vector<std::string> opened;
    ui.openFolder = [&](const std::string& path) { opened.push_back(path); };
    ui.showIconOverview(overviewOf(folder.path(), 600));
    IconOverviewWindow* window = ui.iconOverviewWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    EXPECT_EQ(window->windowTitle(), "Icons");
    EXPECT_EQ(window->size(), QSize(760, 560));
    EXPECT_EQ(window->iconGrid()->viewMode(), QListView::IconMode);
    IconGridModel& model = *window->gridModel();
    EXPECT_EQ(model.rowCount(), 600);
    EXPECT_EQ(window->atlasChoice()->count(), 2);

    // Only the rows on the screen ask for their pictures, which arrive from the background.
    window->grab();
    for (int i = 0; i < 400 && (model.picturesPending() > 0 || model.picturesLoaded() == 0); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_GT(model.picturesLoaded(), 0);
    EXPECT_LT(model.picturesLoaded(), 100);
    EXPECT_EQ(model.data(model.index(0), Qt::DisplayRole).toString(), "germany-T0000\nreplaced");
    EXPECT_EQ(model.data(model.index(3), Qt::DisplayRole).toString(), "germany-T0003\ndefault, new");
    const QPixmap picture = model.data(model.index(0), Qt::DecorationRole).value<QPixmap>();
    // The default (grey) on the left, the replacement (red) on the right.
    EXPECT_EQ(picture.toImage().pixelColor(32, 26), QColor(90, 90, 90));
    EXPECT_EQ(picture.toImage().pixelColor(68 + 32, 26), QColor(Qt::red));
    saveScreenshot(*window, "icon-overview");

    EXPECT_TRUE(model.data(model.index(0), Qt::ToolTipRole).toString().startsWith("germany-T0000\n"));

    const std::pair<int, int> filters[] = {{1, 2}, {2, 597}, {3, 1}, {4, 1}, {5, 1}, {6, 4}, {0, 600}};
    for (const auto& [filter, rows] : filters) {
        window->filterChoice()->setCurrentIndex(filter);
        EXPECT_EQ(model.rowCount(), rows) << filter;
    }
    window->searchField()->setText("t05");
    EXPECT_EQ(model.rowCount(), 100);
    window->atlasChoice()->setCurrentIndex(1);
    EXPECT_EQ(model.rowCount(), 0);
    window->searchField()->clear();
    EXPECT_EQ(model.rowCount(), 1);
    window->atlasChoice()->setCurrentIndex(0);

    ASSERT_EQ(window->unmatchedList()->count(), 1);
    EXPECT_EQ(window->unmatchedList()->item(0)->text(),
              QString::fromUtf8("germany-D55_Tigre.png  \u2192  nearest icon: germany-D55_Tiger"));

    emit window->iconGrid()->doubleClicked(model.index(0));
    emit window->iconGrid()->doubleClicked(model.index(5));
    EXPECT_EQ(opened, (std::vector<std::string>{(folder.path() + "/mine/").toStdString(),
                                                (folder.path() + "/").toStdString()}));
    press(*window->iconGrid(), Qt::Key_F5);
    EXPECT_EQ(ui.pendingEvents(), std::deque<WindowEvent>{UiEvent::RefreshIconOverview});
    // Shown again: the same window, refreshed; the filter the program asks for is selected.
    IconOverviewView refreshed = overviewOf(folder.path(), 10);
    refreshed.filter = icon_overview::Filter::NeedsAttention;
    ui.showIconOverview(refreshed);
    EXPECT_EQ(ui.iconOverviewWindow(), window);
    EXPECT_EQ(window->filterChoice()->currentText(), "Needs attention");
    EXPECT_EQ(model.rowCount(), 4);
    press(*window->searchField(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ui.pendingEvents().back(), UiEvent::IconOverviewClosed);
}

TEST(IconOverview, FollowsItsSizeAndOpensAtTheOneChosen) {
    QTemporaryDir folder;
    QtUi ui;
    ui.openMainWindow();
    IconOverviewView view = overviewOf(folder.path(), 100);
    view.windowSize = {790, 590, false};  // within the smallest test screen
    ui.showIconOverview(view);
    IconOverviewWindow* window = ui.iconOverviewWindow();
    EXPECT_EQ(window->size(), QSize(790, 590));
    EXPECT_EQ(window->iconGrid()->geometry(), QRect(10, 40, 770, 410));
    EXPECT_EQ(window->unmatchedList()->geometry(), QRect(10, 480, 770, 100));
    // The columns fill the grid's width: less than a pixel a column is left over on the right.
    const QListView& grid = *window->iconGrid();
    const int cell = grid.gridSize().width();
    EXPECT_GE(cell, icon_overview_window::kCellWidth);
    const int columns = grid.viewport()->width() / cell;
    EXPECT_LE(grid.viewport()->width() % cell, columns);
    EXPECT_EQ(grid.visualRect(grid.model()->index(columns - 1, 0)).top(),
              grid.visualRect(grid.model()->index(0, 0)).top());
    saveScreenshot(*window, "icon-overview-resized");

    window->resize(500, 200);  // never smaller than its minimum
    EXPECT_EQ(window->size(),
              QSize(icon_overview_window::kMinimumClientWidth, icon_overview_window::kMinimumClientHeight));
    window->resize(700, 500);
    window->showMaximized();
    EXPECT_EQ(ui.iconOverviewSize(), (OverviewWindowSize{700, 500, true}));
}

namespace {

// No caption of a window is cut: each label's, button's and check box's text fits its width in its font, and
// each choice of a drop-down list the room beside its arrow.
void expectNoCaptionCut(const QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->wordWrap() || label->text().isEmpty() || label->text().contains('\n')) continue;
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->width());
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->text().isEmpty()) continue;
        SCOPED_TRACE(button->text().toStdString());
        // Room for the frame of a button, or the box of a check box.
        const int room = button->width() - (dynamic_cast<const QCheckBox*>(button) ? 22 : 6);
        EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()), room);
    }
    for (const QComboBox* choice : window.findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(choice);
        const int room =
            choice->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, choice)
                .width();
        for (int i = 0; i < choice->count(); ++i) {
            SCOPED_TRACE(choice->itemText(i).toStdString());
            EXPECT_LE(QFontMetrics(choice->font()).horizontalAdvance(choice->itemText(i)), room);
        }
    }
}

}  // namespace

namespace {

// The main window and a build summary box as pictures, for the documentation (scripts/screenshots).
void saveLanguageScreenshots(QtUi& ui, const std::string& language) {
    saveScreenshot(*ui.mainWindow(), ("qt-main-window-" + language).c_str());
    whenDialogShows([&](QWidget& dialog) {
        saveScreenshot(dialog, ("qt-summary-" + language).c_str());
        dynamic_cast<QMessageBox&>(dialog).button(QMessageBox::Ok)->click();
    });
    ui.showBuildSummary(exampleBuildSummary("/home/modder/ravelin/"));
}

// Each step's title fits the progress window's title bar, and each text its two lines.
void expectProgressWindowsFit(QtUi& ui) {
    for (const std::string& title : progressTitles()) {
        SCOPED_TRACE(title);
        ui.openProgressWindow(title);
        ProgressWindow& window = *ui.progressWindow();
        QFont bold = window.font();
        bold.setBold(true);
        EXPECT_GE(window.width(), QFontMetrics(bold).horizontalAdvance(qtText(title)) + 110);
        for (const std::string& text : progressTexts()) {
            SCOPED_TRACE(text);
            ui.setProgressText(text);
            window.showPending();
            EXPECT_LE(window.textLine()->heightForWidth(window.textLine()->width()),
                      window.textLine()->height());
        }
    }
    ui.closeProgressWindow();
}

}  // namespace

// The windows once per language: English and every catalogue.
TEST(Languages, NoCaptionIsCutInAnyLanguage) {
    std::vector<std::string> languages = catalogueLanguages();
    languages.insert(languages.begin(), "en");
    for (const std::string& language : languages) {
        SCOPED_TRACE(language);
        ASSERT_EQ(chooseLanguage({language}), language);
        QTemporaryDir folder;
        QtUi ui;
        ui.openMainWindow();
        ui.refreshMainWindow(filledView());
        ui.showMainWindow();
        expectNoCaptionCut(*ui.mainWindow());
        ui.showIconOverview(overviewOf(folder.path(), 6));
        expectNoCaptionCut(*ui.iconOverviewWindow());
        // The pictures load in the background: the window goes only once they are in.
        ui.iconOverviewWindow()->grab();
        for (int i = 0; i < 400 && ui.iconOverviewWindow()->gridModel()->picturesPending() > 0; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
        InstallationChooser chooser({"WG EU 2.4.0.2 - /games/EU/"}, nullptr);
        expectNoCaptionCut(chooser);
        InstructionsWindow instructions(nullptr, [] {});
        expectNoCaptionCut(instructions);
        expectProgressWindowsFit(ui);
        // Every paragraph of the instructions is translated, the first heading among them.
        EXPECT_EQ(shownInstructionsText().find("Very simple!") == std::string::npos, language != "en");
        if (std::getenv("RAVELIN_SCREENSHOTS")) saveLanguageScreenshots(ui, language);
    }
    chooseLanguage({"en"});
}
