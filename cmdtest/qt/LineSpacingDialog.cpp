#include "cmdtest/qt/LineSpacingDialog.h"

#include <QLineEdit>

#include "base/qt/ControlIds.h"
#include "base/qt/WindowSize.h"
#include "resources/EditorTexts.h"
#include "ui_LineSpacingDialog.h"

namespace zorvik {

LineSpacingDialog::LineSpacingDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::LineSpacingDialog>())
{
    ui_->setupUi(this);
    setWindowTitle(kLineSpacingCaption);
    ui_->spinValue->setRange(0, kLineSpacingMax);
    ui_->spinValue->setWrapping(true);
    // The value changes only by the arrows (buttons or keys); its box takes no typing.
    if (auto* edit = ui_->spinValue->findChild<QLineEdit*>()) {
        edit->setReadOnly(true);
        SetControlId(edit, kIdLineSpacingValue);
    }
    Render();
    connect(ui_->checkDefault, &QCheckBox::toggled, this, [this] {
        Collect();
        Render();
    });
    ui_->buttonOk->setDefault(true);
    connect(ui_->buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    KeepDesignedSize(this);
}

LineSpacingDialog::~LineSpacingDialog() = default;

void LineSpacingDialog::Collect()
{
    state_.useDefault = ui_->checkDefault->isChecked();
    state_.value = ui_->spinValue->value();
}

void LineSpacingDialog::Render()
{
    ui_->checkDefault->setChecked(state_.useDefault);
    ui_->spinValue->setValue(state_.value);
    ui_->spinValue->setEnabled(state_.ValueEnabled());
}

void LineSpacingDialog::accept()
{
    Collect();
    QDialog::accept();
}

}  // namespace zorvik
