#pragma once
// Texts the decoder shows: state and error texts, the gas section caption,
// and the hint to use a newer tool.

#include <string_view>

namespace zor {

inline constexpr std::string_view TextWorking = "Рабочий режим";
inline constexpr std::string_view TextError = "Ошибка";
inline constexpr std::string_view TextWarmUp = "Прогрев датчика";
inline constexpr std::string_view TextLimit1 = "Превышен порог №1";
inline constexpr std::string_view TextBelowLimit1 = "Концентрация ниже порога №1";
inline constexpr std::string_view TextLimit2 = "Превышен порог №2";
inline constexpr std::string_view TextRangeExceeded = "Превышен диапазон измерения";
inline constexpr std::string_view TextSpecialMode = "Специальный режим";
inline constexpr std::string_view TextCurrentSetup = "Режим настройки ТВ";

// Error reasons.
inline constexpr std::string_view TextLowSupply = "Питание понижено";
inline constexpr std::string_view TextSensorMissing = "Отсутствует датчик";
inline constexpr std::string_view TextSensorDirty = "Загрязнение датчика";
inline constexpr std::string_view TextBadSensorData = "Неверные данные датчика";
inline constexpr std::string_view TextHardware = "Аппаратная";

inline constexpr std::string_view TextGasSection = "Измеряемый газ:";
inline constexpr std::string_view TextUseNewerTool = "Используйте ZOR Tool 1.6.0";

// Separates the node caption, the state text and an error reason.
inline constexpr std::string_view CaptionDash = "  -  ";
inline constexpr std::string_view ReasonColon = "  :  ";

// Tree images of the selected device node.
constexpr int ImageWorking = 7;
constexpr int ImageError = 8;

} // namespace zor
