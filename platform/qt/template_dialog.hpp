// Load templates: one dialog naming the six files (the template and the correspondence lists
// of each group) instead of six file dialogs in a row.
#pragma once

#include <QDialog>
#include <array>
#include <optional>
#include <string>

class QLineEdit;

namespace tesvane::gui {

class TemplateDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TemplateDialog(QWidget* parent = nullptr);
    // The six files in the order the load reads them; nothing for a row left empty.
    std::array<std::optional<std::string>, 6> files() const;
    QLineEdit& field(int i) { return *fields_[static_cast<size_t>(i)]; }

    // What each row is, in the order the load reads them.
    static const std::array<const char*, 6>& roles();

  private:
    std::array<QLineEdit*, 6> fields_{};
};

}  // namespace tesvane::gui
