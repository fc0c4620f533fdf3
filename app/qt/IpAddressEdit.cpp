#include "app/qt/IpAddressEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <memory>

namespace zorvik {
namespace {

const QString& OctetPattern()
{
    static const QString pattern(QStringLiteral("25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9]"));
    return pattern;
}

bool IsModifierOnly(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

}  // namespace

IpAddressEdit::IpAddressEdit(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    static const QRegularExpression octet(OctetPattern());
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
            if (text.size() == 3 && i + 1 < octets_.size() && octets_[i]->cursorPosition() == 3) {
                MoveTo(static_cast<int>(i + 1), Caret::SelectAll);
                autoMovedTo_ = static_cast<int>(i + 1);
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

std::optional<std::array<std::uint8_t, 4>> IpAddressEdit::ParseAddress(const QString& text)
{
    static const QRegularExpression whole(
        QStringLiteral("^(%1)\\.(%1)\\.(%1)\\.(%1)$").arg(QStringLiteral("[0-9]{1,3}")));
    const QRegularExpressionMatch match = whole.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    std::array<std::uint8_t, 4> address{};
    for (int i = 0; i < 4; ++i) {
        const int value = match.captured(i + 1).toInt();
        if (value > 255)
            return std::nullopt;
        address[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    return address;
}

bool IpAddressEdit::TakeAddress(const QString& text)
{
    const auto address = ParseAddress(text);
    if (!address)
        return false;
    SetAddress(*address);
    MoveTo(static_cast<int>(octets_.size()) - 1, Caret::End);
    autoMovedTo_ = -1;
    return true;
}

int IpAddressEdit::IndexOf(const QObject* object) const
{
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        if (octets_[i] == object)
            return static_cast<int>(i);
    }
    return -1;
}

void IpAddressEdit::MoveTo(int index, Caret caret)
{
    QLineEdit* edit = octets_[static_cast<std::size_t>(index)];
    moving_ = true;
    edit->setFocus(Qt::OtherFocusReason);
    moving_ = false;
    switch (caret) {
    case Caret::SelectAll:
        edit->selectAll();
        break;
    case Caret::Start:
        edit->setCursorPosition(0);
        break;
    case Caret::End:
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
        break;
    }
}

void IpAddressEdit::ForgetTyping()
{
    autoMovedTo_ = -1;
    typed_.clear();
}

bool IpAddressEdit::KeyPress(int index, QKeyEvent* key)
{
    QLineEdit* edit = octets_[static_cast<std::size_t>(index)];
    const int last = static_cast<int>(octets_.size()) - 1;
    const bool afterAutoMove = autoMovedTo_ == index;
    autoMovedTo_ = -1;

    if (key->matches(QKeySequence::Paste)) {
        ForgetTyping();
        return TakeAddress(QGuiApplication::clipboard()->text());
    }
    const QString text = key->text();
    const bool dot = key->key() == Qt::Key_Period;
    const bool digit = text.size() == 1 && text[0].isDigit() && !(key->modifiers() & Qt::ControlModifier);
    if (!dot && !digit) {
        if (!IsModifierOnly(key->key()))
            typed_.clear();
        const bool atStart = edit->cursorPosition() == 0 && !edit->hasSelectedText();
        const bool atEnd = edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText();
        if ((key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Left) && atStart && index > 0) {
            MoveTo(index - 1, Caret::End);
            return true;
        }
        if (key->key() == Qt::Key_Right && atEnd && index < last) {
            MoveTo(index + 1, Caret::Start);
            return true;
        }
        return false;
    }

    // A whole address typed in a row fills all four boxes, whichever box it began in.
    typed_ += dot ? QStringLiteral(".") : text;
    if (TakeAddress(typed_))
        return true;
    if (digit)
        return false;
    // The dot after three digits: the move has been made already.
    if (afterAutoMove)
        return true;
    if (index < last && !edit->text().isEmpty())
        MoveTo(index + 1, Caret::SelectAll);
    return true;
}

void IpAddressEdit::ShowContextMenu(int index, const QPoint& globalPos)
{
    QLineEdit* edit = octets_[static_cast<std::size_t>(index)];
    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, edit, [this, edit] {
            if (!TakeAddress(QGuiApplication::clipboard()->text()))
                edit->paste();
        });
    }
    menu->exec(globalPos);
}

bool IpAddressEdit::eventFilter(QObject* watched, QEvent* event)
{
    const int index = IndexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        return KeyPress(index, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
        if (!moving_)
            ForgetTyping();
        break;
    case QEvent::MouseButtonPress:
        ForgetTyping();
        break;
    case QEvent::MouseButtonRelease: {
        // The middle button pastes the selection where the system has one.
        auto* mouse = static_cast<QMouseEvent*>(event);
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (mouse->button() == Qt::MiddleButton && clipboard->supportsSelection() &&
            TakeAddress(clipboard->text(QClipboard::Selection)))
            return true;
        break;
    }
    case QEvent::ContextMenu:
        ForgetTyping();
        ShowContextMenu(index, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData()->hasText() && TakeAddress(drop->mimeData()->text())) {
            drop->acceptProposedAction();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zorvik
