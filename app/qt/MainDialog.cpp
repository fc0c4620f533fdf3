#include "app/qt/MainDialog.h"

#include <QAction>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include "app/qt/AboutBox.h"
#include "app/qt/ProgramIcon.h"
#include "app/qt/ToolDialogs.h"
#include "base/qt/ControlIds.h"
#include "base/qt/ExchangeHold.h"
#include "base/qt/WindowSize.h"
#include "resources/HealthTexts.h"
#include "resources/MainTexts.h"
#include "ui_MainDialog.h"

namespace zorvik {
namespace {

// TCP port numbers 0 to 65535 and nothing else.
const QRegularExpression& TcpPortPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "6553[0-5]|655[0-2][0-9]|65[0-4][0-9]{2}|6[0-4][0-9]{3}|[1-5][0-9]{4}|[1-9][0-9]{0,3}|0"));
    return pattern;
}

}  // namespace

MainDialog::MainDialog(MainDialogSetup setup, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MainDialog>()), notifier_(this),
      pacer_(setup.pacer ? *setup.pacer : windowPacer_),
      link_(setup.makePorts ? setup.makePorts(pacer_, notifier_) : nullptr)
{
    ui_->setupUi(this);
    setWindowTitle(QString::fromUtf8(kMainCaption));
    setWindowIcon(ProgramIcon());
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);

    const std::array<QAbstractButton*, 4> radios = {ui_->radioSerial, ui_->radioParallel, ui_->radioUsb,
                                                    ui_->radioEthernet};
    for (std::size_t i = 0; i < radios.size(); ++i)
        radios[i]->setText(QString::fromUtf8(kInterfaceNames[i]));

    SetControlId(ui_->interfaceGroup, kIdInterfaceGroup);
    SetControlId(ui_->radioSerial, kIdRadioSerial);
    SetControlId(ui_->radioParallel, kIdRadioParallel);
    SetControlId(ui_->radioUsb, kIdRadioUsb);
    SetControlId(ui_->radioEthernet, kIdRadioEthernet);
    SetControlId(ui_->settingGroup, kIdSettingGroup);
    SetControlId(ui_->portList, kIdPortList);
    SetControlId(ui_->baudList, kIdBaudList);
    SetControlId(ui_->dataBitsList, kIdDataBitsList);
    SetControlId(ui_->parityList, kIdParityList);
    SetControlId(ui_->stopBitsList, kIdStopBitsList);
    SetControlId(ui_->flowList, kIdFlowList);
    SetControlId(ui_->ipAddress, kIdIpAddress);
    SetControlId(ui_->tcpPortEdit, kIdTcpPort);
    SetControlId(ui_->checkButton, kIdCheck);
    SetControlId(ui_->selfTestButton, kIdSelfTest);
    SetControlId(ui_->runManagerButton, kIdRunManager);
    SetControlId(ui_->commandEditorButton, kIdCommandEditor);
    SetControlId(ui_->exitButton, kIdExit);
    SetControlId(ui_->aboutButton, kIdAboutButton);

    ui_->tcpPortEdit->setValidator(new QRegularExpressionValidator(TcpPortPattern(), ui_->tcpPortEdit));

    // Window managers here have no system menu to extend: the about entry sits in the
    // window's context menu and behind the "?" button.
    auto* about = new QAction(QString::fromUtf8(kAboutMenuEntry), this);
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setShortcut(QKeySequence::HelpContents);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(about, &QAction::triggered, this, &MainDialog::ShowAbout);
    connect(ui_->aboutButton, &QAbstractButton::clicked, this, &MainDialog::ShowAbout);

    if (!setup.tools)
        ownTools_ = std::make_unique<DialogToolLauncher>(this);
    ToolLauncher& tools = setup.tools ? *setup.tools : *ownTools_;
    MainWindowHooks hooks = std::move(setup.hooks);
    hooks.render = [this] { Render(); };
    state_ = std::make_unique<MainWindowState>(link_, pacer_, notifier_, tools, std::move(hooks),
                                               setup.queues, setup.preset);

    for (std::size_t i = 0; i < radios.size(); ++i) {
        const auto type = static_cast<InterfaceType>(i);
        connect(radios[i], &QAbstractButton::clicked, this,
                [this, type] { Handle([this, type] { state_->ChooseInterface(type); }); });
    }
    for (int i = 0; i < kMainListCount; ++i) {
        const auto list = static_cast<MainList>(i);
        connect(ListWidget(list), &QComboBox::activated, this, [this, list](int index) {
            Handle([this, list, index] { state_->ChooseEntry(list, index); });
        });
    }
    // The two printer exchanges hold the windows for their whole length.
    connect(ui_->checkButton, &QAbstractButton::clicked, this, [this] {
        Handle([this] {
            const ExchangeHold hold;
            state_->CheckCommunication();
        });
    });
    connect(ui_->selfTestButton, &QAbstractButton::clicked, this, [this] {
        Handle([this] {
            const ExchangeHold hold;
            state_->SelfTest();
        });
    });
    connect(ui_->runManagerButton, &QAbstractButton::clicked, this, &MainDialog::OnRunManager);
    connect(ui_->commandEditorButton, &QAbstractButton::clicked, this,
            [this] { Handle([this] { state_->RunCommandEditor(); }); });
    connect(ui_->exitButton, &QAbstractButton::clicked, this, &QDialog::reject);
    ui_->healthRefreshButton->setText(QString::fromUtf8(kHealthRefreshText));
    ui_->healthRefreshButton->setToolTip(QString::fromUtf8(kHealthRefreshTip));
    connect(ui_->healthRefreshButton, &QAbstractButton::clicked, this, [this] {
        Handle([this] {
            const ExchangeHold hold;
            state_->RefreshHealth();
        });
    });

    KeepDesignedSize(this);

    // Opening: the messages of a preset have the window as owner, so it exists first.
    Handle([this, &setup] { state_->Open(std::move(setup.argument)); });
}

