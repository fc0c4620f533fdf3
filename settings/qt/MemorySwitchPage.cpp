#include "settings/qt/MemorySwitchPage.h"

#include <QSignalBlocker>

#include "base/qt/ControlIds.h"
#include "resources/SettingsTexts.h"
#include "resources/StatusDialogIds.h"
#include "ui_MemorySwitchPage.h"

namespace zorvik {

MemorySwitchPage::MemorySwitchPage(MemorySwitchModel& model, QWidget* parent)
    : QWidget(parent), model_(model), ui_(std::make_unique<Ui::MemorySwitchPage>())
{
    ui_->setupUi(this);
    labels_ = {ui_->pinLabel1, ui_->pinLabel2, ui_->pinLabel3, ui_->pinLabel4,
               ui_->pinLabel5, ui_->pinLabel6, ui_->pinLabel7, ui_->pinLabel8};
    lists_ = {ui_->pinList1, ui_->pinList2, ui_->pinList3, ui_->pinList4,
              ui_->pinList5, ui_->pinList6, ui_->pinList7, ui_->pinList8};
    ui_->mswLabel->setText(QString::fromUtf8(kLabelMsw));
    ui_->backButton->setText(QString::fromUtf8(kButtonBack));
    ui_->nextButton->setText(QString::fromUtf8(kButtonNext));

    SetControlId(this, kMemorySwitchTemplate);
    SetControlId(ui_->captionText, kIdSwitchCaption);
    SetControlId(ui_->statusLine, kIdSwitchStatusLine);
    SetControlId(ui_->backButton, kIdSwitchBack);
    SetControlId(ui_->nextButton, kIdSwitchNext);
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        SetControlId(labels_[i], kIdSwitchPinLabels[i]);
        SetControlId(lists_[i], kIdSwitchPinLists[i]);
        const int pin = static_cast<int>(i) + 1;
        connect(lists_[i], &QComboBox::activated, this, [this, pin](int index) {
            model_.StorePin(pin, index);
            Render();
        });
    }
    connect(ui_->backButton, &QAbstractButton::clicked, this, [this] { model_.Back(); });
    connect(ui_->nextButton, &QAbstractButton::clicked, this, [this] { model_.Next(); });

    model_.onShow = [this] { Render(); };
    Render();
}

MemorySwitchPage::~MemorySwitchPage()
{
    model_.onShow = nullptr;
}

void MemorySwitchPage::Render()
{
    const MemorySwitchModel& m = model_;
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        const int pin = static_cast<int>(i) + 1;
        labels_[i]->setText(QString::fromStdString(m.labels[i]));

        QComboBox* list = lists_[i];
        const QSignalBlocker block(list);
        QStringList items;
        if (const auto* options = m.Options(pin)) {
            for (const char* option : *options)
                items << QString::fromUtf8(option);
        }
        QStringList shown;
        for (int row = 0; row < list->count(); ++row)
            shown << list->itemText(row);
        if (shown != items) {
            list->clear();
            list->addItems(items);
        }
        const int selector = m.selectors[i];
        list->setCurrentIndex(selector >= 0 && selector < list->count() ? selector : -1);
        list->setEnabled(m.pinEnabled[i]);
    }
    ui_->captionText->setText(QString::fromStdString(m.caption));
    ui_->backButton->setEnabled(m.backEnabled);
    ui_->nextButton->setEnabled(m.nextEnabled);
}

}  // namespace zorvik
