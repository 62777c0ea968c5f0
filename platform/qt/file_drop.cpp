#include "platform/qt/file_drop.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace tesvane::gui {

namespace {

// The one local file a drag carries, or nothing.
QString single_local_file(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

class DropFilter : public QObject {
  public:
    DropFilter(QWidget& target, std::function<void(const std::string&)> dropped)
        : QObject(&target), dropped_(std::move(dropped)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!single_local_file(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString file = single_local_file(drop->mimeData());
            if (!file.isEmpty()) {
                drop->acceptProposedAction();
                dropped_(file.toStdString());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void(const std::string&)> dropped_;
};

}  // namespace

void accept_file_drops(QWidget& target, std::function<void(const std::string&)> dropped) {
    target.setAcceptDrops(true);
    target.installEventFilter(new DropFilter(target, std::move(dropped)));
}

}  // namespace tesvane::gui
