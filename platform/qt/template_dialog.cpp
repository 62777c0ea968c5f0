#include "platform/qt/template_dialog.hpp"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tesvane::gui {

const std::array<const char*, 6>& TemplateDialog::roles() {
    static const std::array<const char*, 6> r = {
        "Group 1: template outline",
        "Group 1: correspondence list of block 1",
        "Group 1: correspondence list of block 2",
        "Group 2: template outline",
        "Group 2: correspondence list of block 1",
        "Group 2: correspondence list of block 2",
    };
    return r;
}

TemplateDialog::TemplateDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("TemplateDialog");
    setWindowTitle(tr("Load templates"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        tr("The template outlines are drawn under the deformations of block 1 (Draw on "
           "template). Each correspondence list names the template points that match the "
           "block's landmarks. A row left empty ends the loading there; the rows above it "
           "are kept."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString("TemplateFile%1").arg(i + 1));
        field->setMinimumWidth(320);
        auto* browse = new QPushButton(tr("Browse…"), this);
        connect(browse, &QPushButton::clicked, this, [this, field, i] {
            const QString start =
                field->text().isEmpty() ? QDir::currentPath() : QFileInfo(field->text()).path();
            const QString path =
                QFileDialog::getOpenFileName(this, tr(roles()[static_cast<size_t>(i)]), start);
            if (!path.isEmpty())
                field->setText(path);
        });
        grid->addWidget(new QLabel(tr(roles()[static_cast<size_t>(i)]), this), i, 0);
        grid->addWidget(field, i, 1);
        grid->addWidget(browse, i, 2);
        fields_[static_cast<size_t>(i)] = field;
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Load"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::array<std::optional<std::string>, 6> TemplateDialog::files() const {
    std::array<std::optional<std::string>, 6> out;
    for (size_t i = 0; i < 6; ++i) {
        const QString t = fields_[i]->text().trimmed();
        if (!t.isEmpty())
            out[i] = QFileInfo(t).absoluteFilePath().toStdString();
    }
    return out;
}

}  // namespace tesvane::gui
