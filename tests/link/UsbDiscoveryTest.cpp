#include <gtest/gtest.h>

#include <fnmatch.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>

#include "UsbFakeTree.h"
#include "link/NaturalOrder.h"
#include "link/UsbDevicePath.h"
#include "link/UsbDiscovery.h"
#include "link/UsbIds.h"
#include "link/posix/UsbSysfs.h"
#include "resources/LinkTexts.h"
#include "resources/UsbTexts.h"
#include "support/RowName.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

using test::UsbFakeTree;

// What sits at one index of the driver's interface list.
enum Kind {
    Printer,        // the printer's ids, node openable
    PrinterAbsent,  // the printer's ids, node missing
    Other,          // another vendor's device, openable
    OtherAbsent,    // another vendor's device, node missing
    WrongProduct,   // the printer's vendor with another product, openable
    Unreadable,     // no ids in sysfs
};

struct WalkCase {
    const char* name;
    std::vector<Kind> kinds;         // index i sits at bus place "1-<i+1>"
    std::vector<std::size_t> found;  // indexes that must yield entries, in order
    std::size_t attempted;           // "Attempting to open" lines
    friend void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<Kind> Fill(std::size_t n, Kind fill, std::initializer_list<std::pair<std::size_t, Kind>> at)
{
    std::vector<Kind> kinds(n, fill);
    for (auto [i, k] : at)
        kinds[i] = k;
    return kinds;
}

class UsbWalkTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(UsbWalkTest, FindsThePrintersTheBatchesReach)
{
    const auto& c = GetParam();
    UsbFakeTree tree;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < c.kinds.size(); ++i) {
        const std::string device = "1-" + std::to_string(i + 1);
        const std::string node = "lp" + std::to_string(i);
        const Kind k = c.kinds[i];
        const bool printer = k == Printer || k == PrinterAbsent || k == WrongProduct;
        const std::uint16_t product = k == WrongProduct ? kPrinterUsbProductId + 1 : kPrinterUsbProductId;
        paths.push_back(tree.AddInterface(device, printer ? kPrinterUsbVendorId : 0x1d6b, product, node));
        if (k == Printer || k == Other || k == WrongProduct)
            tree.MakeFifo(node);
        if (k == Unreadable)
            std::filesystem::remove(tree.Sys("bus/usb/devices/" + device + "/idVendor"));
    }
    std::ostringstream out;
    const auto entries = DiscoverUsbPrinters(tree.env, out);

    std::vector<std::string> expected;
    for (std::size_t i : c.found)
        expected.push_back(kUsbPortPrefix + paths[i]);
    EXPECT_EQ(entries, expected);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = out.str().find("Attempting to open ", at)) != std::string::npos; ++at)
        ++lines;
    EXPECT_EQ(lines, c.attempted) << out.str();
}

INSTANTIATE_TEST_SUITE_P(
    Trees, UsbWalkTest,
    ::testing::Values(
        WalkCase{"TwoPrintersInTheFirstBatchInOrder",
                 Fill(6, OtherAbsent, {{1, Printer}, {4, Printer}}),
                 {1, 4},
                 6},
        WalkCase{"OtherOpenableDeviceEndsTheWalkBeforeThePrinter",
                 Fill(10, OtherAbsent, {{2, Other}, {9, Printer}}),
                 {},
                 8},
        WalkCase{"SecondBatchFindsThePrinterAndIsTheLast",
                 Fill(20, OtherAbsent, {{9, Printer}, {17, Printer}}),
                 {9},
                 16},
        WalkCase{
            "AbsentPrinterGivesNoEntry", Fill(3, OtherAbsent, {{0, PrinterAbsent}, {2, Printer}}), {2}, 3},
        WalkCase{"VendorAloneIsNoMatch", Fill(2, WrongProduct, {{1, Printer}}), {1}, 2},
        WalkCase{"UnreadableInterfaceIsSkippedSilently", Fill(3, Unreadable, {{2, Printer}}), {2}, 1},
        WalkCase{"NoInterfacesNoEntries", {}, {}, 0}),
    test::RowName());

