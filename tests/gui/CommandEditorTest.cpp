#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "GuiFixture.h"
#include "base/AtomicFile.h"
#include "base/BoundedFile.h"
#include "base/qt/ControlIds.h"
#include "cmdtest/HexText.h"
#include "cmdtest/qt/CodepageDialog.h"
#include "cmdtest/qt/CommandEditorDialog.h"
#include "cmdtest/qt/LineSpacingDialog.h"
#include "cmdtest/qt/SelectAddressDialog.h"
#include "link/PrinterLink.h"
#include "support/FakePort.h"
#include "support/TempDir.h"

namespace zorvik {
namespace {

using test::Bytes;
using test::FakePortFactory;
using test::FakePortState;
using test::HexOf;

// Runs an action on the next modal dialog (a picker or a file dialog opened by a
// click) once it is up, then makes sure it is gone. Bounded: if no dialog shows,
// the poll gives up.
class WhenShown {
public:
    explicit WhenShown(std::function<void(QDialog*)> action) : action_(std::move(action))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }
    bool Ran() const { return ran_; }

private:
    void Poll()
    {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer_.stop();
            ran_ = true;
            action_(dialog);
            if (dialog->isVisible())
                dialog->reject();
        } else if (++tries_ > 1000) {
            timer_.stop();
        }
    }

    std::function<void(QDialog*)> action_;
    QTimer timer_;
    int tries_ = 0;
    bool ran_ = false;
};

template <typename T> T* Control(QWidget* root, int id)
{
    T* control = FindControlAs<T>(root, id);
    EXPECT_NE(control, nullptr) << id;
    return control;
}

class CommandEditorGui : public test::GuiFixture {
protected:
    void SetUp() override
    {
        GuiFixture::SetUp();
        PortSettings settings;
        settings.portName = "COM1";
        ASSERT_NE(link.CreatePort(settings), 0);
        ASSERT_NE(link.Open(), 0);
        dialog.show();
    }

