#include "platform/qt/recent_files.hpp"

#include <QFileInfo>
#include <QSettings>

namespace tesvane::gui {

namespace {

const char* key(RecentKind kind) {
    return kind == RecentKind::Session ? "recent/sessions" : "recent/dataFolders";
}

}  // namespace

QStringList recent_files(RecentKind kind) {
    QStringList out;
    for (const QString& p : QSettings().value(key(kind)).toStringList())
        if (QFileInfo::exists(p) && out.size() < kRecentFiles)
            out << p;
    return out;
}

void note_recent_file(RecentKind kind, const QString& path) {
    const QString clean = QFileInfo(path).absoluteFilePath();
    QStringList list = QSettings().value(key(kind)).toStringList();
    list.removeAll(clean);
    list.prepend(clean);
    while (list.size() > kRecentFiles)
        list.removeLast();
    QSettings().setValue(key(kind), list);
}

}  // namespace tesvane::gui