TEST(UsbDiscovery, WritesBothDiagnosticLinesWithThePath)
{
    UsbFakeTree tree;
    const std::string absent = tree.AddInterface("3-1", 0x1d6b, 0x0002, "lp0");
    const std::string printer = tree.AddInterface("3-2", kPrinterUsbVendorId, kPrinterUsbProductId, "lp1");
    tree.MakeFifo("lp1");
    std::ostringstream out;
    EXPECT_EQ(DiscoverUsbPrinters(tree.env, out), std::vector<std::string>{"LXT-640IV:" + printer});
    EXPECT_EQ(out.str(), "Attempting to open " + absent + "\nFAILED to open " + absent +
                             "\nAttempting to open " + printer + "\n");
}

TEST(UsbDiscovery, UpperCaseIdsInSysfsStillMatch)
{
    UsbFakeTree tree;
    tree.AddInterface("1-1", kPrinterUsbVendorId, kPrinterUsbProductId, "lp0", "%04X");
    tree.MakeFifo("lp0");
    std::ostringstream out;
    const auto entries = DiscoverUsbPrinters(tree.env, out);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_NE(entries[0].find(UsbIdMatchText(kUsbVendorMatchPrefix, kPrinterUsbVendorId)), std::string::npos);
}

TEST(UsbDiscovery, MissingSysfsGivesNothing)
{
    std::ostringstream out;
    EXPECT_TRUE(DiscoverUsbPrinters({"/nonexistent/sys", "/nonexistent/dev"}, out).empty());
    EXPECT_EQ(out.str(), "");
}

// A list whose paths are too long for a port-list entry: skipped without a probe.
class LongPathList final : public UsbInterfaceList {
public:
    UsbEnumResult At(std::size_t index, UsbInterfaceEntry& entry) override
    {
        if (index >= 2)
            return UsbEnumResult::NoMore;
        entry.path = std::string(index == 0 ? 300 : 10, 'a') +
                     UsbIdMatchText(kUsbVendorMatchPrefix, kPrinterUsbVendorId) +
                     UsbIdMatchText(kUsbProductMatchPrefix, kPrinterUsbProductId);
        return UsbEnumResult::Found;
    }
    bool Probe(const UsbInterfaceEntry&) override { return ++probes, true; }
    int probes = 0;
};

TEST(UsbDiscovery, OverlongPathIsSkippedNotCut)
{
    LongPathList list;
    std::ostringstream out;
    const auto entries = WalkUsbInterfaces(list, out);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].size(), std::string(kUsbPortPrefix).size() + 10 + 16);
    EXPECT_EQ(list.probes, 1);
}

struct PathCase {
    const char* text;
    bool valid;
};

TEST(UsbDevicePathText, ParsesOnlyWellFormedPaths)
{
    const PathCase cases[] = {
        {"usb:1-2:1.0:vid_f5a7:pid_0640", true},  {"usb:3-1.4.2:1.0:vid_0000:pid_ffff", true},
        {"usb:1-2:1.0:vid_F5A7:pid_0640", false},  // match texts are lower case
        {"usb:../../x:vid_f5a7:pid_0640", false},  // never leads out of the bus folders
        {"usb:1-2/..:vid_f5a7:pid_0640", false},  {"usb::vid_f5a7:pid_0640", false},
        {"usb:1-2:1.0:vid_f5a7:pid_064", false},  {"1-2:1.0:vid_f5a7:pid_0640", false},
        {"usb:1-2:1.0:pid_0640:vid_f5a7", false}, {"", false},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseUsbDevicePath(c.text);
        EXPECT_EQ(parsed.has_value(), c.valid) << c.text;
        if (parsed) {
            EXPECT_EQ(FormatUsbDevicePath(*parsed), c.text);
        }
    }
}

TEST(UsbDevicePathText, BusOrderComparesNumbersAsNumbers)
{
    std::vector<std::string> places = {"2-1:1.0",   "1-10:1.0", "1-9:1.0", "1-1.10:1.0",
                                       "1-1.2:1.0", "1-1:1.1",  "1-1:1.0"};
    std::sort(places.begin(), places.end(), NaturalLess);
    EXPECT_EQ(places, (std::vector<std::string>{"1-1.2:1.0", "1-1.10:1.0", "1-1:1.0", "1-1:1.1", "1-9:1.0",
                                                "1-10:1.0", "2-1:1.0"}));
    // Device names sort the same way: stem first, then the number as a number.
    std::vector<std::string> names = {"ttyUSB0", "ttyS10", "ttyS2", "ttyACM1", "lp1", "ttyS"};
    std::sort(names.begin(), names.end(), NaturalLess);
    EXPECT_EQ(names, (std::vector<std::string>{"lp1", "ttyACM1", "ttyS", "ttyS2", "ttyS10", "ttyUSB0"}));
}

