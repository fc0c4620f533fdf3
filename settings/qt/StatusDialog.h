#pragma once
// The "Printer Status" dialog: the two tab pages, the eight buttons, the progress bar
// and the wait box, bound to the status session that holds every handler and the
// printer exchanges. The main window runs it modally on its open link; it ends with
// Accepted only after a successful font download, on which the program ends.
#include <QDialog>
#include <functional>
#include <memory>

#include "base/qt/BusyGuard.h"
#include "base/qt/QtFileChooser.h"
#include "base/qt/QtNotifier.h"
#include "base/qt/WindowPacer.h"
#include "settings/StatusSession.h"

class QAbstractButton;

namespace Ui {
class StatusDialog;
}

namespace zorvik {

class MemorySwitchPage;
class PrinterSettingPage;
class WaitDialog;

// What tests put in place of the window's own services.
struct StatusDialogServices {
    Pacer* pacer = nullptr;  // null: the window pacer
    // Makes the timers that tick the given client; null: Qt timers.
    std::function<std::unique_ptr<TimerHost>(TimerClient&)> makeTimers;
    FontImageLookup fonts;  // empty: the embedded font images
};

class StatusDialog : public QDialog, private TimerClient, private Notifier {
    Q_OBJECT
public:
    StatusDialog(PrinterLink& link, InterfaceType type, QWidget* parent = nullptr);
    StatusDialog(PrinterLink& link, InterfaceType type, StatusDialogServices services,
                 QWidget* parent = nullptr);
    ~StatusDialog() override;

    StatusSession& Session() { return *session_; }
    PrinterSettingPage* SettingPage() const { return settingPage_; }
    MemorySwitchPage* SwitchPage() const { return switchPage_; }
    // The wait box while it is shown, otherwise null.
    WaitDialog* WaitBox() const { return waitBox_.get(); }

public slots:
    // Exit, the close box and Esc; a request during a printer exchange waits for its end.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnTimer(int id) override;
    // Every message of the session passes here on its way to a message box.
    void Show(std::string_view text, std::string_view title, MessageIcon icon) override;
    template <typename Handler> void Handle(Handler&& handler);
    enum class Exchange { None, Holds };
    void Connect(QAbstractButton* button, void (StatusSession::*handler)(), Exchange exchange);
    QAbstractButton* Button(StatusButton button) const;
    void Render();
    void Repaint();
    void ShowProgress(int position);

    std::unique_ptr<Ui::StatusDialog> ui_;
    QtNotifier notifier_;
    QtFileChooser chooser_;
    WindowPacer windowPacer_;
    Pacer& pacer_;
    std::unique_ptr<TimerHost> timers_;
    std::unique_ptr<StatusSession> session_;  // after the timers: it stops them as it goes
    MemorySwitchPage* switchPage_ = nullptr;
    PrinterSettingPage* settingPage_ = nullptr;
    std::unique_ptr<WaitDialog> waitBox_;
    BusyState busy_;
    bool initialized_ = false;
    bool ended_ = false;
};

}  // namespace zorvik
