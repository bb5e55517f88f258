#include "journal/JournalCsv.h"

#include <gtest/gtest.h>

namespace zor::journal {
namespace {

TEST(JournalCsvTest, BomSemicolonsAndQuotedFieldsOneRecordALine)
{
    JournalRecord r;
    r.when = "2026-12-11 12:00:00 +01:00";
    r.technician = "Петров; П.П.";
    r.site = "Цех \"А\"";
    r.model = "ZOR-10";
    r.serial = 100123;
    r.firmware = "2.04";
    r.address = 5;
    r.gas = "CH4";
    r.unit = "%об.";
    r.range = "5,00";
    r.operation = "Установка нуля (Уст. 0)";
    r.success = false;
    r.result = "Ошибка записи параметров!";
    r.stoppedAt = "Установка 0...";
    r.details = { { "Концентрация ПГС, %об.", "3,00" } };
    r.readings = { { "Порог 1", "1,00", "1,50" }, { "Порог 2", "2,00", "" } };

    const std::string csv = JournalCsv({ r });
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const size_t headerEnd = csv.find("\r\n");
    ASSERT_NE(headerEnd, std::string::npos);
    EXPECT_EQ(csv.find("Дата и время;Техник;Объект;"), 3u);
    const std::string row = csv.substr(headerEnd + 2);
    EXPECT_EQ(row,
        "2026-12-11 12:00:00 +01:00;\"Петров; П.П.\";\"Цех \"\"А\"\"\";ZOR-10;100123;2.04;5;CH4;%об.;5,00;"
        "Установка нуля (Уст. 0);ошибка;Ошибка записи параметров!;Установка 0...;Концентрация ПГС, %об.: 3,00;"
        "\"Порог 1: 1,00 → 1,50 *\nПорог 2: 2,00 → —\"\r\n");
}

} // namespace
} // namespace zor::journal