// The udev rule's patterns for the device ID (two ATTRS{ieee1284_id} matches on the
// printer's node, each a list of alternatives split at '|').
std::vector<std::vector<std::string>> UdevDeviceIdPatterns()
{
    const auto rule =
        std::filesystem::path(__FILE__).parent_path() / "../../packaging/udev/70-zorvik-printer.rules";
    std::ifstream in(rule);
    std::vector<std::vector<std::string>> patterns;
    const std::string key = "ATTRS{ieee1284_id}==\"";
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('#'))
            continue;
        for (std::size_t at = 0; (at = line.find(key, at)) != std::string::npos;) {
            at += key.size();
            std::vector<std::string> alternatives;
            std::istringstream list(line.substr(at, line.find('"', at) - at));
            for (std::string alternative; std::getline(list, alternative, '|');)
                alternatives.push_back(alternative);
            patterns.push_back(alternatives);
        }
    }
    return patterns;
}

bool UdevRuleMatches(const std::vector<std::vector<std::string>>& patterns, const std::string& id)
{
    return std::all_of(patterns.begin(), patterns.end(), [&](const std::vector<std::string>& alternatives) {
        return std::any_of(alternatives.begin(), alternatives.end(),
                           [&](const std::string& p) { return ::fnmatch(p.c_str(), id.c_str(), 0) == 0; });
    });
}

struct DeviceIdCase {
    const char* name;
    std::optional<std::string> deviceId;  // none: the interface shows no readable ID
    UsbId ids;
    bool found;
    friend void PrintTo(const DeviceIdCase& c, std::ostream* os) { *os << c.name; }
};

constexpr UsbId kOtherIds{0x04b8, 0x0202};

class UsbDeviceIdTest : public ::testing::TestWithParam<DeviceIdCase> {};

