// Message boxes and the save dialog's texts on Qt.

#include "ToolFixture.h"

#include "ui/FileDialogText.h"
#include "ui/LoraWindow.h"
#include "ui/QtDialogs.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

namespace zor::ui::e2e {
namespace {

using forms::Answer;
using forms::DialogOwner;
using forms::MessageButtons;
using forms::MessageKind;

TEST(FileDialogText, FiltersBecomeQtNameFiltersThatIgnoreLetterCase)
{
    EXPECT_EQ(QtNameFilters("ZOR log files (*.zor)|*.ZOR|Any file (*.*)|*.*"),
        (std::vector<std::string> { "ZOR log files (*.zor) (*.[Zz][Oo][Rr])", "Any file (*.*) (*)" }));
    EXPECT_EQ(QtNameFilters("Logs|*.log;*.txt"), (std::vector<std::string> { "Logs (*.[Ll][Oo][Gg] *.[Tt][Xx][Tt])" }));
}

TEST(FileDialogText, TheDefaultExtensionGoesOnlyToNamesWithout)
{
    const struct {
        const char* typed;
        const char* saved;
    } cases[] = {
        { "/home/u/report", "/home/u/report.log" },
        { "/home/u/report.", "/home/u/report.log" },
        { "/home/u/report.zor", "/home/u/report.zor" },
        { "/home/u/report.ZOR", "/home/u/report.ZOR" },
        { "/home/u.v/report", "/home/u.v/report.log" },
        { "/home/u/.report", "/home/u/.report.log" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithDefaultExtension(c.typed, "log"), c.saved) << c.typed;
}

using DialogsTest = ToolFixture;

// Every box is at its owner's message-box position, with Russian buttons,
// and the button pressed is the answer.
TEST_F(DialogsTest, BoxesSitAtTheOwnersPositionWithRussianButtons)
{
    const struct {
        DialogOwner owner;
        MessageButtons buttons;
        const char* press;
        QStringList captions;
        Answer answer;
        QPoint shift;
    } cases[] = {
        { DialogOwner::Main, MessageButtons::Ok, "OK", { "OK" }, Answer::Ok, { 150, 50 } },
        { DialogOwner::Main, MessageButtons::OkCancel, "Отмена", { "OK", "Отмена" }, Answer::Cancel, { 150, 50 } },
        { DialogOwner::Main, MessageButtons::YesNo, "Да", { "Да", "Нет" }, Answer::Yes, { 150, 50 } },
        { DialogOwner::Main, MessageButtons::YesNo, "Нет", { "Да", "Нет" }, Answer::No, { 150, 50 } },
        { DialogOwner::Lora, MessageButtons::Ok, "OK", { "OK" }, Answer::Ok, { 170, 50 } },
    };
    app.Lora().move(300, 200);
    for (const auto& c : cases) {
        boxes.answers = { QString::fromUtf8(c.press) };
        const Answer answer = app.Dialogs().message(c.owner, MessageKind::Error, "Текст", c.buttons);
        EXPECT_EQ(answer, c.answer) << c.press;
        ASSERT_FALSE(boxes.texts.empty());
        EXPECT_EQ(boxes.texts.back(), "Текст");
        QStringList shown = boxes.buttons.back();
        shown.sort();
        QStringList expected = c.captions;
        expected.sort();
        EXPECT_EQ(shown, expected);
        const QWidget* owner = c.owner == DialogOwner::Lora ? static_cast<QWidget*>(&app.Lora()) : &app.Main();
        EXPECT_EQ(boxes.positions.back(), owner->frameGeometry().center() - c.shift) << c.press;
    }
}

// "Сохр." on the window: the dialog offers the two filters by their
// captions, and a name typed without an extension is saved as ".log", with
// the log's CR LF line ends.
TEST_F(DialogsTest, SavingTheLogAddsTheDefaultExtension)
{
    form().Log.Add("Timeout!");
    QTemporaryDir dir;
    QStringList filters;
    // The dialog is looked for among the visible windows: which window Qt
    // calls the active modal one is not settled at once offscreen.
    const auto visibleDialog = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible())
                return d;
        return static_cast<QFileDialog*>(nullptr);
    };
    Script script({ { [&] { return visibleDialog() != nullptr; },
                      [&] {
                          QFileDialog* dialog = visibleDialog();
                          for (QComboBox* box : dialog->findChildren<QComboBox*>("fileTypeCombo"))
                              for (int i = 0; i < box->count(); ++i)
                                  filters << box->itemText(i);
                          dialog->selectFile(dir.filePath("report"));
                          static_cast<QDialog*>(dialog)->accept();
                      } } },
        5000, [&] {
            if (QFileDialog* dialog = visibleDialog())
                dialog->reject();
        });
    // Pressed from a timer, as a real press comes from an input event: a file
    // dialog run from inside a posted call does not always get the script's
    // timer events in its own loop.
    QTimer::singleShot(50, [&] { click("BtSave"); });
    ASSERT_TRUE(WaitFor([&] { return script.done(); }, 6000));
    EXPECT_EQ(filters, (QStringList { "ZOR log files (*.zor)", "Any file (*.*)" }));
    QFile saved(dir.filePath("report.log"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Timeout!\r\n"));
    EXPECT_TRUE(boxes.texts.empty());
}

} // namespace
} // namespace zor::ui::e2e
