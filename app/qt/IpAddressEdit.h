#pragma once
// An IPv4 address field: four boxes that each hold a number from 0 to 255, filled as
// people type addresses. Three digits move on to the next box, and a dot typed right
// after that move is taken as already done; a dot in a box moves on, Backspace at the
// start of a box goes back, and a whole dotted address typed or pasted into any box
// fills all four. An empty box counts as 0.
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class QKeyEvent;

namespace zorvik {

class IpAddressEdit : public QWidget {
    Q_OBJECT
public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    std::array<std::uint8_t, 4> Address() const;
    void SetAddress(const std::array<std::uint8_t, 4>& address);
    QLineEdit* Octet(int index) const { return octets_[static_cast<std::size_t>(index)]; }

    // "a.b.c.d", each part one to three digits up to 255, blanks around the whole
    // allowed; nothing for any other text.
    static std::optional<std::array<std::uint8_t, 4>> ParseAddress(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int IndexOf(const QObject* object) const;
    bool KeyPress(int index, QKeyEvent* key);
    // Puts a whole address from text into the four boxes; false (nothing changed) when
    // the text is not one.
    bool TakeAddress(const QString& text);
    void ShowContextMenu(int index, const QPoint& globalPos);
    enum class Caret { SelectAll, Start, End };
    void MoveTo(int index, Caret caret);
    void ForgetTyping();

    std::array<QLineEdit*, 4> octets_{};
    int autoMovedTo_ = -1;  // the box three digits just moved to, until the next key
    QString typed_;         // digits and dots typed in a row, for a whole address
    bool moving_ = false;
};

}  // namespace zorvik
