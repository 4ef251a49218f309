#include "ui/qt/dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "ui/folder_picker_start.h"
#include "ui/window_layout.h"

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string toUtf8(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Qt translates its own button texts only with its translation files (qt_languages), which a system may
// lack; the program's catalogues hold them too. English keeps Qt's texts as they are.
void localizeStandardButtons(QMessageBox& box) {
    if (currentLanguage() == "en") return;
    const std::pair<QMessageBox::StandardButton, std::string_view> buttons[] = {
        {QMessageBox::Yes, translatable("&Yes")},
        {QMessageBox::No, translatable("&No")},
        {QMessageBox::Ok, translatable("&OK")}};
    for (const auto& [button, text] : buttons) {
        if (QAbstractButton* shown = box.button(button)) shown->setText(fromUtf8(localized(text)));
    }
}

}  // namespace

MessageAnswer showMessageBox(const std::string& title, const std::string& text, MessageKind kind) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(fromUtf8(title));
    box.setText(fromUtf8(text).replace("\r\n", "\n"));
    switch (kind) {
        case MessageKind::Plain:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageKind::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageKind::Question:
            box.setIcon(QMessageBox::NoIcon);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);  // Escape and the close box count as No
            localizeStandardButtons(box);
            return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    localizeStandardButtons(box);
    box.exec();
    return MessageAnswer::Ok;
}

SummaryBoxButton showSummaryBox(const BuildSummaryView& view) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(fromUtf8(!view.title.empty() ? view.title
                                : view.warning      ? localized(build_summary::kTitleWithErrors)
                                                    : localized(build_summary::kTitle)));
    box.setIcon(view.warning ? QMessageBox::Warning : QMessageBox::Information);
    box.setText(fromUtf8(view.headline));
    box.setInformativeText(fromUtf8(view.text));
    // Every name, behind "Show Details...", so the box stays the size of what matters.
    box.setDetailedText(fromUtf8(view.details));
    const QAbstractButton* open =
        box.addButton(fromUtf8(localized(build_summary::kOpenFolderCaption)), QMessageBox::ActionRole);
    const QAbstractButton* icons =
        box.addButton(fromUtf8(localized(build_summary::kShowIconsCaption)), QMessageBox::ActionRole);
    box.addButton(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    localizeStandardButtons(box);
    box.exec();
    if (box.clickedButton() == open) return SummaryBoxButton::OpenFolder;
    return box.clickedButton() == icons ? SummaryBoxButton::ShowIcons : SummaryBoxButton::Ok;
}

void openFolderInFileManager(const std::string& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(fromUtf8(folder)));
}

std::string chooseFolderDialog(const std::string& title, const std::string& initialDirectory) {
    QFileDialog dialog(QApplication::activeWindow(), fromUtf8(title),
                       fromUtf8(folderPickerStart(initialDirectory)));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString chosen = dialog.selectedFiles().front();
    if (chosen.isEmpty()) return {};
    return withTrailingSeparator(toUtf8(QDir::toNativeSeparators(chosen)));
}

std::vector<std::string> chooseImportSourcesDialog(import_action::Choice choice) {
    if (choice == import_action::Choice::Folder) {
        std::string folder = chooseFolderDialog(localized(import_action::kFolderTitle), {});
        if (folder.empty()) return {};
        if (folder.size() > 1) folder.pop_back();  // named as a dropped folder is, without the separator
        return {folder};
    }
    QString patterns;
    for (std::string_view pattern : import_action::kFilesPatterns)
        patterns += (patterns.isEmpty() ? "" : " ") + fromUtf8(std::string(pattern));
    QFileDialog dialog(QApplication::activeWindow(), fromUtf8(localized(import_action::kFilesTitle)));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(fromUtf8(localized(import_action::kFilesFilterName)) + " (" + patterns + ")");
    if (dialog.exec() != QDialog::Accepted) return {};
    std::vector<std::string> files;
    for (const QString& file : dialog.selectedFiles())
        files.push_back(toUtf8(QDir::toNativeSeparators(file)));
    return files;
}
