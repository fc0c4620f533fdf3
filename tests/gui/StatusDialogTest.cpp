// The "Printer Status" dialog against the virtual printer on a loopback TCP port:
// message boxes and file dialogs scripted, pauses recorded, timers ticking from the
// event loop without their delays.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "GuiFixture.h"
#include "base/qt/ControlIds.h"
#include "base/qt/QtTimerHost.h"
#include "link/SystemPortFactory.h"
#include "resources/CommonTexts.h"
#include "resources/SettingsTexts.h"
#include "resources/StatusDialogIds.h"
#include "settings/qt/MemorySwitchPage.h"
#include "settings/qt/PrinterSettingPage.h"
#include "settings/qt/StatusDialog.h"
#include "settings/qt/WaitDialog.h"
#include "sim/SimServer.h"
#include "support/SimPortSettings.h"
#include "support/TempDir.h"
#include "support/WatchingPacer.h"

namespace zorvik {
namespace {

using test::GuiFixture;
using test::WaitFor;
using test::WatchingPacer;

// Qt timers that tick as soon as the event loop runs, remembering the delays asked for.
class PromptTimers final : public TimerHost {
public:
    explicit PromptTimers(TimerClient& client) : host_(client) {}
    void Arm(int id, std::uint32_t ms) override
    {
        armed.emplace_back(id, ms);
        if (onArm)
            onArm(id);
        host_.Arm(id, 0);
    }
    void Stop(int id) override { host_.Stop(id); }

    std::vector<std::pair<int, std::uint32_t>> armed;
    std::function<void(int)> onArm;

private:
    QtTimerHost host_;
};

// Buttons in the order Get, Print Status, Print Codepage, Set, Save, Load, Initialize, Exit.
constexpr std::array<int, 8> kButtons = {kIdStatusGet,        kIdStatusPrintStatus, kIdStatusPrintCodepage,
                                         kIdStatusSet,        kIdStatusSave,        kIdStatusLoad,
                                         kIdStatusInitialize, kIdStatusExit};
constexpr char kAllEnabled[] = "11111111";
constexpr char kAfterStartup[] = "10000001";

const MessageRecord kGotStatus{kMsgGetStatusOk, kTitleInformation, MessageIcon::Information};
const MessageRecord kSetStatus{kMsgSetStatusOk, kAppName, MessageIcon::Information};
const MessageRecord kRestart{kMsgRestartPrinter, kTitleInformation, MessageIcon::Information};

class StatusDialogTest : public GuiFixture {
protected:
    SimServer server;
    WatchingPacer pacer;
    SilentNotifier portMessages;
    std::unique_ptr<PrinterLink> link;
    PromptTimers* timers = nullptr;

    void SetUp() override
    {
        GuiFixture::SetUp();
        ASSERT_TRUE(server.Start({.tcp = true})) << server.Error();
        link = Connect();
    }
    void TearDown() override
    {
        server.Stop();
        GuiFixture::TearDown();
    }

    // A link to the virtual printer as the main window leaves it: open, on Ethernet.
    std::unique_ptr<PrinterLink> Connect()
    {
        // A printer that stops taking bytes fails a write within half a second.
        auto l = std::make_unique<PrinterLink>(
            MakeSystemPortFactory(pacer, portMessages, DeviceNames::FromEnvironment(), NetLimits{3000, 500}));
        EXPECT_NE(l->CreatePort(test::SimPortSettings(server, false)), 0);
        EXPECT_NE(l->Open(), 0);
        return l;
    }

    std::unique_ptr<StatusDialog> Make(PrinterLink& on)
    {
        StatusDialogServices services;
        services.pacer = &pacer;
        services.makeTimers = [this](TimerClient& client) {
            auto t = std::make_unique<PromptTimers>(client);
            timers = t.get();
            return t;
        };
        return std::make_unique<StatusDialog>(on, InterfaceType::Ethernet, std::move(services));
    }
    // A dialog past its start-up handshake.
    std::unique_ptr<StatusDialog> Open(PrinterLink& on)
    {
        auto dialog = Make(on);
        dialog->show();
        EXPECT_TRUE(WaitFor([&] { return !dialog->WaitBox() || !dialog->isVisible(); }));
        return dialog;
    }
    std::unique_ptr<StatusDialog> OpenAndGetStatus(PrinterLink& on)
    {
        auto dialog = Open(on);
        Click(*dialog, kIdStatusGet);
        EXPECT_EQ(Enabled(*dialog), kAllEnabled);
        return dialog;
    }

