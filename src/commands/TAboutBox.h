#pragma once
// The help window: short operating instructions, not modal.

#include <array>
#include <string_view>

namespace zor {

class TAboutBox {
public:
    static constexpr std::string_view Caption = "Помощь";
    // Lines 2, 4, 5, 7 and 9 end with a blank that belongs to the line.
    static constexpr std::array<std::string_view, 10> Lines {
        "1. Начать поиск приборов (\"Поиск\").",
        "2. После обнаружения необходимых приборов ",
        "остановить поиск (\"Стоп\").",
        "3. Установить указатель на одном из приборов, ",
        "нажать \"Читать\" для автоматического обновления ",
        "данных.",
        "4. Изменение настроек в приборе производится ",
        "только при отключенном режиме чтения.",
        "5. Градуировка может проводится при режиме ",
        "чтения.",
    };
};

} // namespace zor
