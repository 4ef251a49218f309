#pragma once

// The modal chooser of installations: the lines in a list, the first selected; "OK" (or a double click)
// takes the selected line, "Other folder…" asks for the folder picker, "Cancel", Escape and the close box
// choose nothing.

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

class InstallationChooser : public QDialog {
public:
    InstallationChooser(const std::vector<std::string>& installations, QWidget* owner);

    // The answer once closed: a line's index, kChoseOtherFolder or kChoseNothing.
    int choice() const { return choice_; }

    QListWidget* list() const { return list_; }
    QPushButton* otherFolderButton() const { return otherFolderButton_; }
    QPushButton* useButton() const { return useButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

private:
    void finish(int choice);
    void finishWithSelection();

    QListWidget* list_;
    QPushButton* otherFolderButton_;
    QPushButton* useButton_;
    QPushButton* cancelButton_;
    int choice_;
};