    template <typename T = QWidget> static T* Control(QWidget* root, int id)
    {
        T* control = FindControlAs<T>(root, id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    static void Click(StatusDialog& dialog, int id)
    {
        auto* button = Control<QAbstractButton>(&dialog, id);
        ASSERT_TRUE(button->isEnabled()) << "button " << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static std::string Enabled(StatusDialog& dialog)
    {
        std::string out;
        for (int id : kButtons)
            out += Control(&dialog, id)->isEnabled() ? '1' : '0';
        return out;
    }
    static QTabWidget* Tabs(StatusDialog& dialog) { return Control<QTabWidget>(&dialog, kIdStatusTabs); }
    static QComboBox* SettingList(StatusDialog& dialog, int id)
    {
        return Control<QComboBox>(dialog.SettingPage(), id);
    }
    static QComboBox* PinList(StatusDialog& dialog, int pin)
    {
        return Control<QComboBox>(dialog.SwitchPage(), kIdSwitchPinLists[static_cast<std::size_t>(pin - 1)]);
    }
    // The user picks an entry of a list.
    static void Choose(QComboBox* list, int index)
    {
        ASSERT_TRUE(list->isEnabled());
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    static void ShowSwitchPage(StatusDialog& dialog, int page)
    {
        Tabs(dialog)->setCurrentIndex(0);
        auto* page1 = dialog.SwitchPage();
        while (dialog.SwitchPage()->Model().currentPage > 1)
            QTest::mouseClick(Control<QAbstractButton>(page1, kIdSwitchBack), Qt::LeftButton);
        for (int p = 1; p < page; ++p)
            QTest::mouseClick(Control<QAbstractButton>(page1, kIdSwitchNext), Qt::LeftButton);
    }
    std::uint8_t Switch(int number)
    {
        return server.WithPrinter([number](VirtualPrinter& p) { return p.Switch(number); });
    }
    void SetSwitches(std::uint8_t bits)
    {
        server.WithPrinter([bits](VirtualPrinter& p) {
            for (int n : {1, 2, 3, 4, 5, 6, 11, 12})
                p.SetSwitch(n, bits);
        });
    }
};

TEST_F(StatusDialogTest, StartupHandshakeLeavesOnlyGetStatusAndExit)
{
    auto dialog = Make(*link);
    dialog->show();
    // Before the start-up timer: the wait box, every button disabled.
    ASSERT_NE(dialog->WaitBox(), nullptr);
    EXPECT_EQ(dialog->WaitBox()->Text().toStdString(), kWaitBoxText);
    EXPECT_TRUE(dialog->WaitBox()->windowFlags() & Qt::WindowStaysOnTopHint);
    // It has no title bar, so a frame sets it off from the windows under it.
    const QImage box = dialog->WaitBox()->grab().toImage();
    SaveScreenshotIfAsked(dialog->WaitBox(), "wait-box");
    EXPECT_NE(box.pixel(0, box.height() / 2), box.pixel(box.width() / 2, 3));
    EXPECT_NE(box.pixel(box.width() - 1, box.height() / 2), box.pixel(box.width() / 2, 3));
    EXPECT_EQ(Enabled(*dialog), "00000000");
    EXPECT_EQ(dialog->windowTitle().toStdString(), kStatusDialogTitle);
    ASSERT_EQ(timers->armed.size(), 1u);
    EXPECT_EQ(timers->armed[0], std::make_pair(StatusSession::kTimerStartup, 1000u));

    ASSERT_TRUE(WaitFor([&] { return dialog->WaitBox() == nullptr; }));
    EXPECT_EQ(Enabled(*dialog), kAfterStartup);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Control<QProgressBar>(dialog.get(), kIdStatusProgress)->value(), 0);
}

struct StartupFailure {
    const char* name;
    std::function<void(VirtualPrinter&)> fault;
    std::vector<MessageRecord> expected;
};

TEST_F(StatusDialogTest, FailedStartupHandshakeEndsWithCancelAfterItsMessage)
{
    const std::vector<StartupFailure> rows = {
        {"other model",
         [](VirtualPrinter& p) { p.Identity().model = "ZX-100"; },
         {{kMsgModelMismatch, kTitleWarning, MessageIcon::Exclamation},
          {kMsgOtherCompany, kTitleInformation, MessageIcon::Exclamation}}},
        // The "o" of the printer ID comes later than the dialog polls for it.
        {"no printer id", [](VirtualPrinter& p) { p.Faults().idFillerBytes = 40; }, {kRestart}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        server.WithPrinter([&](VirtualPrinter& p) {
            p = VirtualPrinter();
            row.fault(p);
        });
        auto l = Connect();
        auto dialog = Make(*l);
        // No message hides behind the wait box, which stays above every window.
        bool waitBoxOnTop = false;
        QtNotifier::SetTestHook([&](const MessageRecord& m) {
            messages.push_back(m);
            waitBoxOnTop = waitBoxOnTop || (dialog->WaitBox() && dialog->WaitBox()->isVisible());
        });
        dialog->show();
        ASSERT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(messages, row.expected);
        EXPECT_FALSE(waitBoxOnTop);
        EXPECT_EQ(dialog->WaitBox(), nullptr);
    }
}

TEST_F(StatusDialogTest, SettingPageBeforeGetStatusShowsTheStartupTextsWithListsDisabled)
{
    auto dialog = Open(*link);
    // The memory-switch page is not ready: reserved labels, empty disabled lists.
    for (int pin = 1; pin <= 8; ++pin) {
        EXPECT_EQ(Control<QLabel>(dialog->SwitchPage(), kIdSwitchPinLabels[pin - 1])->text().toStdString(),
                  kReservedPinLabels[static_cast<std::size_t>(pin - 1)]);
        EXPECT_EQ(PinList(*dialog, pin)->count(), 0);
        EXPECT_FALSE(PinList(*dialog, pin)->isEnabled());
    }
    EXPECT_EQ(Control<QLabel>(dialog->SwitchPage(), kIdSwitchCaption)->text(), "1");

    Tabs(*dialog)->setCurrentIndex(1);
    QWidget* page = dialog->SettingPage();
    EXPECT_TRUE(page->isVisible());
    for (int id : {kIdSettingCodePage, kIdSettingDoubleFont, kIdSettingPrintSpeed, kIdSettingEmulation,
                   kIdSettingSingleFont}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(SettingList(*dialog, id)->isEnabled());
        EXPECT_EQ(SettingList(*dialog, id)->currentIndex(), 0);
    }
    EXPECT_EQ(SettingList(*dialog, kIdSettingCodePage)->currentText(), "No Change");
    for (int id : {kIdSettingPowerSaveDisable, kIdSettingPowerSaveEnable, kIdSettingEntranceTime})
        EXPECT_FALSE(Control(page, id)->isEnabled()) << id;
    EXPECT_EQ(Control<QLabel>(page, kIdSettingModel)->text(), "LXT-640IV");
    EXPECT_EQ(Control<QLabel>(page, kIdSettingFirmware)->text(), "V1.00 LXT");
    EXPECT_EQ(Control<QLabel>(page, kIdSettingLanguage)->text(), "ENGLISH");
    EXPECT_EQ(Enabled(*dialog), kAfterStartup);
}

TEST_F(StatusDialogTest, GetStatusFillsBothPagesFromThePrinter)
{
    server.WithPrinter([](VirtualPrinter& p) {
        p.SetSwitch(1, 0x02);         // print speed value 2: "Print speed 1"
        p.SetSwitch(2, 0x08 | 0x20);  // code page value 1 + 4 = 5: "PC865 (Nordic)"
        p.SetSwitch(5, 0x04);         // one pin on: pin 3
        p.SetPowerSave(true, 45);
    });
    auto dialog = Open(*link);
    std::string duringGet;
    pacer.onPause = [&](std::uint32_t) {
        if (duringGet.empty())
            duringGet = Enabled(*dialog);
    };
    Click(*dialog, kIdStatusGet);
    pacer.onPause = nullptr;
    EXPECT_EQ(duringGet, "00000001");
    EXPECT_EQ(messages, std::vector<MessageRecord>{kGotStatus});
    EXPECT_EQ(Enabled(*dialog), kAllEnabled);
    EXPECT_TRUE(dialog->isVisible());
    SaveScreenshotIfAsked(dialog.get(), "status-memory-switch");

    // Memory switch page 5: pin 3 "Enable", every other pin "Disable".
    ShowSwitchPage(*dialog, 5);
    EXPECT_EQ(Control<QLabel>(dialog->SwitchPage(), kIdSwitchCaption)->text(), "5");
    for (int pin = 1; pin <= 8; ++pin)
        EXPECT_EQ(PinList(*dialog, pin)->currentText(), pin == 3 ? "Enable" : "Disable") << pin;
    EXPECT_EQ(Control<QLabel>(dialog->SwitchPage(), kIdSwitchPinLabels[2])->text(),
              "[PIN 3] Two-Color Support");
    ShowSwitchPage(*dialog, 7);
    EXPECT_EQ(Control<QLabel>(dialog->SwitchPage(), kIdSwitchCaption)->text(), "11");
    EXPECT_FALSE(Control(dialog->SwitchPage(), kIdSwitchNext)->isEnabled());

    Tabs(*dialog)->setCurrentIndex(1);
    QWidget* page = dialog->SettingPage();
    EXPECT_EQ(SettingList(*dialog, kIdSettingPrintSpeed)->currentText(), "Print speed 1");
    EXPECT_EQ(SettingList(*dialog, kIdSettingCodePage)->currentText(), "PC865 (Nordic)");
    EXPECT_TRUE(SettingList(*dialog, kIdSettingCodePage)->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>(page, kIdSettingPowerSaveEnable)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(page, kIdSettingEntranceTime)->text(), "45");

    SaveScreenshotIfAsked(dialog.get(), "status-printer-setting");
}

TEST_F(StatusDialogTest, GetStatusWithThePrinterGoneEndsTheDialog)
{
    auto dialog = Open(*link);
    server.Unplug();
    Click(*dialog, kIdStatusGet);
    ASSERT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kRestart});
}

TEST_F(StatusDialogTest, SetStatusWithThePrinterGoneLeavesOnlyExit)
{
    auto dialog = OpenAndGetStatus(*link);
    messages.clear();
    server.Unplug();
    Click(*dialog, kIdStatusSet);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kRestart});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Enabled(*dialog), "00000001");
}

TEST_F(StatusDialogTest, PrintButtonsReachThePrinter)
{
    struct Row {
        int button;
        std::function<int(VirtualPrinter&)> prints;
    };
    const std::vector<Row> rows = {
        {kIdStatusPrintStatus, [](VirtualPrinter& p) { return p.StatusPrints(); }},
        {kIdStatusPrintCodepage, [](VirtualPrinter& p) { return p.CodePagePrints(); }},
    };
    auto dialog = OpenAndGetStatus(*link);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        Click(*dialog, row.button);
        // No reply follows these commands: the printer takes them in its own time.
        EXPECT_TRUE(WaitFor([&] { return server.WithPrinter(row.prints) == 1; }, 5000));
    }
    EXPECT_TRUE(messages == std::vector<MessageRecord>{kGotStatus});
    EXPECT_EQ(Enabled(*dialog), kAllEnabled);
}

