// Message boxes and the save dialog's texts on Qt.

#include "ToolFixture.h"

#include "ui/FileDialogText.h"
#include "ui/LoraWindow.h"
#include "ui/QtDialogs.h"
#include "ui/QtTranslation.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
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

// A box's text is shown as it stands: a program's name taken from the
// system (the holder of a busy port) may look like markup.
TEST_F(DialogsTest, BoxTextsAreShownAsPlainText)
{
    const std::string text = "Порт /dev/ttyUSB0 занят программой <b>x</b><br>y (PID 7). Закройте её и повторите.";
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    boxes.onBox = [&](QMessageBox& box) {
        format = box.textFormat();
        const auto labels = box.findChildren<QLabel*>();
        for (const QLabel* label : labels)
            if (label->text() == QString::fromStdString(text))
                shown = label->text();
    };
    app.Dialogs().message(DialogOwner::Main, MessageKind::Error, text, MessageButtons::Ok);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown.toStdString(), text);
}

// "Сохр." on the window: the dialog offers the two filters by their
// captions, and a name typed without an extension is saved as ".log", with
// the log's CR LF line ends.
TEST_F(DialogsTest, SavingTheLogAddsTheDefaultExtension)
{
    form().Log.Add("Timeout!");
    QTemporaryDir dir;
    QStringList filters;
    bool answered = false;
    // The dialog is answered from a call posted when it is shown: a timer
    // that was running when the dialog's own loop started is not always
    // fired inside it, while posted calls always are.
    ShowWatcher<QFileDialog> watcher([&](QFileDialog* dialog) {
        for (QComboBox* box : dialog->findChildren<QComboBox*>("fileTypeCombo"))
            for (int i = 0; i < box->count(); ++i)
                filters << box->itemText(i);
        dialog->selectFile(dir.filePath("report"));
        static_cast<QDialog*>(dialog)->accept();
        answered = true;
    });
    click("BtSave");
    ASSERT_TRUE(answered);
    EXPECT_EQ(filters, (QStringList { "ZOR log files (*.zor)", "Any file (*.*)" }));
    QFile saved(dir.filePath("report.log"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Timeout!\r\n"));
    EXPECT_TRUE(boxes.texts.empty());
}

// Qt's own texts are Russian: the save dialog's labels and buttons, and the
// standard buttons wherever a window uses them. The translation is a
// package the setup installs, so its absence is a fault.
TEST_F(DialogsTest, QtsOwnTextsAreRussian)
{
    ASSERT_TRUE(LoadQtTranslation()) << "qtbase_ru.qm of qt6-translations-l10n is not installed";
    const QRegularExpression latin("[A-Za-z]");
    const QRegularExpression cyrillic("[А-Яа-яЁё]");
    auto russian = [&](const QString& text) { return text.contains(cyrillic) && !text.contains(latin); };

    QStringList texts;
    ShowWatcher<QFileDialog> watcher([&](QFileDialog* dialog) {
        for (const char* name : { "lookInLabel", "fileNameLabel", "fileTypeLabel" })
            if (auto* label = dialog->findChild<QLabel*>(name))
                texts << label->text();
        for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>("buttonBox")->buttons())
            texts << b->text();
        static_cast<QDialog*>(dialog)->reject();
    });
    click("BtSave");
    ASSERT_EQ(texts.size(), 5) << texts.join(" | ").toStdString();
    for (const QString& t : texts)
        EXPECT_TRUE(russian(t)) << t.toStdString();

    QDialogButtonBox standard(QDialogButtonBox::Save | QDialogButtonBox::Cancel | QDialogButtonBox::Yes
        | QDialogButtonBox::No | QDialogButtonBox::Close | QDialogButtonBox::Apply);
    for (QAbstractButton* b : standard.buttons())
        EXPECT_TRUE(russian(b->text())) << b->text().toStdString();
}

} // namespace
} // namespace zor::ui::e2e
