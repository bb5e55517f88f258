// The line-settings dialog on the holder of the main window's port.
#include "ui/PortSettingsDialog.h"

#include "ports/TPortHolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zor::ports;

namespace {

class PortSettings : public testing::Test {
protected:
    PortSettings()
    {
        holder.SetBaudRate(19200);
        holder.SetParity(TParity::pEven);
        holder.SetStopBits(TStopBits::sbOne);
        holder.SetByteSize(8);
        holder.SetStreamProtocol(TStreamProtocol::spNone);
    }
    QComboBox* box(const char* name) { return dialog.findChild<QComboBox*>(name); }
    QPushButton* button(QDialogButtonBox::StandardButton which)
    {
        return dialog.findChild<QDialogButtonBox*>()->button(which);
    }
    // Runs the dialog from the holder; user() acts while it is open.
    bool run(std::function<void()> user)
    {
        QTimer::singleShot(0, &dialog, [this, user] {
            user();
            if (dialog.isVisible()) // the user did not close it
                dialog.reject();
        });
        return holder.ConfigDialog(dialog);
    }
    TPortHolder holder { nullptr };
    zor::ui::PortSettingsDialog dialog;
};

TEST_F(PortSettings, OpensWithTheHoldersSettings)
{
    std::vector<QString> shown;
    run([&] {
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(dialog.windowTitle(), "Свойства: COM1");
        for (const char* name : { "CBoxRate", "CBoxDataBits", "CBoxParity", "CBoxStopBits", "CBoxFlow" })
            shown.push_back(box(name)->currentText());
        EXPECT_EQ(button(QDialogButtonBox::Ok)->text(), "ОК");
        EXPECT_EQ(button(QDialogButtonBox::Cancel)->text(), "Отмена");
    });
    EXPECT_EQ(shown, (std::vector<QString> { "19200", "8", "Чет", "1", "Нет" }));
}

TEST_F(PortSettings, CancelKeepsAndConfirmTakesTheEdits)
{
    struct Case {
        QDialogButtonBox::StandardButton press;
        bool changed;
    };
    for (const Case c : { Case { QDialogButtonBox::Cancel, false }, Case { QDialogButtonBox::Ok, true } }) {
        const CommConfig before = holder.CommCfg();
        const bool confirmed = run([&] {
            box("CBoxRate")->setEditText("250000"); // not a standard rate
            box("CBoxDataBits")->setCurrentText("7");
            box("CBoxParity")->setCurrentText("Маркер");
            box("CBoxStopBits")->setCurrentText("1,5");
            box("CBoxFlow")->setCurrentText("Аппаратное");
            button(c.press)->click();
        });
        EXPECT_EQ(confirmed, c.changed);
        if (!c.changed) {
            EXPECT_EQ(holder.CommCfg(), before);
            EXPECT_EQ(holder.StreamProtocol(), TStreamProtocol::spNone);
            continue;
        }
        EXPECT_EQ(holder.BaudRate(), 250000u);
        EXPECT_EQ(holder.ByteSize(), 7);
        EXPECT_EQ(holder.Parity(), TParity::pMark);
        EXPECT_EQ(holder.StopBits(), TStopBits::sbOneAndHalf);
        EXPECT_EQ(holder.StreamProtocol(), TStreamProtocol::spHardware);
        EXPECT_NE(holder.CommCfg().Flags & dcbParity, 0u);
    }
}

TEST_F(PortSettings, NoRateNoConfirm)
{
    run([&] {
        box("CBoxRate")->setEditText("");
        EXPECT_FALSE(button(QDialogButtonBox::Ok)->isEnabled());
        box("CBoxRate")->setEditText("9600");
        EXPECT_TRUE(button(QDialogButtonBox::Ok)->isEnabled());
    });
}

TEST_F(PortSettings, UntouchedFlowControlKeepsRS485Mode)
{
    holder.SetRS485Mode(true);
    EXPECT_TRUE(run([&] { button(QDialogButtonBox::Ok)->click(); }));
    EXPECT_TRUE(holder.RS485Mode());
}

// RS-485 direction switching by the driver is the holder's RS-485 mode,
// shown as it is and changed by the box.
TEST_F(PortSettings, TheRS485BoxIsTheHoldersMode)
{
    for (const bool before : { false, true }) {
        holder.SetRS485Mode(before);
        bool shown = !before;
        EXPECT_TRUE(run([&] {
            auto* rs485 = dialog.findChild<QCheckBox*>("ChBoxRS485");
            ASSERT_NE(rs485, nullptr);
            shown = rs485->isChecked();
            rs485->setChecked(!before);
            button(QDialogButtonBox::Ok)->click();
        }));
        EXPECT_EQ(shown, before);
        EXPECT_EQ(holder.RS485Mode(), !before);
    }
}

} // namespace
