#pragma once
// The operations that change a detector, as the journal names them.

#include <string_view>

namespace zor::journal {

enum class Operation : int {
    Options = 1, // the parameter write
    Interface = 2, // address and line settings
    Zero = 3,
    Span = 4,
    Reset = 5, // calibration reset
    CurrentTrim = 6,
    LoraRadio = 7,
    LoraKeys = 8,
};

constexpr std::string_view OperationText(Operation op)
{
    switch (op) {
    case Operation::Options:
        return "Запись параметров";
    case Operation::Interface:
        return "Запись настроек интерфейса";
    case Operation::Zero:
        return "Установка нуля (Уст. 0)";
    case Operation::Span:
        return "Градуировка по ПГС (Град.)";
    case Operation::Reset:
        return "Сброс градуировки";
    case Operation::CurrentTrim:
        return "Коррекция токового выхода";
    case Operation::LoraRadio:
        return "Запись настроек LoRa";
    case Operation::LoraKeys:
        return "Запись ключей LoRaWAN";
    }
    return "";
}

} // namespace zor::journal
