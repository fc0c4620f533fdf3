#include "settings/qt/WaitDialog.h"

#include <QGuiApplication>
#include <QScreen>

#include "base/qt/WindowSize.h"
#include "resources/SettingsTexts.h"
#include "ui_WaitDialog.h"

namespace zorvik {

WaitDialog::WaitDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::WaitDialog>())
{
    ui_->setupUi(this);
    ui_->waitText->setText(QString::fromUtf8(kWaitBoxText));
    setModal(false);
    KeepDesignedSize(this);
}

WaitDialog::~WaitDialog() = default;

QString WaitDialog::Text() const
{
    return ui_->waitText->text();
}

void WaitDialog::Open()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace zorvik
