// The whole way a technician goes, on the real windows and the real network port
// against the virtual printer: Check Communication, Run Manager, Get Status, a
// double-byte font, Set Status, the font download, and the program's end. The
// "Printer Status" dialog runs as the program runs it, with the windows' own pacer
// and timers, so this test takes some seconds of real time.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "GuiFixture.h"
#include "app/qt/IpAddressEdit.h"
#include "app/qt/MainDialog.h"
#include "base/qt/ControlIds.h"
#include "link/SystemPortFactory.h"
#include "resources/CheckTexts.h"
#include "resources/CommonTexts.h"
#include "resources/MainTexts.h"
#include "resources/SettingsTexts.h"
#include "resources/StatusDialogIds.h"
#include "settings/qt/PrinterSettingPage.h"
#include "settings/qt/StatusDialog.h"
#include "sim/SimServer.h"

namespace zorvik {
namespace {

bool WaitFor(const std::function<bool()>& condition, int limitMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limitMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}

template <typename T = QWidget> T* Control(QWidget* root, int id)
{
    T* control = FindControlAs<T>(root, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

void Click(QWidget* root, int id)
{
    auto* button = Control<QAbstractButton>(root, id);
    ASSERT_TRUE(button && button->isEnabled()) << "button " << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

class ProgramFlowTest : public test::GuiFixture {};

TEST_F(ProgramFlowTest, FontDownloadFromPrinterStatusEndsTheProgram)
{
    SimServer server;
    ASSERT_TRUE(server.Start({.tcp = true})) << server.Error();

    MainDialogSetup setup;
    setup.makePorts = [](Pacer& p, Notifier& n) { return MakeSystemPortFactory(p, n); };
    setup.hooks.discoverUsb = [] { return std::vector<std::string>{}; };
    setup.hooks.serialDevices = [] { return std::vector<std::string>{}; };
    MainDialog main(std::move(setup));  // the real tool dialogs and the windows' pacer
    main.show();

    Click(&main, kIdRadioEthernet);
    auto* ip = Control<IpAddressEdit>(&main, kIdIpAddress);
    const char* octets[] = {"127", "0", "0", "1"};
    for (int i = 0; i < 4; ++i)
        ip->Octet(i)->setText(octets[i]);
    Control<QLineEdit>(&main, kIdTcpPort)->setText(QString::number(server.TcpPort()));
    Click(&main, kIdCheck);
    ASSERT_EQ(messages,
              (std::vector<MessageRecord>{{kMsgConnected, kTitleInformation, MessageIcon::Information}}));

    // Inside the modal "Printer Status" dialog, as the user would.
    bool drove = false;
    QTimer::singleShot(0, &main, [&] {
        StatusDialog* status = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            status = qobject_cast<StatusDialog*>(QApplication::activeModalWidget());
            return status && !status->WaitBox() && Control(status, kIdStatusGet)->isEnabled();
        }));
        Click(status, kIdStatusGet);
        Control<QTabWidget>(status, kIdStatusTabs)->setCurrentIndex(1);
        auto* fonts = Control<QComboBox>(status->SettingPage(), kIdSettingDoubleFont);
        ASSERT_TRUE(fonts->isEnabled());
        fonts->setCurrentIndex(2);  // "KS5601(Korean)"
        emit fonts->activated(2);
        Click(status, kIdStatusSet);
        drove = true;
    });
    // Bounded: a dialog still open after a minute is closed as by its close box.
    QTimer::singleShot(60000, &main, [] {
        if (auto* modal = QApplication::activeModalWidget())
            modal->close();
    });
    Click(&main, kIdRunManager);

    ASSERT_TRUE(drove);
    EXPECT_TRUE(WaitFor([&] { return !main.isVisible(); }));
    EXPECT_FALSE(main.State().Connected());
    EXPECT_TRUE(server.WithPrinter([](VirtualPrinter& p) { return p.FontComplete(); }));
    EXPECT_EQ(server.WithPrinter([](VirtualPrinter& p) { return p.FontBytes(); }), 615695u);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(),
              (MessageRecord{kMsgFontDownloadOk, kTitleInformation, MessageIcon::Information}));
}

}  // namespace
}  // namespace zorvik
