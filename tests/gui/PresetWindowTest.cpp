// The main window opened with a printer queue's name: presets from hand-given queues
// and an own settings file in a temporary folder. Addresses are only shown; nothing
// is ever connected.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <fstream>

#include "GuiFixture.h"
#include "app/PresetSettingsFile.h"
#include "app/WindowPreset.h"
#include "app/qt/IpAddressEdit.h"
#include "app/qt/MainDialog.h"
#include "base/qt/ControlIds.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"
#include "support/FakeQueuePresets.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

class NoTools : public ToolLauncher {
public:
    bool RunStatusDialog(PrinterLink&, InterfaceType) override { return false; }
    void RunCommandEditor(PrinterLink&, InterfaceType) override {}
};

// What the window shows: interface, the six lists' texts, the IP field and the TCP port.
using Shown = std::vector<std::string>;
const Shown kDefaults = {"SERIAL", "COM1", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"};
const char kOwn[] = "Custom_HXR-615deltaV";

class PresetWindowTest : public test::GuiFixture {
protected:
    test::TempDir dir;
    std::string ownFile = dir.File("LXT-640IV.conf");
    test::FakeQueuePresets* queues = nullptr;
    std::unique_ptr<WindowPreset> preset;
    std::vector<std::string> usbPrinters;
    VirtualPacer pacer;
    NoTools tools;

    void SetUp() override
    {
        GuiFixture::SetUp();
        auto owned = std::make_unique<test::FakeQueuePresets>();
        queues = owned.get();
        preset =
            std::make_unique<WindowPreset>(std::move(owned), std::make_unique<PresetSettingsFile>(ownFile));
    }

    std::unique_ptr<MainDialog> Open(std::optional<std::string> argument)
    {
        MainDialogSetup setup;
        setup.pacer = &pacer;
        setup.tools = &tools;
        setup.hooks.discoverUsb = [this] { return usbPrinters; };
        setup.preset = preset.get();
        setup.argument = argument;
        return std::make_unique<MainDialog>(std::move(setup));
    }

    static Shown ShownBy(MainDialog& window)
    {
        Shown shown;
        const int radios[] = {kIdRadioSerial, kIdRadioParallel, kIdRadioUsb, kIdRadioEthernet};
        for (const int id : radios) {
            if (FindControlAs<QAbstractButton>(&window, id)->isChecked())
                shown.push_back(FindControlAs<QAbstractButton>(&window, id)->text().toStdString());
        }
        for (const int id :
             {kIdPortList, kIdBaudList, kIdDataBitsList, kIdParityList, kIdStopBitsList, kIdFlowList})
            shown.push_back(FindControlAs<QComboBox>(&window, id)->currentText().toStdString());
        shown.push_back(FormatIpAddress(FindControlAs<IpAddressEdit>(&window, kIdIpAddress)->Address()));
        shown.push_back(FindControlAs<QLineEdit>(&window, kIdTcpPort)->text().toStdString());
        return shown;
    }
};

TEST_F(PresetWindowTest, OpeningWithAnArgument)
{
    struct Row {
        const char* name;
        const char* argument;
        const char* queueUri;  // the queue "Receipt"
        const char* ownFile;
        std::vector<std::string> usb;
        Shown expected;
        bool usbMessage;
    };
    const Row rows[] = {
        {"queue on COM2",
         "Receipt",
         "serial:/dev/ttyS1?baud=9600+bits=8+parity=none+flow=none",
         nullptr,
         {},
         {"SERIAL", "COM2", "9600", "8", "None", "1", "None", "192.168.1.100", "9100"},
         false},
        {"queue on COM10",
         "Receipt",
         "serial:/dev/ttyS9?baud=19200+bits=7+parity=odd+stop=2+flow=soft",
         nullptr,
         {},
         {"SERIAL", "", "19200", "7", "Odd", "2", "Xon/Xoff", "192.168.1.100", "9100"},
         false},
        {"queue on LPT1",
         "Receipt",
         "parallel:/dev/lp0",
         nullptr,
         {},
         {"PARALLEL", "LPT1", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"},
         false},
        {"queue on USB, none attached", "Receipt", "usb://KARVO/LXT-640IV", nullptr, {}, kDefaults, true},
        {"queue on USB, one attached",
         "Receipt",
         "usb://KARVO/LXT-640IV",
         nullptr,
         {"LXT-640IV:/dev/usb/lp0"},
         {"USB", "LXT-640IV:/dev/usb/lp0", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"},
         false},
        {"socket queue",
         "Receipt",
         "socket://10.0.0.5:9100",
         nullptr,
         {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.5", "9100"},
         false},
        {"socket queue on another port",
         "Receipt",
         "socket://10.0.0.5:4000",
         nullptr,
         {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.5", "4000"},
         false},
        {"queue on a file", "Receipt", "file:/dev/null", nullptr, {}, kDefaults, false},
        {"queue that does not exist", "Missing", "parallel:/dev/lp0", nullptr, {}, kDefaults, false},
        {"quoted queue name", "\"Receipt\"", "parallel:/dev/lp0", nullptr, {}, kDefaults, false},
        {"own preset on COM1",
         kOwn,
         "parallel:/dev/lp0",
         "Port=COM1\nBaudRate=38400\nDataBits=7\nParity=2\nStopBits=0\nFlowControl=1\n",
         {},
         {"SERIAL", "COM1", "38400", "7", "Even", "1", "Xon/Xoff", "192.168.1.100", "9100"},
         false},
        {"own preset on COM1:",
         kOwn,
         nullptr,
         "Port=COM1:\nBaudRate=38400\nDataBits=7\nParity=2\nStopBits=0\nFlowControl=1\n",
         {},
         {"SERIAL", "", "38400", "7", "Even", "1", "Xon/Xoff", "192.168.1.100", "9100"},
         false},
        {"own preset with codes beyond the lists",
         kOwn,
         nullptr,
         "Port=COM3\nBaudRate=1200\nDataBits=8\nParity=5\nStopBits=3\nFlowControl=7\n",
         {},
         {"SERIAL", "COM3", "", "8", "", "", "", "192.168.1.100", "9100"},
         false},
        {"own preset on NET",
         kOwn,
         nullptr,
         "Port=NET\nTcpIp=10.0.0.7\nTcpPort=9100\n",
         {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.7", "9100"},
         false},
        {"own preset on NET without a TCP port",
         kOwn,
         nullptr,
         "Port=NET\nTcpIp=10.0.0.7\n",
         {},
         {"Ethernet", "", "9600", "8", "None", "1", "Hardware", "10.0.0.7", "9100"},
         false},
        {"own preset on LPT2",
         kOwn,
         nullptr,
         "Port=LPT2\n",
         {},
         {"PARALLEL", "LPT2", "9600", "8", "None", "1", "Hardware", "192.168.1.100", "9100"},
         false},
        {"own preset without a file", kOwn, "serial:/dev/ttyS1?baud=19200", nullptr, {}, kDefaults, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        queues->Set("Receipt", row.queueUri ? row.queueUri : "");
        std::filesystem::remove(ownFile);
        if (row.ownFile)
            std::ofstream(ownFile) << row.ownFile;
        usbPrinters = row.usb;
        messages.clear();

        auto window = Open(row.argument);
        EXPECT_EQ(ShownBy(*window), row.expected);
        if (row.usbMessage) {
            EXPECT_EQ(messages, (std::vector<MessageRecord>{
                                    {kMsgUsbNotConnected, kTitleInformation, MessageIcon::Information}}));
        } else {
            EXPECT_TRUE(messages.empty());
        }
        EXPECT_FALSE(window->Link().HasPort());  // shown, never connected
        const bool ethernet = row.expected[0] == "Ethernet";
        EXPECT_EQ(FindControl(window.get(), kIdIpAddress)->isEnabled(), ethernet);
        EXPECT_EQ(FindControl(window.get(), kIdPortList)->isEnabled(), !ethernet);
        if (std::string(row.name) == "socket queue")
            SaveScreenshotIfAsked(window.get(), QStringLiteral("preset-socket-queue"));
    }
}

TEST_F(PresetWindowTest, SelectionsComeBackWhenTheListsAreFilledAgain)
{
    queues->Set("Receipt", "serial:/dev/ttyS1?baud=57600+bits=7+parity=space+stop=2+flow=hard");
    auto window = Open("Receipt");
    ASSERT_EQ(ShownBy(*window),
              (Shown{"SERIAL", "COM2", "57600", "7", "Space", "2", "Hardware", "192.168.1.100", "9100"}));

    FindControlAs<QAbstractButton>(window.get(), kIdRadioParallel)->click();
    EXPECT_EQ(FindControlAs<QComboBox>(window.get(), kIdPortList)->currentText(), "LPT1");

    // "SERIAL" picks COM1, 19200 and 8 itself; parity, stop bits and flow control
    // are the preset's again.
    FindControlAs<QAbstractButton>(window.get(), kIdRadioSerial)->click();
    EXPECT_EQ(ShownBy(*window),
              (Shown{"SERIAL", "COM1", "19200", "8", "Space", "2", "Hardware", "192.168.1.100", "9100"}));
}

TEST_F(PresetWindowTest, AnAddressTypedAfterAnEthernetPresetStays)
{
    queues->Set("Receipt", "socket://10.0.0.5:9100");
    auto window = Open("Receipt");
    FindControlAs<IpAddressEdit>(window.get(), kIdIpAddress)->SetAddress({127, 0, 0, 1});
    FindControlAs<QLineEdit>(window.get(), kIdTcpPort)->setText("9101");
    FindControlAs<QAbstractButton>(window.get(), kIdRadioEthernet)->click();
    EXPECT_EQ(ShownBy(*window),
              (Shown{"Ethernet", "", "9600", "8", "None", "1", "Hardware", "127.0.0.1", "9101"}));
}

TEST_F(PresetWindowTest, WithoutAnArgumentNothingIsRead)
{
    queues->Set("", "parallel:/dev/lp0");
    std::ofstream(ownFile) << "Port=LPT1\n";
    auto window = Open(std::nullopt);
    EXPECT_EQ(ShownBy(*window), kDefaults);
    auto* parity = FindControlAs<QComboBox>(window.get(), kIdParityList);
    parity->setCurrentIndex(2);
    emit parity->activated(2);  // as when the user picks "Even"
    FindControlAs<QAbstractButton>(window.get(), kIdRadioSerial)->click();
    EXPECT_EQ(FindControlAs<QComboBox>(window.get(), kIdParityList)->currentText(), "Even");
}

}  // namespace
}  // namespace zorvik