// Each exchange holds the window: the wait cursor shows at every pause, its messages
// show with the normal cursor, and a click on Get Status made meanwhile is dropped
// instead of running once the exchange has ended.
TEST_F(StatusDialogTest, ExchangesShowTheWaitCursorAndDropClicksMadeMeanwhile)
{
    struct Row {
        const char* name;
        int button;  // 0: the identification at the dialog's start
        std::vector<MessageRecord> expected;
    };
    const std::vector<Row> rows = {
        {"start-up", 0, {}},
        {"Get Status", kIdStatusGet, {kGotStatus}},
        {"Set Status", kIdStatusSet, {kSetStatus}},
        {"Print Status", kIdStatusPrintStatus, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto dialog = row.button == 0              ? Make(*link)
                      : row.button == kIdStatusGet ? Open(*link)
                                                   : OpenAndGetStatus(*link);
        messages.clear();
        test::HoldWatch watch(messages);
        pacer.onPause = [&](std::uint32_t) { watch.AtPause(Control(dialog.get(), kIdStatusGet)); };
        if (row.button == 0) {
            dialog->show();
            ASSERT_TRUE(WaitFor([&] { return !dialog->WaitBox(); }));
        } else {
            Click(*dialog, row.button);
        }
        pacer.onPause = nullptr;
        watch.ExpectHeld();
        EXPECT_EQ(messages, row.expected);
        EXPECT_TRUE(dialog->isVisible());
    }
}

TEST_F(StatusDialogTest, CloseDuringGetStatusWaitsForTheExchangeToEnd)
{
    auto dialog = Open(*link);
    bool visibleAfterClose = false;
    pacer.onPause = [&](std::uint32_t) {
        if (pacer.onPause) {
            dialog->close();
            visibleAfterClose = dialog->isVisible();
            pacer.onPause = nullptr;
        }
    };
    Click(*dialog, kIdStatusGet);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kGotStatus});
    ASSERT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(StatusDialogTest, ClosingDuringTheDownloadStopsIt)
{
    auto dialog = OpenAndGetStatus(*link);
    Tabs(*dialog)->setCurrentIndex(1);
    Choose(SettingList(*dialog, kIdSettingDoubleFont), 6);  // "WPC1257_KARVO"
    int blockTimers = 0;
    timers->onArm = [&](int id) {
        if (id == StatusSession::kTimerBlock && ++blockTimers == 3)
            QTimer::singleShot(0, dialog.get(), [&] { dialog->close(); });
    };
    Click(*dialog, kIdStatusSet);
    ASSERT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    // The first piece and two blocks went out; nothing follows once the dialog is closed.
    const auto fontBytes = [&] {
        return server.WithPrinter([](VirtualPrinter& p) { return p.FontBytes(); });
    };
    EXPECT_TRUE(WaitFor([&] { return fontBytes() == 64u + 2 * 4096u; }, 5000)) << fontBytes();
    QTest::qWait(50);
    EXPECT_EQ(blockTimers, 3);
    EXPECT_EQ(fontBytes(), 64u + 2 * 4096u);
}