// Through the sysfs tree: the ID file of the interface, the walk, the entry.
TEST_P(UsbDeviceIdTest, DiscoveryTakesThePrinterByWhatItSaysItIs)
{
    const auto& c = GetParam();
    UsbFakeTree tree;
    const std::string path = tree.AddInterface("2-1", c.ids.vendor, c.ids.product, "lp0");
    tree.MakeFifo("lp0");
    if (c.deviceId)
        tree.SetDeviceId("2-1:1.0", *c.deviceId);
    std::ostringstream out;
    const auto expected =
        c.found ? std::vector<std::string>{kUsbPortPrefix + path} : std::vector<std::string>{};
    EXPECT_EQ(DiscoverUsbPrinters(tree.env, out), expected);
    // The udev rule gives the same printers their permissions.
    if (c.deviceId && !(c.ids == BuiltInPrinterUsbId())) {
        const auto patterns = UdevDeviceIdPatterns();
        ASSERT_EQ(patterns.size(), 2u);
        EXPECT_EQ(UdevRuleMatches(patterns, *c.deviceId), c.found) << *c.deviceId;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ids, UsbDeviceIdTest,
    ::testing::Values(
        DeviceIdCase{"ShortKeys", "MFG:KARVO;MDL:LXT-640IV;CMD:ESC/POS;", kOtherIds, true},
        DeviceIdCase{"LongKeys", "MANUFACTURER:KARVO;MODEL:LXT-640IV;COMMAND SET:ESC/POS;", kOtherIds, true},
        DeviceIdCase{"MixedKeysModelFirst", "CLS:PRINTER;MODEL:LXT-800;MFG:KARVO;", kOtherIds, true},
        DeviceIdCase{"ExtraFieldsAround",
                     "CMD:ESC/POS;MFG:KARVO;CLS:PRINTER;MDL:LXT-640IV;DES:Receipt;SN:X1;", kOtherIds, true},
        DeviceIdCase{"AnotherMaker", "MFG:KARVOX;MDL:LXT-640IV;", kOtherIds, false},
        DeviceIdCase{"MakerInLowerCase", "MFG:karvo;MDL:LXT-640IV;", kOtherIds, false},
        DeviceIdCase{"AnotherModel", "MFG:KARVO;MDL:TM-T88;", kOtherIds, false},
        DeviceIdCase{"ModelWithoutTheFamily", "MFG:KARVO;MDL:640IV;CMD:LXT;", kOtherIds, false},
        DeviceIdCase{"MakerOnly", "MFG:KARVO;CMD:ESC/POS;", kOtherIds, false},
        DeviceIdCase{"EmptyId", "", kOtherIds, false},
        DeviceIdCase{"UnreadableIdWithThePrintersIds", std::nullopt, BuiltInPrinterUsbId(), true},
        DeviceIdCase{"UnreadableIdWithOtherIds", std::nullopt, kOtherIds, false},
        DeviceIdCase{"OtherPrinterWithThePrintersIdsStillByIds", "MFG:ACME;MDL:P1;", BuiltInPrinterUsbId(),
                     true}),
    test::RowName());

struct IdListCase {
    const char* name;
    std::optional<std::string> variable;  // ZORVIK_USB_IDS
    std::optional<std::string> fileText;  // usb-ids.conf under XDG_CONFIG_HOME/zorvik
    std::vector<UsbId> ids;               // after the built-in pair
    friend void PrintTo(const IdListCase& c, std::ostream* os) { *os << c.name; }
};

class UsbIdListTest : public ::testing::TestWithParam<IdListCase> {};

// The ids the user sets reach discovery: a printer with each of them is found.
TEST_P(UsbIdListTest, UserIdsJoinTheBuiltInPair)
{
    const auto& c = GetParam();
    test::TempDir config;
    if (c.fileText) {
        std::filesystem::create_directories(config.File("zorvik"));
        std::ofstream(config.File("zorvik/usb-ids.conf")) << *c.fileText;
    }
    std::vector<UsbId> expected{BuiltInPrinterUsbId()};
    expected.insert(expected.end(), c.ids.begin(), c.ids.end());
    const auto ids = PrinterUsbIds(c.variable, config.Path().string(), std::nullopt);
    EXPECT_EQ(ids, expected);

    UsbFakeTree tree;
    tree.env.printerIds = ids;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string node = "lp" + std::to_string(i);
        paths.push_back(kUsbPortPrefix + tree.AddInterface("1-" + std::to_string(i + 1), expected[i].vendor,
                                                           expected[i].product, node));
        tree.MakeFifo(node);
    }
    tree.AddInterface("1-9", 0x1d6b, 0x0002, "lp9");
    tree.MakeFifo("lp9");
    std::ostringstream out;
    EXPECT_EQ(DiscoverUsbPrinters(tree.env, out), paths);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, UsbIdListTest,
    ::testing::Values(IdListCase{"NothingSet", std::nullopt, std::nullopt, {}},
                      IdListCase{"Variable", "0a5f:00e0", std::nullopt, {{0x0a5f, 0x00e0}}},
                      IdListCase{"VariableListUpperCase",
                                 "0A5F:00E0,04b8:0e28",
                                 std::nullopt,
                                 {{0x0a5f, 0x00e0}, {0x04b8, 0x0e28}}},
                      IdListCase{
                          "FileWithCommentsAndBadItems",
                          std::nullopt,
                          "# the shop's printers\n0a5f:00e0 04b8:0e28 # two\nvid_1234\n12345:1\n0a5f:0:0\n",
                          {{0x0a5f, 0x00e0}, {0x04b8, 0x0e28}}},
                      IdListCase{"FileThenVariableWithoutRepeats",
                                 "04b8:0e28, f5a7:0640",
                                 "0a5f:00e0\n",
                                 {{0x0a5f, 0x00e0}, {0x04b8, 0x0e28}}},
                      IdListCase{"BadVariableAddsNothing", "0a5f", std::nullopt, {}}),
    test::RowName());

TEST(UsbUdevRule, CarriesThePrintersIds)
{
    const auto rule =
        std::filesystem::path(__FILE__).parent_path() / "../../packaging/udev/70-zorvik-printer.rules";
    std::ifstream in(rule);
    ASSERT_TRUE(in) << rule;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string vendor = UsbIdMatchText("", kPrinterUsbVendorId);
    const std::string product = UsbIdMatchText("", kPrinterUsbProductId);
    for (const std::string& key : {"ATTRS{idVendor}==\"" + vendor, "ATTR{idVendor}==\"" + vendor,
                                   "ATTRS{idProduct}==\"" + product, "ATTR{idProduct}==\"" + product})
        EXPECT_NE(text.find(key), std::string::npos) << key;
}

}  // namespace
}  // namespace zorvik
