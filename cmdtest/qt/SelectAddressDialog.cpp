#include "cmdtest/qt/SelectAddressDialog.h"

#include "base/qt/WindowSize.h"
#include "resources/EditorTexts.h"
#include "ui_SelectAddressDialog.h"

namespace zorvik {

SelectAddressDialog::SelectAddressDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SelectAddressDialog>())
{
    ui_->setupUi(this);
    setWindowTitle(kAddressCaption);
    for (const auto& entry : AddressPicker::Entries())
        ui_->comboAddress->addItem(QString::fromStdString(entry));
    ui_->comboAddress->model()->sort(0);
    ui_->comboAddress->setCurrentText(QString::fromStdString(state_.text));
    ui_->buttonOk->setDefault(true);
    connect(ui_->buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    KeepDesignedSize(this);
}

SelectAddressDialog::~SelectAddressDialog() = default;

void SelectAddressDialog::accept()
{
    state_.text = ui_->comboAddress->currentText().toStdString();
    QDialog::accept();
}

}  // namespace zorvik