TEST_F(StatusDialogTest, SetStatusWritesTheEditedListAndPinAndPowerSave)
{
    auto dialog = OpenAndGetStatus(*link);
    Tabs(*dialog)->setCurrentIndex(1);
    Choose(SettingList(*dialog, kIdSettingCodePage), 37);  // "WPC1250 (Czech)", value 36
    QWidget* page = dialog->SettingPage();
    Control<QRadioButton>(page, kIdSettingPowerSaveEnable)->click();
    Control<QLineEdit>(page, kIdSettingEntranceTime)->setText("120");

    ShowSwitchPage(*dialog, 6);
    Choose(PinList(*dialog, 4), 1);  // "[PIN 4] Auto external buzzer after cutting": Enable
    messages.clear();
    Click(*dialog, kIdStatusSet);
    EXPECT_EQ(messages, std::vector<MessageRecord>{kSetStatus});
    EXPECT_EQ(Enabled(*dialog), kAllEnabled);
    // Code page 36 = bit 2 on pin 6 and bit 5 on pin 3; pin 1 (destination) not chosen.
    EXPECT_EQ(Switch(2), 0x24);
    EXPECT_EQ(Switch(6), 0x08);
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.PowerSaveEnabled(); }));
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.PowerSaveSeconds(); }), 120);
}

