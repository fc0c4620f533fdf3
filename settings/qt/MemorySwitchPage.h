#pragma once
// The "Memory switch" tab: one memory switch at a time as eight pin rows (label and
// list), paged with Back and Next. It renders the page model of the status session
// and hands the user's choices back to it.
#include <QWidget>
#include <array>
#include <memory>

#include "settings/MemorySwitchModel.h"

class QComboBox;
class QLabel;

namespace Ui {
class MemorySwitchPage;
}

namespace zorvik {

class MemorySwitchPage : public QWidget {
    Q_OBJECT
public:
    explicit MemorySwitchPage(MemorySwitchModel& model, QWidget* parent = nullptr);
    ~MemorySwitchPage() override;

    MemorySwitchModel& Model() { return model_; }
    void Render();

private:
    MemorySwitchModel& model_;
    std::unique_ptr<Ui::MemorySwitchPage> ui_;
    std::array<QLabel*, 8> labels_{};
    std::array<QComboBox*, 8> lists_{};
};

}  // namespace zorvik
