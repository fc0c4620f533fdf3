#include "settings/qt/StatusDialog.h"

#include <QAbstractButton>
#include <optional>

#include "base/qt/ControlIds.h"
#include "base/qt/ExchangeHold.h"
#include "base/qt/QtTimerHost.h"
#include "base/qt/WindowSize.h"
#include "resources/SettingsTexts.h"
#include "resources/StatusDialogIds.h"
#include "settings/qt/MemorySwitchPage.h"
#include "settings/qt/PrinterSettingPage.h"
#include "settings/qt/WaitDialog.h"
#include "ui_StatusDialog.h"

namespace zorvik {

StatusDialog::StatusDialog(PrinterLink& link, InterfaceType type, QWidget* parent)
    : StatusDialog(link, type, StatusDialogServices{}, parent)
{
}

StatusDialog::StatusDialog(PrinterLink& link, InterfaceType type, StatusDialogServices services,
                           QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::StatusDialog>()), notifier_(this), chooser_(this),
      pacer_(services.pacer ? *services.pacer : windowPacer_)
{
    ui_->setupUi(this);
    TimerClient& ticks = *this;
    timers_ = services.makeTimers ? services.makeTimers(ticks) : std::make_unique<QtTimerHost>(ticks);
    Notifier& messages = *this;
    session_ = std::make_unique<StatusSession>(link, type, pacer_, messages, *timers_, &chooser_,
                                               std::move(services.fonts));

    setWindowTitle(QString::fromUtf8(kStatusDialogTitle));
    ui_->setupGroup->setTitle(QString::fromUtf8(kGroupSetupStatus));
    ui_->userGroup->setTitle(QString::fromUtf8(kGroupUserStatus));
    ui_->printStatusButton->setText(QString::fromUtf8(kButtonPrintStatus));
    ui_->printCodepageButton->setText(QString::fromUtf8(kButtonPrintCodepage));
    ui_->getStatusButton->setText(QString::fromUtf8(kButtonGetStatus));
    ui_->setStatusButton->setText(QString::fromUtf8(kButtonSetStatus));
    ui_->saveStatusButton->setText(QString::fromUtf8(kButtonSaveStatus));
    ui_->loadStatusButton->setText(QString::fromUtf8(kButtonLoadStatus));
    ui_->initializeStatusButton->setText(QString::fromUtf8(kButtonInitializeStatus));
    ui_->exitButton->setText(QString::fromUtf8(kButtonExit));
    ui_->progressLabel->setText(QString::fromUtf8(kProgressLabel));

    SetControlId(this, kStatusDialogTemplate);
    SetControlId(ui_->tabs, kIdStatusTabs);
    SetControlId(ui_->printStatusButton, kIdStatusPrintStatus);
    SetControlId(ui_->printCodepageButton, kIdStatusPrintCodepage);
    SetControlId(ui_->getStatusButton, kIdStatusGet);
    SetControlId(ui_->setStatusButton, kIdStatusSet);
    SetControlId(ui_->saveStatusButton, kIdStatusSave);
    SetControlId(ui_->loadStatusButton, kIdStatusLoad);
    SetControlId(ui_->initializeStatusButton, kIdStatusInitialize);
    SetControlId(ui_->exitButton, kIdStatusExit);
    SetControlId(ui_->progressBar, kIdStatusProgress);

    // The pages are children of the tab control for the dialog's whole life.
    switchPage_ = new MemorySwitchPage(session_->SwitchPage());
    settingPage_ = new PrinterSettingPage(session_->SettingPage());
    ui_->tabs->addTab(switchPage_, QString::fromUtf8(kTabMemorySwitch));
    ui_->tabs->addTab(settingPage_, QString::fromUtf8(kTabPrinterSetting));

    // The buttons that talk to the printer hold the windows for the exchange.
    Connect(ui_->getStatusButton, &StatusSession::GetStatus, Exchange::Holds);
    Connect(ui_->setStatusButton, &StatusSession::SetStatus, Exchange::Holds);
    Connect(ui_->saveStatusButton, &StatusSession::SaveStatus, Exchange::None);
    Connect(ui_->loadStatusButton, &StatusSession::LoadStatus, Exchange::None);
    Connect(ui_->initializeStatusButton, &StatusSession::InitializeStatus, Exchange::None);
    Connect(ui_->printCodepageButton, &StatusSession::PrintCodepage, Exchange::Holds);
    Connect(ui_->printStatusButton, &StatusSession::PrintStatus, Exchange::Holds);
    connect(ui_->exitButton, &QAbstractButton::clicked, this, &StatusDialog::reject);
    connect(ui_->tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        Handle([this, tab] {
            // What was typed on the setting page stays when the tab is shown again.
            settingPage_->Collect();
            session_->TabChanged(tab);
        });
    });