TEST_F(StatusDialogTest, EntranceTimeOutsideSixTo255IsRefusedAndReset)
{
    auto dialog = OpenAndGetStatus(*link);
    auto* field = Control<QLineEdit>(dialog->SettingPage(), kIdSettingEntranceTime);
    for (const char* typed : {"5", "256", "2x"}) {
        SCOPED_TRACE(typed);
        messages.clear();
        field->setText(typed);
        const auto before = server.WithPrinter([](VirtualPrinter& p) { return p.Log().size(); });
        Click(*dialog, kIdStatusSet);
        EXPECT_EQ(messages,
                  (std::vector<MessageRecord>{{kMsgEntranceRange, kTitleWarning, MessageIcon::Exclamation}}));
        EXPECT_EQ(field->text(), "20");
        EXPECT_EQ(Enabled(*dialog), kAllEnabled);
        // Only the handshake went out: the printer never entered user setting mode.
        const auto names = server.WithPrinter([](VirtualPrinter& p) { return p.CommandNames(); });
        for (std::size_t i = before; i < names.size(); ++i)
            EXPECT_EQ(names[i].find("GS ( E"), std::string::npos) << names[i];
    }
}

TEST_F(StatusDialogTest, InitializeThenSetStatusTurnsEverySwitchOff)
{
    SetSwitches(0xFF);
    auto dialog = OpenAndGetStatus(*link);
    Click(*dialog, kIdStatusInitialize);
    // The page on view shows every pin off.
    for (int pin = 1; pin <= 8; ++pin)
        EXPECT_EQ(PinList(*dialog, pin)->currentIndex(), 2) << pin;
    Click(*dialog, kIdStatusSet);
    for (int n : {1, 2, 3, 4, 5, 6, 11, 12})
        EXPECT_EQ(Switch(n), 0) << "switch " << n;
}

