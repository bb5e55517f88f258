#pragma once
// The operations that change a detector, as the journal names them.

#include <iterator>
#include <string_view>

namespace zor::journal {

// The parameter write, address and line settings, zero, span, calibration
// reset, current-output trim, LoRa radio settings, LoRa session keys.
enum class Operation : int { Options = 1, Interface, Zero, Span, Reset, CurrentTrim, LoraRadio, LoraKeys };

constexpr std::string_view OperationText(Operation op)
{
    constexpr std::string_view texts[] { "Запись параметров", "Запись настроек интерфейса", "Установка нуля (Уст. 0)",
        "Градуировка по ПГС (Град.)", "Сброс градуировки", "Коррекция токового выхода", "Запись настроек LoRa",
        "Запись ключей LoRaWAN" };
    const int i = static_cast<int>(op) - 1;
    return i >= 0 && i < static_cast<int>(std::size(texts)) ? texts[i] : std::string_view();
}

} // namespace zor::journal