    session_->onChanged = [this] { Render(); };
    session_->onRepaint = [this] { Repaint(); };
    session_->onProgress = [this](int position) { ShowProgress(position); };
    Render();
    KeepDesignedSize(this);
}

StatusDialog::~StatusDialog()
{
    session_->onChanged = nullptr;
    session_->onRepaint = nullptr;
    session_->onProgress = nullptr;
    // The pages hold on to the session's page models: they go first, without the
    // tab changes their removal reports.
    disconnect(ui_->tabs, nullptr, this, nullptr);
    delete switchPage_;
    delete settingPage_;
    // The session stops its timers as it goes; the timers go after it.
    session_.reset();
    waitBox_.reset();
}

void StatusDialog::Connect(QAbstractButton* button, void (StatusSession::*handler)(), Exchange exchange)
{
    connect(button, &QAbstractButton::clicked, this, [this, handler, exchange] {
        Handle([this, handler, exchange] {
            std::optional<ExchangeHold> hold;
            if (exchange == Exchange::Holds)
                hold.emplace();
            ((*session_).*handler)();
        });
    });
}

template <typename Handler> void StatusDialog::Handle(Handler&& handler)
{
    {
        BusyGuard guard(busy_, this);
        handler();
        Render();
    }
    if (ended_)
        return;
    switch (session_->Result()) {
    case DialogResult::Ok:
        done(Accepted);
        break;
    case DialogResult::Cancel:
        done(Rejected);
        break;
    case DialogResult::Running:
        break;
    }
}

void StatusDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (initialized_)
        return;
    // The dialog's initialisation: wait box, buttons, record, pages, start-up timer.
    initialized_ = true;
    Handle([this] {
        session_->Initialize();
        ui_->tabs->setCurrentIndex(session_->CurrentTab());
    });
}

void StatusDialog::OnTimer(int id)
{
    Handle([this, id] {
        // The identification at the start holds the windows; the font download's
        // blocks leave the window free between them.
        std::optional<ExchangeHold> hold;
        if (id == StatusSession::kTimerStartup)
            hold.emplace();
        session_->OnTimer(id);
    });
}

void StatusDialog::Show(std::string_view text, std::string_view title, MessageIcon icon)
{
    // The wait box stays above every window: a message of the start-up handshake
    // would be hidden behind it.
    if (waitBox_)
        waitBox_->hide();
    notifier_.Show(text, title, icon);
}

void StatusDialog::reject()
{
    if (busy_.DeferClose())
        return;
    Handle([this] { session_->Exit(); });
}

void StatusDialog::done(int result)
{
    if (busy_.DeferClose())
        return;
    if (ended_)
        return;
    ended_ = true;
    // However the dialog ends, no timer of it ticks any more.
    if (session_->Result() == DialogResult::Running)
        session_->Exit();
    waitBox_.reset();
    QDialog::done(result);
}

QAbstractButton* StatusDialog::Button(StatusButton button) const
{
    switch (button) {
    case StatusButton::GetStatus:
        return ui_->getStatusButton;
    case StatusButton::PrintStatus:
        return ui_->printStatusButton;
    case StatusButton::PrintCodepage:
        return ui_->printCodepageButton;
    case StatusButton::SetStatus:
        return ui_->setStatusButton;
    case StatusButton::SaveStatus:
        return ui_->saveStatusButton;
    case StatusButton::LoadStatus:
        return ui_->loadStatusButton;
    case StatusButton::InitializeStatus:
        return ui_->initializeStatusButton;
    case StatusButton::Exit:
        return ui_->exitButton;
    }
    return nullptr;
}

void StatusDialog::Render()
{
    const StatusSession& s = *session_;
    for (int i = 0; i < kStatusButtonCount; ++i) {
        const auto button = static_cast<StatusButton>(i);
        Button(button)->setEnabled(s.ButtonEnabled(button));
    }
    ShowProgress(s.ProgressPosition());
    switchPage_->Render();
    settingPage_->Render();

    if (s.WaitBoxVisible() && !waitBox_ && !ended_) {
        waitBox_ = std::make_unique<WaitDialog>();
        waitBox_->Open();
    } else if (!s.WaitBoxVisible() && waitBox_) {
        waitBox_.reset();
        // The dialog takes the focus back from the wait box.
        activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
}

void StatusDialog::Repaint()
{
    Render();
    repaint();
}

void StatusDialog::ShowProgress(int position)
{
    ui_->progressBar->setValue(position);
}

}  // namespace zorvik
