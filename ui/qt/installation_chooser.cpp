#include "ui/qt/installation_chooser.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/localized_text.h"
#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

using namespace installation_chooser;

InstallationChooser::InstallationChooser(const std::vector<std::string>& installations, QWidget* owner)
    : QDialog(owner), choice_(kChoseNothing) {
    setWindowTitle(qtText(localized(kTitle)));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(kClientWidth, kClientHeight);

    auto* prompt = new QLabel(qtText(localized(kPrompt)), this);
    prompt->setGeometry(rectOf(kPromptPlace));
    list_ = new QListWidget(this);
    list_->setGeometry(rectOf(kListPlace));
    for (const std::string& installation : installations) list_->addItem(qtText(installation));
    list_->setCurrentRow(0);
    otherFolderButton_ = new QPushButton(qtText(localized(kOtherFolderCaption)), this);
    otherFolderButton_->setGeometry(rectOf(kOtherFolderPlace));
    otherFolderButton_->setAutoDefault(false);
    useButton_ = new QPushButton(qtText(localized(kUseCaption)), this);
    useButton_->setGeometry(rectOf(kUsePlace));
    useButton_->setDefault(true);
    cancelButton_ = new QPushButton(qtText(localized(kCancelCaption)), this);
    cancelButton_->setGeometry(rectOf(kCancelPlace));
    cancelButton_->setAutoDefault(false);

    connect(useButton_, &QPushButton::clicked, this, [this] { finishWithSelection(); });
    connect(list_, &QListWidget::itemActivated, this, [this] { finishWithSelection(); });
    connect(otherFolderButton_, &QPushButton::clicked, this, [this] { finish(kChoseOtherFolder); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    list_->setFocus();
    centreWindow(*this, owner);
}

void InstallationChooser::finish(int choice) {
    choice_ = choice;
    accept();
}

void InstallationChooser::finishWithSelection() {
    if (list_->currentRow() >= 0) finish(list_->currentRow());  // "OK" with nothing selected does nothing
}