    QAbstractButton* Button(int id) { return FindControlAs<QAbstractButton>(&dialog, id); }
    QPlainTextEdit* Edit() { return FindControlAs<QPlainTextEdit>(&dialog, 1009); }
    std::string Text() { return Edit()->toPlainText().toStdString(); }
    void Click(int id)
    {
        QAbstractButton* button = Button(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void TypeText(const QString& text)
    {
        Edit()->setFocus();
        Edit()->moveCursor(QTextCursor::End);
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(Edit(), Qt::Key_Return);
            QTest::keyClicks(Edit(), lines[i]);
        }
    }

    std::shared_ptr<FakePortState> port = std::make_shared<FakePortState>();
    PrinterLink link{std::make_unique<FakePortFactory>(port)};
    CommandEditorDialog dialog{link, InterfaceType::Serial};
    test::TempDir dir;
};

TEST_F(CommandEditorGui, ControlsCarryTheirIdsAndTexts)
{
    EXPECT_EQ(dialog.windowTitle(), "Command Test Editor");
    const std::pair<int, const char*> controls[] = {
        {11, "Write Command"},
        {19, "Print Test String"},
        {1115, "Font A"},
        {1116, "Font B"},
        {15, "Line Spacing"},
        {18, "Select Codepage"},
        {1012, "Bold"},
        {1013, "Underline"},
        {1112, "Left Alignment"},
        {1113, "Center Alignment"},
        {1114, "Right Alignment"},
        {1118, "Paper Cut"},
        {1119, "Feed"},
        {1117, "Print NV Image"},
        {16, "Open Drawer1 50ms(2pin)"},
        {14, "Open Drawer2 50ms(5pin)"},
        {17, "Clear"},
        {13, "Save"},
        {12, "Load"},
        {1, "Close"},
    };
    for (const auto& [id, text] : controls) {
        QAbstractButton* button = Button(id);
        ASSERT_NE(button, nullptr) << id;
        EXPECT_EQ(button->text().toStdString(), text) << id;
    }
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(Edit()->toPlainText().isEmpty());
    EXPECT_FALSE(FindControlAs<QCheckBox>(&dialog, 1012)->isChecked());
    SaveScreenshotIfAsked(&dialog, "CommandEditorDialog");
}

TEST_F(CommandEditorGui, ButtonsAppendToWhatTheUserTyped)
{
    TypeText("1b 40 ");
    const std::pair<int, const char*> clicks[] = {
        {1115, "1b 21 00 "},     {1116, "1b 21 01 "},       {1012, "1b 45 01 "}, {1012, "1b 45 00 "},
        {1013, "1b 2d 01 "},     {1013, "1b 2d 00 "},       {1112, "1b 61 00 "}, {1113, "1b 61 01 "},
        {1114, "1b 61 02 "},     {1118, "0a 1d 56 42 00 "}, {1119, "0a "},       {16, "1b 70 00 19 ff "},
        {14, "1b 70 01 19 ff "},
    };
    std::string expected = "1b 40 ";
    for (const auto& [id, text] : clicks) {
        Click(id);
        expected += text;
        ASSERT_EQ(Text(), expected) << id;
    }
    // The caret is left at the end, so typing goes on after the appended command;
    // Enter breaks the line and sends nothing.
    TypeText("0d\n");
    EXPECT_EQ(Text(), expected + "0d\n");
    QTest::keyClick(Button(1012), Qt::Key_Return);
    EXPECT_TRUE(port->writes.empty());
    Click(17);
    EXPECT_EQ(Text(), "");
}

TEST_F(CommandEditorGui, PickersAppendOnlyOnOk)
{
    struct Case {
        int button;
        const char* picker;                 // class of the dialog the click opens
        std::function<void(QDialog*)> act;  // what the user does in it
        const char* appended;
    };
    auto ok = [](QDialog* d) { QTest::mouseClick(Control<QAbstractButton>(d, 1), Qt::LeftButton); };
    const std::vector<Case> cases = {
        {18, "zorvik::CodepageDialog",
         [&](QDialog* d) {
             EXPECT_EQ(d->windowTitle(), "Select Codepage");
             EXPECT_EQ(Control<QComboBox>(d, 11)->currentText(), "PC437 (USA: Standard Europe)");
             EXPECT_EQ(Control<QComboBox>(d, 11)->count(), 37);
             ok(d);
         },
         "1b 74 00 "},
        {18, "zorvik::CodepageDialog",
         [&](QDialog* d) {
             Control<QComboBox>(d, 11)->setCurrentIndex(16);
             ok(d);
         },
         "1b 74 1b "},
        {18, "zorvik::CodepageDialog",
         [](QDialog* d) {
             Control<QComboBox>(d, 11)->setCurrentIndex(3);
             QTest::keyClick(d, Qt::Key_Escape);
         },
         ""},
        {15, "zorvik::LineSpacingDialog",
         [&](QDialog* d) {
             EXPECT_EQ(d->windowTitle(), "Select Range(0~255)");
             auto* spin = Control<QSpinBox>(d, 1013);
             EXPECT_EQ(spin->value(), 0);
             EXPECT_FALSE(Control<QCheckBox>(d, 1014)->isChecked());
             QTest::keyClick(spin, Qt::Key_Down);
             EXPECT_EQ(Control<QLineEdit>(d, 1009)->text(), "255");
             ok(d);
         },
         "1b 33 ff "},
        {15, "zorvik::LineSpacingDialog",
         [](QDialog* d) {
             auto* spin = Control<QSpinBox>(d, 1013);
             spin->setValue(255);
             QTest::keyClick(spin, Qt::Key_Up);
             QTest::keyClick(spin, Qt::Key_Up);
             // The value's box takes no typing.
             QTest::keyClicks(Control<QLineEdit>(d, 1009), "99");
             EXPECT_EQ(spin->value(), 1);
             d->accept();
         },
         "1b 33 01 "},
        {15, "zorvik::LineSpacingDialog",
         [&](QDialog* d) {
             Control<QSpinBox>(d, 1013)->setValue(15);
             ok(d);
         },
         "1b 33 0f "},
        {15, "zorvik::LineSpacingDialog",
         [&](QDialog* d) {
             Control<QSpinBox>(d, 1013)->setValue(16);
             QTest::mouseClick(Control<QCheckBox>(d, 1014), Qt::LeftButton);
             EXPECT_FALSE(Control<QSpinBox>(d, 1013)->isEnabled());
             EXPECT_FALSE(Control<QLineEdit>(d, 1009)->isEnabled());
             ok(d);
         },
         "1b 32 "},
        {15, "zorvik::LineSpacingDialog",
         [&](QDialog* d) {
             auto* box = Control<QCheckBox>(d, 1014);
             QTest::mouseClick(box, Qt::LeftButton);
             QTest::mouseClick(box, Qt::LeftButton);
             EXPECT_TRUE(Control<QSpinBox>(d, 1013)->isEnabled());
             Control<QSpinBox>(d, 1013)->setValue(16);
             ok(d);
         },
         "1b 33 10 "},
        {15, "zorvik::LineSpacingDialog",
         [](QDialog* d) {
             Control<QSpinBox>(d, 1013)->setValue(16);
             d->close();
         },
         ""},
        {1117, "zorvik::SelectAddressDialog",
         [&](QDialog* d) {
             EXPECT_EQ(d->windowTitle(), "Select Address");
             EXPECT_EQ(Control<QComboBox>(d, 1016)->currentText(), "01");
             Control<QComboBox>(d, 1016)->setCurrentIndex(2);
             ok(d);
         },
         "1c 70 03 00 "},
        {1117, "zorvik::SelectAddressDialog",
         [&](QDialog* d) {
             auto* field = Control<QComboBox>(d, 1016)->lineEdit();
             field->clear();
             QTest::keyClicks(field, "3");
             ok(d);
         },
         "1c 70 3 00 "},
        {1117, "zorvik::SelectAddressDialog",
         [&](QDialog* d) {
             Control<QComboBox>(d, 1016)->lineEdit()->clear();
             ok(d);
         },
         "1c 70  00 "},
        {1117, "zorvik::SelectAddressDialog", [](QDialog* d) { d->reject(); }, ""},
    };
    TypeText("1b ");
    std::string expected = "1b ";
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        WhenShown answer([&](QDialog* d) {
            EXPECT_STREQ(d->metaObject()->className(), c.picker) << "row " << i;
            SaveScreenshotIfAsked(d, QString(c.picker).section("::", 1));
            c.act(d);
        });
        Click(c.button);
        EXPECT_TRUE(answer.Ran()) << "row " << i;
        expected += c.appended;
        ASSERT_EQ(Text(), expected) << "row " << i;
    }
}