TEST_F(StatusDialogTest, LoadStatusRestoresTheSavedSwitchesOnAnotherDialog)
{
    test::TempDir dir;
    server.WithPrinter([](VirtualPrinter& p) {
        for (int n : {1, 2, 3, 4, 5, 6, 11, 12})
            p.SetSwitch(n, static_cast<std::uint8_t>(n));
    });
    const std::string path = dir.File("first.sts");
    SettingsRecord saved;
    {
        auto first = OpenAndGetStatus(*link);
        saved = first->Session().Record();
        files.answers.push_back(path);
        Click(*first, kIdStatusSave);
        ASSERT_EQ(files.asked.size(), 1u);
        EXPECT_EQ(files.asked[0].title, kSaveStatusTitle);
        EXPECT_EQ(files.asked[0].proposedName, kStatusProposedName);
        EXPECT_EQ(files.asked[0].filter, kStatusFilter);
        Click(*first, kIdStatusExit);
        EXPECT_EQ(first->result(), QDialog::Rejected);
    }
    SetSwitches(0xA5);
    auto second = OpenAndGetStatus(*link);
    const SettingsRecord read = second->Session().Record();

    messages.clear();
    files.answers.push_back(dir.File("first.STS"));
    Click(*second, kIdStatusLoad);
    EXPECT_EQ(messages,
              (std::vector<MessageRecord>{{kMsgWrongFormat, kTitleWarning, MessageIcon::Exclamation}}));
    EXPECT_EQ(second->Session().Record(), read);

    files.answers.push_back(path);
    Click(*second, kIdStatusLoad);
    EXPECT_EQ(files.asked.back().title, kLoadStatusTitle);
    const SettingsRecord& loaded = second->Session().Record();
    for (int e = 0; e < kSwitchCount; ++e) {
        const bool kept =
            e == kEntrySwitch1 || e == kEntrySwitch2 || e == kEntrySwitch11 || e == kEntrySwitch12;
        EXPECT_EQ(loaded.entries[e], kept ? saved.entries[e] : read.entries[e]) << "entry " << e;
    }
    // Page 1 shows switch 1 as saved (value 1: pin 1 on).
    ShowSwitchPage(*second, 1);
    EXPECT_EQ(PinList(*second, 1)->currentText(), "Enable");
    EXPECT_EQ(PinList(*second, 2)->currentText(), "Disable");
    EXPECT_EQ(Enabled(*second), kAllEnabled);
}

