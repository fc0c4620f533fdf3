#pragma once
// The wait box shown while the "Printer Status" dialog makes its first contact with
// the printer: no caption, a raised frame around one line of text, above every other
// window, modeless.
#include <QDialog>
#include <memory>

namespace Ui {
class WaitDialog;
}

namespace zorvik {

class WaitDialog : public QDialog {
    Q_OBJECT
public:
    explicit WaitDialog(QWidget* parent = nullptr);
    ~WaitDialog() override;

    QString Text() const;
    // Centres the box on the screen, shows it on top and gives it the focus.
    void Open();

protected:
    // The box goes away only when its owner destroys it.
    void reject() override {}

private:
    std::unique_ptr<Ui::WaitDialog> ui_;
};

}  // namespace zorvik
