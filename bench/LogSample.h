#pragma once
// The nineteen register lines of one panel-block answer, as the log gets
// them at every read cycle.

#include <string>

inline const std::string kPanelAnswerLines = [] {
    std::string s;
    for (int r = 0; r < 19; ++r)
        s += "Прибор:12  Функция:0x03  Регистр:0x00" + std::string(r < 16 ? "0" : "1") + "0123456789ABCDEF"[r % 16]
            + " = 0x1234\r\n";
    return s;
}();