TEST_F(StatusDialogTest, DoubleByteFontIsDownloadedAndTheDialogEndsWithOk)
{
    // Run as the main window runs it: exec() returns Accepted, on which the program ends.
    auto dialog = Make(*link);
    std::vector<int> progress;
    int blockTimers = 0;
    std::string betweenBlocks;
    bool setStatusClicked = false;
    QTimer::singleShot(0, dialog.get(), [&] {
        ASSERT_TRUE(WaitFor([&] { return dialog->WaitBox() == nullptr; }));
        Click(*dialog, kIdStatusGet);
        Tabs(*dialog)->setCurrentIndex(1);
        Choose(SettingList(*dialog, kIdSettingDoubleFont), 2);  // "KS5601(Korean)"
        EXPECT_FALSE(SettingList(*dialog, kIdSettingCodePage)->isEnabled());
        QObject::connect(Control<QProgressBar>(dialog.get(), kIdStatusProgress), &QProgressBar::valueChanged,
                         [&](int v) { progress.push_back(v); });
        timers->onArm = [&](int id) {
            if (id != StatusSession::kTimerBlock || ++blockTimers != 5)
                return;
            // Between two blocks the window takes a tab change.
            QTimer::singleShot(0, dialog.get(), [&] {
                Tabs(*dialog)->setCurrentIndex(0);
                betweenBlocks = Enabled(*dialog) + (dialog->SwitchPage()->isVisible() ? "+" : "-");
            });
        };
        messages.clear();
        Click(*dialog, kIdStatusSet);
        setStatusClicked = true;
    });
    // Bounded: a download that never ends closes the dialog as the close box would.
    QTimer::singleShot(60000, dialog.get(), [&] { dialog->close(); });
    EXPECT_EQ(dialog->exec(), QDialog::Accepted);
    ASSERT_TRUE(setStatusClicked);
    EXPECT_EQ(betweenBlocks, "00000000+");
    EXPECT_EQ(messages, (std::vector<MessageRecord>{
                            {kMsgFirmwareChanged, kAppName, MessageIcon::Information},
                            {kMsgFontDownloadOk, kTitleInformation, MessageIcon::Information}}));
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.FontComplete(); }));
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.FontBytes(); }), 615695u);
    EXPECT_EQ(Switch(12), 0x01);
    // From 10, one step every fourth block, to 100, then back to 0.
    const std::vector<int> start = {100, 0, 10, 11, 12};
    const auto begin = std::search(progress.begin(), progress.end(), start.begin(), start.end());
    ASSERT_NE(begin, progress.end());
    const auto top = std::find(begin + 1, progress.end(), 100);
    ASSERT_NE(top, progress.end());
    EXPECT_TRUE(std::is_sorted(begin + 1, top + 1));
    EXPECT_GE(*(top - 1), 40);  // about 150 blocks of 4096 bytes
    EXPECT_EQ(progress.back(), 0);
    for (const auto& [id, ms] : timers->armed) {
        if (id != StatusSession::kTimerStartup) {
            EXPECT_EQ(ms, 10u) << "timer " << id;
        }
    }
}

TEST_F(StatusDialogTest, PrinterRefusingWritesMidImageFailsTheDownload)
{
    // The printer takes the first 40000 bytes of the connection and then hangs up.
    server.WithPrinter([](VirtualPrinter& p) { p.Faults().dropAfterBytes = 40000; });
    auto refusing = Connect();
    auto dialog = OpenAndGetStatus(*refusing);
    Tabs(*dialog)->setCurrentIndex(1);
    Choose(SettingList(*dialog, kIdSettingDoubleFont), 4);  // "BIG5(Traditional Chinese)"
    messages.clear();
    Click(*dialog, kIdStatusSet);
    const MessageRecord failed{kMsgFontDownloadFailed, kTitleWarning, MessageIcon::Exclamation};
    ASSERT_TRUE(WaitFor([&] { return !messages.empty() && messages.back() == failed; }, 60000));
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(Enabled(*dialog), kAllEnabled);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(Control<QProgressBar>(dialog.get(), kIdStatusProgress)->value(), 0);
    EXPECT_FALSE(server.WithPrinter([](VirtualPrinter& p) { return p.FontComplete(); }));
}

TEST_F(StatusDialogTest, ExitAndEscEndWithCancelAndLeaveTheLinkOpen)
{
    for (bool esc : {false, true}) {
        SCOPED_TRACE(esc ? "Esc" : "Exit");
        auto dialog = Open(*link);
        if (esc)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            Click(*dialog, kIdStatusExit);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
    std::uint8_t init[] = {0x1B, 0x40};
    EXPECT_EQ(link->Write(init, sizeof init), 2);
}

}  // namespace
}  // namespace zorvik
