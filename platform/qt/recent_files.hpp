// The last data folders and sessions the user worked with, kept in the platform's standard
// settings location (QSettings: ~/.config/Tesvane/Tesvane.conf on Linux).
#pragma once

#include <QStringList>

namespace tesvane::gui {

enum class RecentKind { Session, DataFolder };

// Most recent first, at most kRecentFiles; entries that no longer exist are left out.
QStringList recent_files(RecentKind kind);
// Puts `path` first in its list.
void note_recent_file(RecentKind kind, const QString& path);

inline constexpr int kRecentFiles = 8;

}  // namespace tesvane::gui
