#pragma once
// "Select Range(0~255)": a line spacing in motion units, or the default spacing.
#include <QDialog>
#include <memory>

#include "cmdtest/LineSpacingPicker.h"

namespace Ui {
class LineSpacingDialog;
}

namespace zorvik {

class LineSpacingDialog : public QDialog {
    Q_OBJECT

public:
    explicit LineSpacingDialog(QWidget* parent = nullptr);
    ~LineSpacingDialog() override;
    const LineSpacingPicker& State() const { return state_; }

    void accept() override;

private:
    void Collect();
    void Render();

    std::unique_ptr<Ui::LineSpacingDialog> ui_;
    LineSpacingPicker state_;
};

}  // namespace zorvik
