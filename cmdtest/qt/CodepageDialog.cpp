#include "cmdtest/qt/CodepageDialog.h"

#include "base/qt/WindowSize.h"
#include "resources/EditorTexts.h"
#include "ui_CodepageDialog.h"

namespace zorvik {

CodepageDialog::CodepageDialog(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CodepageDialog>())
{
    ui_->setupUi(this);
    setWindowTitle(kCodepageCaption);
    for (const auto& entry : CodepagePicker::Entries())
        ui_->comboCodepage->addItem(QString::fromStdString(entry));
    ui_->comboCodepage->setCurrentIndex(state_.index);
    ui_->buttonOk->setDefault(true);
    connect(ui_->buttonOk, &QPushButton::clicked, this, &QDialog::accept);
    KeepDesignedSize(this);
}

CodepageDialog::~CodepageDialog() = default;

void CodepageDialog::accept()
{
    state_.index = ui_->comboCodepage->currentIndex();
    QDialog::accept();
}

}  // namespace zorvik
