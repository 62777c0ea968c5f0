// Dropping one data file on a widget: the widget accepts the drag and hands the file's path on.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QWidget;

namespace tesvane::gui {

// Makes `target` accept one dropped local file and calls `dropped` with its path.
void accept_file_drops(QWidget& target, std::function<void(const std::string&)> dropped);

}  // namespace tesvane::gui