MainDialog::~MainDialog()
{
    deviceWatch_.reset();
    state_->Close();
}

template <typename Handler> void MainDialog::Handle(Handler&& handler)
{
    BusyGuard guard(busy_, this);
    Collect();
    handler();
    Render();
    SyncDeviceWatch();
}

void MainDialog::SyncDeviceWatch()
{
    Port* port = state_->Connected() ? link_.CurrentPort() : nullptr;
    if (port && deviceWatch_ && deviceWatch_->Follows(*port))
        return;
    deviceWatch_.reset();
    if (!port)
        return;
    deviceWatch_ = WatchDeviceChanges(*port, this, [this, port] {
        if (state_->Connected() && link_.CurrentPort() == port)
            port->HandleDeviceChange();
    });
}

void MainDialog::OnRunManager()
{
    bool closeWindow = false;
    Handle([this, &closeWindow] {
        closeWindow = state_->RunManager() == MainWindowState::ToolEnd::CloseWindow;
    });
    if (closeWindow)
        close();
}

void MainDialog::PresetEthernet(const std::array<std::uint8_t, 4>& address, std::uint32_t port)
{
    Handle([&] { state_->PresetEthernet(address, port); });
}

void MainDialog::ShowAbout()
{
    AboutBox box(this);
    box.exec();
}

void MainDialog::done(int result)
{
    // A close request during a printer exchange waits until the handler has ended.
    if (busy_.DeferClose())
        return;
    deviceWatch_.reset();
    state_->Close();
    QDialog::done(result);
}

QComboBox* MainDialog::ListWidget(MainList list) const
{
    switch (list) {
    case MainList::Port:
        return ui_->portList;
    case MainList::BaudRate:
        return ui_->baudList;
    case MainList::DataBits:
        return ui_->dataBitsList;
    case MainList::Parity:
        return ui_->parityList;
    case MainList::StopBits:
        return ui_->stopBitsList;
    case MainList::FlowControl:
        return ui_->flowList;
    }
    return nullptr;
}

QAbstractButton* MainDialog::RadioFor(InterfaceType type) const
{
    switch (type) {
    case InterfaceType::Serial:
        return ui_->radioSerial;
    case InterfaceType::Parallel:
        return ui_->radioParallel;
    case InterfaceType::Usb:
        return ui_->radioUsb;
    case InterfaceType::Ethernet:
        return ui_->radioEthernet;
    }
    return ui_->radioSerial;
}

void MainDialog::Collect()
{
    MainWindowState& s = *state_;
    for (InterfaceType type :
         {InterfaceType::Serial, InterfaceType::Parallel, InterfaceType::Usb, InterfaceType::Ethernet}) {
        if (RadioFor(type)->isChecked())
            s.settings.interfaceType = type;
    }
    s.ipAddress = ui_->ipAddress->Address();
    bool ok = false;
    const uint port = ui_->tcpPortEdit->text().toUInt(&ok);
    s.settings.tcpPort = ok && port <= 65535 ? port : 0;
}

void MainDialog::Render()
{
    const MainWindowState& s = *state_;
    RadioFor(s.settings.interfaceType)->setChecked(true);
    for (int i = 0; i < kMainListCount; ++i) {
        const ListControl& list = s.List(static_cast<MainList>(i));
        QComboBox* combo = ListWidget(static_cast<MainList>(i));
        const QSignalBlocker block(combo);
        QStringList entries;
        for (const auto& entry : list.entries)
            entries << QString::fromStdString(entry);
        QStringList shown;
        for (int row = 0; row < combo->count(); ++row)
            shown << combo->itemText(row);
        if (shown != entries) {
            combo->clear();
            combo->addItems(entries);
        }
        for (int row = 0; row < combo->count(); ++row) {
            const auto entry = static_cast<std::size_t>(row);
            const QString tip =
                entry < list.tips.size() ? QString::fromStdString(list.tips[entry]) : QString();
            combo->setItemData(row, tip.isEmpty() ? QVariant() : QVariant(tip), Qt::ToolTipRole);
        }
        combo->setCurrentIndex(list.HasSelection() ? list.selection : -1);
        combo->setToolTip(combo->currentData(Qt::ToolTipRole).toString());
        combo->setEnabled(list.enabled);
    }
    ui_->ipAddress->SetAddress(s.ipAddress);
    ui_->ipAddress->setEnabled(s.ipEnabled);
    ui_->tcpPortEdit->setText(QString::number(s.settings.tcpPort));
    ui_->tcpPortEdit->setEnabled(s.tcpPortEnabled);
    ui_->checkButton->setEnabled(s.checkEnabled);
    ui_->selfTestButton->setEnabled(s.selfTestEnabled);
    ui_->runManagerButton->setEnabled(s.runManagerEnabled);
    ui_->commandEditorButton->setEnabled(s.commandEditorEnabled);
    ui_->healthLabel->setText(QString::fromStdString(s.healthLine));
    ui_->healthLabel->setToolTip(ui_->healthLabel->text());  // a long line is cut at the window's edge
    ui_->healthRefreshButton->setEnabled(s.healthRefreshEnabled);
}

}  // namespace zorvik
