#pragma once

// The icon overview: per atlas a grid of the icons (the default and, beside it, the replacement) with
// name and state, filtered by state and searched by name, and the list of files that match no icon. It
// is modeless and only draws what it is given; its pictures are loaded in the background, the visible
// ones first. F5 asks the program for a fresh view; a double click opens the icon's folder; Escape closes
// it; files and folders dropped onto it are imported. It can be resized and maximised: the grid and the list
// below follow, the grid's columns share its width.

#include <QWidget>
#include <functional>
#include <memory>

#include "ui/icon_overview_view.h"
#include "ui/ui.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class IconGridModel;

class IconOverviewWindow : public QWidget {
public:
    using EventSink = std::function<void(WindowEvent)>;
    using FolderOpener = std::function<void(const std::string& folder)>;

    // Opens at the size given (within the minimum and the screen), or the default where none was chosen.
    IconOverviewWindow(QWidget* owner, EventSink sink, FolderOpener openFolder, OverviewWindowSize size = {});
    ~IconOverviewWindow() override;

    void show(IconOverviewView view);
    // Its size when not maximised, and whether it is.
    OverviewWindowSize chosenSize() const;

    QComboBox* atlasChoice() const { return atlasChoice_; }
    QComboBox* filterChoice() const { return filterChoice_; }
    QLineEdit* searchField() const { return searchField_; }
    QListView* iconGrid() const { return iconGrid_; }
    QListWidget* unmatchedList() const { return unmatchedList_; }
    IconGridModel* gridModel() const { return model_.get(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void showAtlas();
    void openFolderOf(const QModelIndex& index);

    EventSink sink_;
    FolderOpener openFolder_;
    IconOverviewView view_;
    std::unique_ptr<IconGridModel> model_;
    QComboBox* atlasChoice_;
    QComboBox* filterChoice_;
    QLineEdit* searchField_;
    QListView* iconGrid_;
    QListWidget* unmatchedList_;
    QLabel* unmatchedCaption_;
    QLabel* refreshHint_;
    bool openMaximized_;
    QSize normalSize_;
};
