#pragma once
// The "Printer Setting" tab: model, firmware and language texts, the five lists of
// customer settings and the power-save choice. It binds the widgets to the page
// model of the status session: it copies the controls into the model when the model
// asks (read controls) and renders the model whenever it changes (show fields).
#include <QWidget>
#include <functional>
#include <memory>

#include "settings/PrinterSettingModel.h"

class QComboBox;

namespace Ui {
class PrinterSettingPage;
}

namespace zorvik {

class PrinterSettingPage : public QWidget {
    Q_OBJECT
public:
    explicit PrinterSettingPage(PrinterSettingModel& model, QWidget* parent = nullptr);
    ~PrinterSettingPage() override;

    PrinterSettingModel& Model() { return model_; }
    // Read controls and show fields.
    void Collect();
    void Render();

private:
    void Bind(QComboBox* list, std::function<void(int)> select);

    PrinterSettingModel& model_;
    std::unique_ptr<Ui::PrinterSettingPage> ui_;
};

}  // namespace zorvik