TEST_F(CommandEditorGui, WriteCommandAndTestStringReachThePrinter)
{
    TypeText("1B 45 01\n1b4501 1b 2");
    Click(11);
    Click(19);
    ASSERT_EQ(port->writes.size(), 3u);
    EXPECT_EQ(HexOf(port->writes[0]), "1B 45 01 1B 45 01 1B 02");
    EXPECT_EQ(std::string(port->writes[1].begin(), port->writes[1].end()),
              "Command Test String Line1\r\nCommand Test String Line2");
    EXPECT_EQ(HexOf(port->writes[2]), "1B 4A FF");
    EXPECT_TRUE(messages.empty());
}

TEST_F(CommandEditorGui, TextThatIsNotHexadecimalIsRefused)
{
    TypeText("1b 40\n1b zz");
    Click(11);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Warning");
    EXPECT_NE(messages[0].text.find("\"zz\" at line 2, column 4"), std::string::npos) << messages[0].text;
    EXPECT_TRUE(port->writes.empty());
    EXPECT_EQ(Text(), "1b 40\n1b zz");
}

TEST_F(CommandEditorGui, SaveThenLoadShowsTheCanonicalText)
{
    const std::string path = dir.File("command.bin");
    TypeText("1B21 0");
    files.answers.push_back(path);
    Click(13);
    EXPECT_EQ(HexOf(ReadBoundedFile(path, 1 << 20).bytes), "1B 21 00");
    files.answers.push_back(path);
    Click(12);
    EXPECT_EQ(Text(), "1b 21 00 ");
    // A cancelled Load keeps the text.
    TypeText("0a ");
    Click(12);
    EXPECT_EQ(Text(), "1b 21 00 0a ");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (MessageRecord{"Don't select load file", "warning", MessageIcon::Exclamation}));
}

TEST_F(CommandEditorGui, LargeCommandFileLoadsWhole)
{
    Bytes bytes(1 << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + (i >> 8));
    const std::string path = dir.File("large.bin");
    ASSERT_TRUE(WriteFileAtomically(path, bytes));
    files.answers.push_back(path);
    QElapsedTimer clock;
    clock.start();
    Click(12);
    Click(1119);  // an append after a large text is shown as well
    // For the log only: no test asserts a time.
    std::printf("loading 1 MiB and appending took %lld ms\n", static_cast<long long>(clock.elapsed()));
    const std::string text = Text();
    EXPECT_EQ(text.size(), bytes.size() * 3 + bytes.size() / 16 - 1 + 3);
    bytes.push_back(0x0A);
    EXPECT_EQ(ParseHexText(text), bytes);
    // What Write Command sends is what the file held.
    Click(11);
    ASSERT_EQ(port->writes.size(), 1u);
    EXPECT_EQ(port->writes[0], bytes);
}

TEST_F(CommandEditorGui, SaveGoesThroughADialogThatConfirmsReplacing)
{
    QtFileChooser::SetTestScript(nullptr);
    TypeText("1b 40 ");
    WhenShown answer([](QDialog* d) {
        auto* files = qobject_cast<QFileDialog*>(d);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(files->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(files->defaultSuffix(), "bin");
        d->reject();
    });
    Click(13);
    EXPECT_TRUE(answer.Ran());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (MessageRecord{"Don't select save file", "Warning", MessageIcon::Exclamation}));
}

// Closing the editor while a write runs waits until the write has ended.
TEST_F(CommandEditorGui, CloseDuringAWriteWaitsForIt)
{
    bool visibleAfterClose = false;
    port->responder = [&](const Bytes&, FakePortState&) {
        dialog.close();
        visibleAfterClose = dialog.isVisible();
    };
    TypeText("1b 40 ");
    Click(11);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_EQ(port->writes.size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dialog.isVisible());
}

// Tab and Shift+Tab leave the command box for the next and the previous control, as
// in every other field; no tab key types a tab into it.
TEST_F(CommandEditorGui, TabMovesTheFocusOutOfTheCommandBox)
{
    struct Row {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool leaves;
        const char* text;
    };
    const Row rows[] = {
        {"Tab", Qt::Key_Tab, Qt::NoModifier, true, "1b"},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, true, "1b"},
        {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier, false, "1b"},
    };
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Click(17);
        TypeText("1b");
        QTest::keyClick(Edit(), row.key, row.modifiers);
        EXPECT_EQ(Text(), row.text);
        EXPECT_EQ(QApplication::focusWidget() != Edit(), row.leaves);
        EXPECT_TRUE(dialog.isAncestorOf(QApplication::focusWidget()));
    }
}

}  // namespace
}  // namespace zorvik
