#include "ui/qt/file_drops.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

class FileDropFilter : public QObject {
public:
    FileDropFilter(QObject* parent, DroppedPathsSink sink) : QObject(parent), sink_(std::move(sink)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (droppedLocalPaths(drag->mimeData()).empty()) return false;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                std::vector<std::string> paths = droppedLocalPaths(drop->mimeData());
                if (paths.empty()) return false;
                drop->acceptProposedAction();
                sink_(std::move(paths));
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    DroppedPathsSink sink_;
};

}  // namespace

std::vector<std::string> droppedLocalPaths(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QByteArray path = QDir::toNativeSeparators(QDir::cleanPath(url.toLocalFile())).toUtf8();
        if (!path.isEmpty()) paths.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
    }
    return paths;
}

void acceptFileDrops(QWidget& window, DroppedPathsSink sink) {
    // A drop goes to the innermost widget that accepts drops; the controls' own (text into a field) would
    // take it from the window.
    for (QWidget* control : window.findChildren<QWidget*>()) control->setAcceptDrops(false);
    window.setAcceptDrops(true);
    window.installEventFilter(new FileDropFilter(&window, std::move(sink)));
}
