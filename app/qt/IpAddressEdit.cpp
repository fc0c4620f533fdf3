#include "app/qt/IpAddressEdit.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>

namespace zorvik {

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    static const QRegularExpression octet(QStringLiteral("25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9]"));
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        if (i > 0)
            layout->addWidget(new QLabel(QStringLiteral("."), this));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("octet%1").arg(i));
        edit->setValidator(new QRegularExpressionValidator(octet, edit));
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, i](const QString& text) {
            if (text.size() == 3 && i + 1 < octets_.size()) {
                octets_[i + 1]->setFocus();
                octets_[i + 1]->selectAll();
            }
        });
        octets_[i] = edit;
        layout->addWidget(edit);
    }
    setFocusProxy(octets_[0]);
}

std::array<std::uint8_t, 4> IpAddressEdit::Address() const
{
    std::array<std::uint8_t, 4> address{};
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        const int value = octets_[i]->text().toInt();
        address[i] = static_cast<std::uint8_t>(value >= 0 && value <= 255 ? value : 0);
    }
    return address;
}

void IpAddressEdit::SetAddress(const std::array<std::uint8_t, 4>& address)
{
    for (std::size_t i = 0; i < octets_.size(); ++i)
        octets_[i]->setText(QString::number(address[i]));
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        for (std::size_t i = 0; i + 1 < octets_.size(); ++i) {
            if (watched == octets_[i] && key->key() == Qt::Key_Period) {
                if (!octets_[i]->text().isEmpty()) {
                    octets_[i + 1]->setFocus();
                    octets_[i + 1]->selectAll();
                }
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zorvik
