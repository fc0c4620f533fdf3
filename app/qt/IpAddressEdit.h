#pragma once
// An IPv4 address field: four octet boxes that take only the numbers 0 to 255. A dot
// or a third digit moves on to the next box; an empty box counts as 0.
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <cstdint>

namespace zorvik {

class IpAddressEdit : public QWidget {
    Q_OBJECT
public:
    explicit IpAddressEdit(QWidget* parent = nullptr);

    std::array<std::uint8_t, 4> Address() const;
    void SetAddress(const std::array<std::uint8_t, 4>& address);
    QLineEdit* Octet(int index) const { return octets_[static_cast<std::size_t>(index)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 4> octets_{};
};

}  // namespace zorvik
