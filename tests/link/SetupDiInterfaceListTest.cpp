#include <gtest/gtest.h>

#include <sstream>

#include "link/SetupDiInterfaceList.h"
#include "link/UsbDevicePath.h"
#include "resources/LinkTexts.h"
#include "resources/UsbTexts.h"

namespace zorvik {
namespace {

// What the system's interface list holds at one index.
enum Slot {
    Printer,       // the printer's ids, openable
    PrinterHeld,   // the printer's ids, open fails (held elsewhere, or off)
    Other,         // another device, openable
    OtherHeld,     // another device, open fails
    WrongProduct,  // the printer's vendor, another product, openable
    NoDetail,      // enumerated, but the detail cannot be read
    EnumFails,     // enumeration fails with an error other than "no more items"
};

class FakeSetupDi final : public SetupDiCalls {
public:
    explicit FakeSetupDi(std::vector<Slot> slots) : slots_(std::move(slots)) {}

    static std::string PathOf(std::size_t index, Slot slot)
    {
        const bool printer = slot == Printer || slot == PrinterHeld || slot == WrongProduct;
        const std::uint16_t vendor = printer ? kPrinterUsbVendorId : 0x1d6b;
        const std::uint16_t product = slot == WrongProduct ? kPrinterUsbProductId + 1 : kPrinterUsbProductId;
        return "\\\\?\\usb#" + UsbIdMatchText(kUsbVendorMatchPrefix, vendor) + "&" +
               UsbIdMatchText(kUsbProductMatchPrefix, product) + "#" + std::to_string(index) +
               "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    }

    bool EnumInterface(std::size_t index, std::uint32_t& error) override
    {
        enumerated.push_back(index);
        current_ = index;
        if (index >= slots_.size()) {
            error = kSetupDiNoMoreItems;
            return false;
        }
        if (slots_[index] == EnumFails) {
            error = 87;  // ERROR_INVALID_PARAMETER
            return false;
        }
        return true;
    }
    std::optional<std::string> DetailPath() override
    {
        if (slots_[current_] == NoDetail)
            return std::nullopt;
        return PathOf(current_, slots_[current_]);
    }
    bool OpenShared(const std::string& path) override
    {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (PathOf(i, slots_[i]) == path)
                return slots_[i] == Printer || slots_[i] == Other || slots_[i] == WrongProduct;
        return false;
    }

    std::vector<std::size_t> enumerated;

private:
    std::vector<Slot> slots_;
    std::size_t current_ = 0;
};

struct SetupDiCase {
    const char* name;
    std::vector<Slot> slots;
    std::vector<std::size_t> found;  // indexes that yield entries, in order
    std::size_t attempted;           // "Attempting to open" lines
    std::size_t failed;              // "FAILED to open" lines
    std::size_t lastEnumerated;      // the walk's last index asked for
    friend void PrintTo(const SetupDiCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<Slot> Fill(std::size_t n, Slot fill, std::initializer_list<std::pair<std::size_t, Slot>> at)
{
    std::vector<Slot> slots(n, fill);
    for (auto [i, s] : at)
        slots[i] = s;
    return slots;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; ++at)
        ++n;
    return n;
}

class SetupDiWalk : public ::testing::TestWithParam<SetupDiCase> {};

TEST_P(SetupDiWalk, FindsThePrintersTheBatchesReach)
{
    const auto& c = GetParam();
    FakeSetupDi calls(c.slots);
    SetupDiInterfaceList list(calls);
    std::ostringstream out;
    const auto entries = WalkUsbInterfaces(list, out);

    std::vector<std::string> expected;
    for (std::size_t i : c.found)
        expected.push_back(kUsbPortPrefix + FakeSetupDi::PathOf(i, c.slots[i]));
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(Count(out.str(), "Attempting to open \\\\?\\usb#"), c.attempted) << out.str();
    EXPECT_EQ(Count(out.str(), "FAILED to open \\\\?\\usb#"), c.failed) << out.str();
    ASSERT_FALSE(calls.enumerated.empty());
    EXPECT_EQ(calls.enumerated.back(), c.lastEnumerated);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SetupDiWalk,
    ::testing::Values(
        SetupDiCase{"TwoPrintersInTheFirstBatchInOrder",
                    Fill(6, OtherHeld, {{1, Printer}, {4, Printer}}),
                    {1, 4},
                    6,
                    4,
                    6},
        SetupDiCase{"OpenableDeviceEndsTheWalkAfterTheFirstBatch",
                    Fill(10, OtherHeld, {{2, Other}, {9, Printer}}),
                    {},
                    8,
                    7,
                    7},
        SetupDiCase{"SecondBatchFindsThePrinterAndIsTheLast",
                    Fill(20, OtherHeld, {{9, Printer}, {17, Printer}}),
                    {9},
                    16,
                    15,
                    15},
        SetupDiCase{"ThirdBatchRunsToThirtyOne", Fill(40, OtherHeld, {{30, Printer}}), {30}, 32, 31, 31},
        SetupDiCase{
            "HeldPrinterGivesNoEntry", Fill(3, OtherHeld, {{0, PrinterHeld}, {2, Printer}}), {2}, 3, 2, 3},
        SetupDiCase{"VendorAloneIsNoMatch", Fill(2, WrongProduct, {{1, Printer}}), {1}, 2, 0, 2},
        SetupDiCase{"UnreadableDetailAndFailedEnumerationAreSkipped",
                    Fill(4, NoDetail, {{1, EnumFails}, {3, Printer}}),
                    {3},
                    1,
                    0,
                    4},
        SetupDiCase{"NoInterfacesNoEntries", {}, {}, 0, 0, 0}));

}  // namespace
}  // namespace zorvik
