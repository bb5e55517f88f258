#pragma once
// The model of the device panel: the captioned panel, its sections and every
// control the decoder fills, with the values the panel starts with. The view
// renders it; the window's handlers and the decoder change it.

#include "forms/Controls.h"

#include <array>
#include <string>
#include <string_view>

namespace zor {

// A speed button with its own caption that runs an action.
class PanelButton : public forms::ActionButton {
public:
    PanelButton(std::string caption, forms::Action& action)
        : forms::ActionButton(&action)
        , caption_(std::move(caption))
    {
    }
    const std::string& caption() const { return caption_; }

private:
    std::string caption_;
};

struct DevicePanel {
    DevicePanel();
    DevicePanel(const DevicePanel&) = delete; // the radio group points into it
    DevicePanel& operator=(const DevicePanel&) = delete;

    // The panel itself; its text is the caption (selected device and state).
    forms::Label DevPanel;
    // On while the panel shows another device's values than the selected
    // one's: from a press on another device until that device's panel block
    // has been read. The view greys the panel meanwhile.
    forms::Flag OtherDevice;
    // The values shown are old: the device stopped answering or the port was
    // lost. The view greys the device's sections while it is set.
    forms::Flag NoAnswer;
    // Section captions, top to bottom; the last section holds the exchange log.
    std::array<forms::Label, 5> Sections { forms::Label("Измеряемый газ:"), forms::Label("Параметры"),
        forms::Label("Настройки связи"), forms::Label("Настройка токового выхода"), forms::Label("Лог обмена") };
    static constexpr std::array<int, 5> SectionHeights { 100, 240, 106, 96, 100 };

    // Section 0: gas, unit and readings. The unit labels follow the unit
    // list; the read-only fields show the numbers as text.
    forms::Label LabelGas { "Газ:" };
    forms::ComboList CBoxGas;
    forms::Label LabelUnit { "Единицы:" };
    forms::ComboList CBoxUnit;
    forms::Label LabelConc { "Концентрация:" };
    forms::TextField EditConc { std::string(), true };
    forms::Label LGasUnit;
    forms::Label LabelURV { "Диапазон:" };
    forms::TextField EditURV { std::string(), true };
    forms::Label LURVUnit;
    forms::Label LabelTemp { "Температура:" };
    forms::TextField EditTemp { std::string(), true };
    forms::Label LTempUnit { "°C" };
    forms::Label LabelI { "Ток:" };
    forms::TextField EditI { std::string(), true };
    forms::Label LIUnit { "мА" };

    // Section 1: "Параметры".
    forms::Label Label13 { "Концентрация для магнитной градуировки:" };
    forms::SpinEdit EditMagnet { 10, 100, 0.1, 1, 10 };
    forms::Label LMagnetUnit;
    forms::Label LabelLimit1 { "Порог №1:" };
    forms::SpinEdit EditLimit1 { 0, 100, 0.1, 1, 0 };
    forms::Label LLimit1Unit;
    forms::Label LabelLimit2 { "Порог №2:" };
    forms::SpinEdit EditLimit2 { 0, 100, 0.1, 1, 0 };
    forms::Label LLimit2Unit;
    forms::Label LabelHyster { "Гистерезис:" };
    forms::SpinEdit EditHyster { 0, 100, 0.1, 1, 0 };
    forms::Label LHysterUnit;
    forms::Label LabelZeroZone { "Нулевая зона:" };
    forms::SpinEdit EditZeroZone { 0, 100, 0.1, 1, 0 };
    forms::Label LZeroZoneUnit;
    forms::Label LabelRelay1 { "Реле №1:" };
    forms::ComboList CBoxRelay1 { RelayItems() };
    forms::Label LabelRelay2 { "Реле №2:" };
    forms::ComboList CBoxRelay2 { RelayItems() };
    forms::Label Label20 { "Реле диаг.:" };
    forms::ComboList CBoxRelayD { RelayItems() };
    static constexpr std::string_view RelayHint = "Состояние реле в рабочем режиме";
    forms::CheckBox CBoxBlock { "Блокировать показания при превышении порогов" };

    // Section 2: "Настройки связи".
    forms::Label LabelAddr { "Адрес:" };
    forms::SpinEdit SEditAddr { 1, 247, 1, 0, 1 };
    forms::Label LabelBaud { "Скорость:" };
    forms::ComboList CBoxBaud { { "1200", "2400", "4800", "9600", "19200", "38400", "57600" } };
    forms::Label LabelPar { "Четность:" };
    forms::ComboList CBoxPar { { "Нет", "Нечет", "Чет" } };
    forms::Label LabelStopBit { "Стоп-бит:" };
    forms::ComboList CBoxStopBit { { "1", "2" } };

    // Section 3: "Настройка токового выхода". RBt01mA, RBt04mA and RBt20mA
    // are one radio group.
    forms::CheckBox ChBoxCurrFix { "Фиксировать ток:" };
    forms::RadioButton RBt01mA { "1 мА" };
    forms::RadioButton RBt04mA { "4 мА", true };
    forms::RadioButton RBt20mA { "20 мА" };
    forms::Label LabelEditCurr { "Измеренное значение:" };
    forms::SpinEdit EditCurr { 0, 100, 0.01, 2, 4.0 };
    forms::Label Label15 { "мА" };

    // The panel's actions (the calibration ones sit on the button bar).
    forms::Action ActZero { "Уст. 0", "Установить ноль" };
    forms::Action ActCalb { "Град.", "Произвести градуировку по концентрации" };
    forms::Action ActInit { "Сброс", "Сбросить градуировку" };
    forms::Action ActWriteAddr { "Изменить", "" };
    forms::Action ActWriteOpt { "Записать", "" };
    forms::Action ActWriteCurr { "Установить", "" };
    PanelButton SpBtSetAddr { "Записать", ActWriteAddr };
    PanelButton SpBtSetOptions { "Записать", ActWriteOpt };
    PanelButton SpBtSetCurr { "Записать", ActWriteCurr };

    // The values the technician enters, dropped (back to what the device
    // showed) when another device is pressed.
    void DropEntries();

    // The labels that name the unit of every gas-dependent value.
    std::array<forms::Label*, 7> UnitLabels()
    {
        return { &LGasUnit, &LURVUnit, &LMagnetUnit, &LLimit1Unit, &LLimit2Unit, &LHysterUnit, &LZeroZoneUnit };
    }

private:
    static std::vector<std::string> RelayItems() { return { "Нормально разомкнутое", "Нормально замкнутое" }; }
};

} // namespace zor
