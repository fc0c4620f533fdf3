#include "settings/qt/PrinterSettingPage.h"

#include <QSignalBlocker>

#include "base/qt/ControlIds.h"
#include "resources/SettingsTexts.h"
#include "resources/StatusDialogIds.h"
#include "ui_PrinterSettingPage.h"

namespace zorvik {
namespace {

template <std::size_t N> void Fill(QComboBox* list, const std::array<const char*, N>& items)
{
    for (const char* item : items)
        list->addItem(QString::fromUtf8(item));
}

// A list shows no selection for an index outside its items.
void Select(QComboBox* list, int index, bool enabled)
{
    const QSignalBlocker block(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
    list->setEnabled(enabled);
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

PrinterSettingPage::PrinterSettingPage(PrinterSettingModel& model, QWidget* parent)
    : QWidget(parent), model_(model), ui_(std::make_unique<Ui::PrinterSettingPage>())
{
    ui_->setupUi(this);
    ui_->modelLabel->setText(QString::fromUtf8(kLabelModel));
    ui_->firmwareLabel->setText(QString::fromUtf8(kLabelFirmware));
    ui_->languageLabel->setText(QString::fromUtf8(kLabelLanguage));
    ui_->doubleFontGroup->setTitle(QString::fromUtf8(kGroupDoubleFont));
    ui_->emulationGroup->setTitle(QString::fromUtf8(kGroupEmulation));
    ui_->codePageGroup->setTitle(QString::fromUtf8(kGroupCodePage));
    ui_->singleFontGroup->setTitle(QString::fromUtf8(kGroupSingleFont));
    ui_->printSpeedGroup->setTitle(QString::fromUtf8(kGroupPrintSpeed));
    ui_->powerSaveGroup->setTitle(QString::fromUtf8(kGroupPowerSave));
    ui_->powerSaveDisable->setText(QString::fromUtf8(kPowerSaveDisable));
    ui_->powerSaveEnable->setText(QString::fromUtf8(kPowerSaveEnable));
    ui_->entranceLabel->setText(QString::fromUtf8(kLabelEntranceTime));

    for (const DoubleFontItem& item : kDoubleFontItems)
        ui_->doubleFontList->addItem(QString::fromUtf8(item.text));
    Fill(ui_->emulationList, kEmulationItems);
    Fill(ui_->codePageList, kCodePageItems);
    Fill(ui_->singleFontList, kSingleFontItems);
    Fill(ui_->printSpeedList, kPrintSpeedItems);

    SetControlId(this, kPrinterSettingTemplate);
    SetControlId(ui_->modelText, kIdSettingModel);
    SetControlId(ui_->firmwareText, kIdSettingFirmware);
    SetControlId(ui_->languageText, kIdSettingLanguage);
    SetControlId(ui_->doubleFontList, kIdSettingDoubleFont);
    SetControlId(ui_->emulationList, kIdSettingEmulation);
    SetControlId(ui_->codePageList, kIdSettingCodePage);
    SetControlId(ui_->singleFontList, kIdSettingSingleFont);
    SetControlId(ui_->printSpeedList, kIdSettingPrintSpeed);
    SetControlId(ui_->powerSaveDisable, kIdSettingPowerSaveDisable);
    SetControlId(ui_->powerSaveEnable, kIdSettingPowerSaveEnable);
    SetControlId(ui_->entranceEdit, kIdSettingEntranceTime);

    Bind(ui_->codePageList, [this](int index) { model_.SelectCodePage(index); });
    Bind(ui_->printSpeedList, [this](int index) { model_.SelectPrintSpeed(index); });
    Bind(ui_->emulationList, [this](int index) { model_.SelectEmulation(index); });
    Bind(ui_->singleFontList, [this](int index) { model_.SelectSingleFont(index); });
    Bind(ui_->doubleFontList, [this](int index) { model_.SelectDoubleFont(index); });

    model_.onCollect = [this] { Collect(); };
    model_.onShow = [this] { Render(); };
    Render();
}

PrinterSettingPage::~PrinterSettingPage()
{
    model_.onCollect = nullptr;
    model_.onShow = nullptr;
}

void PrinterSettingPage::Bind(QComboBox* list, std::function<void(int)> select)
{
    // A choice of the user's: the pins follow at once. Every handler reads all
    // controls first, so what was typed into the entrance time is kept.
    connect(list, &QComboBox::activated, this, [this, select = std::move(select)](int index) {
        select(index);
        Render();
    });
}

void PrinterSettingPage::Collect()
{
    model_.codePageIndex = ui_->codePageList->currentIndex();
    model_.printSpeedIndex = ui_->printSpeedList->currentIndex();
    model_.emulationIndex = ui_->emulationList->currentIndex();
    model_.singleFontIndex = ui_->singleFontList->currentIndex();
    model_.doubleFontIndex = ui_->doubleFontList->currentIndex();
    if (ui_->powerSaveDisable->isChecked())
        model_.powerSave = 0;
    else if (ui_->powerSaveEnable->isChecked())
        model_.powerSave = 1;
    else
        model_.powerSave = -1;
    model_.entranceTime = PrinterSettingModel::ParseEntranceTime(ui_->entranceEdit->text().toStdString());
}

void PrinterSettingPage::Render()
{
    const PrinterSettingModel& m = model_;
    ui_->modelText->setText(Text(m.modelText));
    ui_->firmwareText->setText(Text(m.firmwareText));
    ui_->languageText->setText(Text(m.languageText));

    Select(ui_->codePageList, m.codePageIndex, m.codePageEnabled);
    Select(ui_->printSpeedList, m.printSpeedIndex, m.printSpeedEnabled);
    Select(ui_->emulationList, m.emulationIndex, m.emulationEnabled);
    Select(ui_->singleFontList, m.singleFontIndex, m.singleFontEnabled);
    Select(ui_->doubleFontList, m.doubleFontIndex, m.doubleFontEnabled);

    // No button chosen: the group gives up its exclusiveness for a moment, as a
    // checked exclusive radio button cannot be unchecked otherwise.
    ui_->powerSaveDisable->setAutoExclusive(false);
    ui_->powerSaveEnable->setAutoExclusive(false);
    ui_->powerSaveDisable->setChecked(m.powerSave == 0);
    ui_->powerSaveEnable->setChecked(m.powerSave == 1);
    ui_->powerSaveDisable->setAutoExclusive(true);
    ui_->powerSaveEnable->setAutoExclusive(true);
    ui_->powerSaveDisable->setEnabled(m.powerSaveEnabled);
    ui_->powerSaveEnable->setEnabled(m.powerSaveEnabled);

    // The field keeps the text as typed while it stands for the same number.
    const std::string typed = ui_->entranceEdit->text().toStdString();
    if (PrinterSettingModel::ParseEntranceTime(typed) != m.entranceTime || typed.empty())
        ui_->entranceEdit->setText(QString::number(m.entranceTime));
    ui_->entranceEdit->setEnabled(m.entranceTimeEnabled);
}

}  // namespace zorvik
