#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "GuiFixture.h"
#include "base/qt/BusyGuard.h"
#include "base/qt/ControlIds.h"
#include "base/qt/ExchangeHold.h"
#include "base/qt/QtTimerHost.h"
#include "base/qt/WindowPacer.h"

namespace zorvik {
namespace {

using test::GuiFixture;

TEST(QtFilter, WindowsFilterBecomesQtFilter)
{
    EXPECT_EQ(QtFileChooser::QtFilter("Status Files (*.sts)|*.sts|").toStdString(), "Status Files (*.sts)");
    EXPECT_EQ(QtFileChooser::QtFilter("Binary files(*.bin)|*.bin|All files(*.*)|*.*||").toStdString(),
              "Binary files(*.bin);;All files(*.*)");
}

TEST(ControlIds, FoundByIdAmongChildren)
{
    QWidget root;
    auto* a = new QPushButton("a", &root);
    auto* b = new QPushButton("b", &root);
    SetControlId(a, 1002);
    SetControlId(b, 0);
    EXPECT_EQ(FindControl(&root, 1002), a);
    EXPECT_EQ(FindControl(&root, 0), b);
    EXPECT_EQ(FindControl(&root, 7), nullptr);
}

TEST(WindowPacer, TimersAndPaintingGoOnDuringAPause)
{
    QWidget window;
    window.show();
    bool timerRan = false;
    QTimer::singleShot(0, [&] {
        timerRan = true;
        window.update();
    });
    WindowPacer pacer;
    QElapsedTimer clock;
    clock.start();
    pacer.Pause(20);
    EXPECT_TRUE(timerRan);
    EXPECT_GE(clock.elapsed(), 19);
}

// Clicks made while an exchange holds the windows are dropped, whether they came in
// while it blocked or during a pause of the windows' pacer; a message box lifts the
// hold while it is up, and nothing of the hold is left once it ends.
TEST(ExchangeHold, InputMadeDuringAnExchangeIsDroppedAndTheCursorWaits)
{
    QPushButton button(QStringLiteral("button"));
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    std::vector<Qt::CursorShape> cursors;
    {
        const ExchangeHold hold;
        cursors.push_back(test::OverrideCursorShape());
        test::PostClick(&button);
        QTimer::singleShot(0, [&] { test::PostClick(&button); });
        WindowPacer().Pause(20);
        {
            const ExchangeHold inner;
        }
        EXPECT_TRUE(ExchangeHold::Holding());
        test::PostClick(&button);
        {
            const ExchangeHold::Lift answerable;
            cursors.push_back(test::OverrideCursorShape());
            QTest::mouseClick(&button, Qt::LeftButton);
            EXPECT_EQ(clicks, 1);
        }
        cursors.push_back(test::OverrideCursorShape());
        test::PostClick(&button);
    }
    cursors.push_back(test::OverrideCursorShape());
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(cursors, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::ArrowCursor, Qt::WaitCursor,
                                                     Qt::ArrowCursor}));
    EXPECT_FALSE(ExchangeHold::Holding());
    test::PostClick(&button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 2);
}

// A message box shows centred over the window the user is in: a modal window that is
// up (the "Printer Status" dialog above the main window whose port reports), else the
// owner named, else the active window.
TEST(QtNotifier, MessageBoxShowsOverTheWindowTheUserIsIn)
{
    enum Which { None, Window, Modal };
    struct Row {
        const char* name;
        Which owner;
        bool ownerShown;
        bool modalUp;
        Which over;
    };
    const Row rows[] = {
        {"named owner", Window, true, false, Window},
        {"no owner", None, true, false, Window},
        {"hidden owner", Modal, true, false, Window},
        {"modal window above the owner", Window, true, true, Modal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget window;
        window.setGeometry(60, 300, 500, 400);
        QDialog modal;
        modal.setGeometry(420, 40, 300, 200);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        if (row.modalUp) {
            modal.setWindowModality(Qt::ApplicationModal);
            modal.show();
        }
        QRect box;
        QTimer::singleShot(0, [&] {
            if (QWidget* shown = QApplication::activeModalWidget()) {
                box = shown->frameGeometry();
                shown->close();
            }
        });
        QWidget* owner = row.owner == Window ? &window : row.owner == Modal ? &modal : nullptr;
        QtNotifier(owner).Show("text", "title", MessageIcon::Information);
        ASSERT_FALSE(box.isNull());
        const QRect over = (row.over == Modal ? static_cast<QWidget&>(modal) : window).frameGeometry();
        EXPECT_LE((box.center() - over.center()).manhattanLength(), 2)
            << box.center().x() << "," << box.center().y() << " over " << over.center().x() << ","
            << over.center().y();
    }
}

class ClosableWindow : public QWidget {
public:
    BusyState busy;
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (busy.DeferClose()) {
            event->ignore();
            return;
        }
        ++closes;
        event->accept();
    }
};

TEST(BusyGuard, CloseDuringAHandlerWaitsForItsEnd)
{
    ClosableWindow window;
    window.show();
    {
        BusyGuard guard(window.busy, &window);
        window.close();
        EXPECT_EQ(window.closes, 0);
        EXPECT_TRUE(window.isVisible());
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(window.closes, 1);
    EXPECT_FALSE(window.isVisible());
}

class CountingClient : public TimerClient {
public:
    std::vector<int> ticks;
    void OnTimer(int id) override { ticks.push_back(id); }
};

TEST(QtTimerHost, EachArmingTicksOnce)
{
    CountingClient client;
    QtTimerHost host(client);
    host.Arm(1, 1);
    host.Arm(3, 1);
    host.Stop(3);
    test::WaitFor([&] { return !client.ticks.empty(); }, 5000);
    QTest::qWait(20);
    EXPECT_EQ(client.ticks, std::vector<int>{1});
    EXPECT_FALSE(host.Armed(1));
}

}  // namespace
}  // namespace zorvik
