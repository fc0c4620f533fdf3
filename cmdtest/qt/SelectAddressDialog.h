#pragma once
// "Select Address": the number of the NV bit image to print, picked or typed.
#include <QDialog>
#include <memory>

#include "cmdtest/AddressPicker.h"

namespace Ui {
class SelectAddressDialog;
}

namespace zorvik {

class SelectAddressDialog : public QDialog {
    Q_OBJECT

public:
    explicit SelectAddressDialog(QWidget* parent = nullptr);
    ~SelectAddressDialog() override;
    // The field's text as it stood when OK was pressed.
    const AddressPicker& State() const { return state_; }

    void accept() override;

private:
    std::unique_ptr<Ui::SelectAddressDialog> ui_;
    AddressPicker state_;
};

}  // namespace zorvik
