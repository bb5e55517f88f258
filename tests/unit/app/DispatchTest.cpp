#include "AppFixture.h"

#include "app/LogFile.h"
#include "sim/SimDetector.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zor::test {
namespace {

class DispatchTest : public AppFixture {
protected:
    void SetUp() override
    {
        bus.add(SimModel::Zor11, 1).serial(9400123);
        MakeForm();
        SearchUpTo(1);
    }
    void Deliver(std::vector<uint8_t> frame)
    {
        form->VSModbusModbusPacketEvent(form->VSModbus, frame.data(), static_cast<uint16_t>(frame.size()));
    }
};

TEST_F(DispatchTest, WriteOfASingleRegisterWithoutAnswerLogsTimeoutAfterItsTimeOut)
{
    Select(1);
    bus.detector(1).silent();
    ASSERT_TRUE(form->WriteRegister(1, 11, std::string("Коррекция 4 мА"), 1500, 405));
    EXPECT_EQ(form->StatBar.text(3), "Коррекция 4 мА");
    loop.advance(1499);
    EXPECT_FALSE(form->Log.Text().ends_with("Timeout!\r\n"));
    loop.advance(2);
    EXPECT_TRUE(form->Log.Text().ends_with("Timeout!\r\n"));
    EXPECT_TRUE(dialogs.shown.empty()); // no write operation: no message box
}

TEST_F(DispatchTest, ExceptionAnswerIsCountedAndLoggedAndTheTimeOutStillFollows)
{
    Select(1);
    bus.detector(1).exceptionOn(11, 2);
    const int32_t rx = form->RxCount();
    ASSERT_TRUE(form->WriteRegister(1, 11, std::nullopt, 1500, 405));
    loop.advance(1000);
    EXPECT_EQ(form->RxCount(), rx + 1);
    EXPECT_TRUE(form->Log.Text().ends_with("Ошибка #2\r\n"));
    EXPECT_FALSE(form->Answered());
    loop.advance(600);
    EXPECT_TRUE(form->Log.Text().ends_with("Ошибка #2\r\nTimeout!\r\n"));
}

TEST_F(DispatchTest, WritesAreRefusedDuringASearchOrWithoutADevice)
{
    EXPECT_FALSE(form->WriteRegister(1, 11, std::string("x"), 1500, 1)); // nothing selected
    Select(1);
    form->ActFindExecute();
    const int32_t tx = form->TxCount();
    EXPECT_FALSE(form->WriteRegister(1, 11, std::string("x"), 1500, 1));
    EXPECT_EQ(form->TxCount(), tx);
    EXPECT_FALSE(form->Updating());
}

TEST_F(DispatchTest, WriteWaitsForTheOutstandingReadChainThenSendsAndReadingGoesOn)
{
    Select(1);
    form->ActRenewExecute();
    sent.clear();
    ASSERT_TRUE(form->WriteRegister(1, 11, std::nullopt, 1500, 405));
    // Both reads of the cycle went out and were answered before the write.
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_FALSE(form->ReadBusy());
    loop.advance(200);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2][1], 6);
    EXPECT_TRUE(form->TimerRead().enabled());
}

TEST_F(DispatchTest, ShortAndOddAnswersAreLoggedAsFarAsTheyGo)
{
    Select(1);
    const std::string before = form->Log.Text();
    Deliver({ 0x01, 0x83 }); // exception without its code
    Deliver({ 0x01, 0x06, 0x00 }); // echo cut short
    Deliver({ 0x01, 0x10, 0x00, 0x41 }); // function 16 echo without its quantity
    Deliver({ 0x01, 0x03 }); // read answer without byte count
    Deliver({ 0x01, 0x03, 0x03, 0x12, 0x34, 0x56 }); // odd byte count: one value
    const std::string added = form->Log.Text().substr(before.size());
    EXPECT_EQ(added,
        "Ошибка #\r\n"
        "Прибор:1  Функция:0x10  Регистр:0x0006 = 0x0041\r\n\r\n"
        "Прибор:1  Функция:0x03  Регистр:0x0006 = 0x1234\r\n\r\n");
    EXPECT_EQ(form->RxCount(), 1 + 5);
}

TEST_F(DispatchTest, ReadAnswerBeyondThirtyValuesStoresThirty)
{
    std::vector<uint8_t> frame { 0x01, 0x03, 80 };
    for (int i = 0; i < 40; ++i) {
        frame.push_back(0);
        frame.push_back(static_cast<uint8_t>(i));
    }
    const size_t before = form->Log.Text().size();
    Deliver(frame);
    const std::string added = form->Log.Text().substr(before);
    EXPECT_NE(added.find("Регистр:0x0023 = 0x001D"), std::string::npos); // tag 6 + 29
    EXPECT_EQ(added.find("= 0x001E"), std::string::npos);
}

TEST_F(DispatchTest, LateProbeAnswerAfterTheSearchIsOnlyCountedAndLogged)
{
    Deliver({ 0x01, 0x03, 0x04, 0x6F, 0x3B, 0x00, 0x8F });
    EXPECT_EQ(form->DevList().count(), 1);
    EXPECT_FALSE(form->ReadBusy());
}

TEST_F(DispatchTest, LateAnswerIsReadAgainstTheNewerTag)
{
    Select(1);
    bus.detector(1).delayAnswer(700);
    form->ReadInput(1, 5, 1); // answered 700 ms later
    loop.advance(100);
    form->ReadHolding(9, 0, 19); // nobody there; the tag is now 0
    loop.advance(2000);
    // The gas code 1 is taken for register 0: baud code 1, the first item.
    EXPECT_NE(form->Log.Text().find("Прибор:1  Функция:0x04  Регистр:0x0000 = 0x0001"), std::string::npos);
    EXPECT_EQ(form->Panel.CBoxBaud.itemIndex(), 0);
}

TEST_F(DispatchTest, LogFileIsWindows1251WithCrLfAndReplacesTheOldFile)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zorlog-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / "report.log").string();
    {
        std::ofstream old(path);
        old << "old content that is longer than the new one";
    }
    dialogs.savePath = path;
    form->ActSaveToFileExecute();
    EXPECT_EQ(dialogs.saveFilter, "ZOR log files (*.zor)|*.ZOR|Any file (*.*)|*.*");
    EXPECT_EQ(dialogs.saveExt, "log");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(in), {} };
    EXPECT_EQ(bytes, ToWindows1251(form->Log.Text()));
    EXPECT_TRUE(bytes.ends_with("\xCF\xEE\xE8\xF1\xEA \xEE\xEA\xEE\xED\xF7\xE5\xED\r\n")); // "Поиск окончен"
    std::filesystem::remove_all(dir);
}

TEST_F(DispatchTest, FailedSaveShowsTheErrorAndKeepsTheLog)
{
    dialogs.savePath = "/nonexistent-dir/x.log";
    const std::string log = form->Log.Text();
    form->ActSaveToFileExecute();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, forms::MessageKind::Error);
    EXPECT_FALSE(dialogs.shown[0].text.empty());
    EXPECT_EQ(form->Log.Text(), log);
}

TEST(LogFile, EmptyLogGivesAnEmptyFileAndTextsConvertToTheCodePage)
{
    EXPECT_EQ(ToWindows1251("Timeout!\r\n"), "Timeout!\r\n");
    EXPECT_EQ(ToWindows1251("Ошибка #2"), "\xCE\xF8\xE8\xE1\xEA\xE0 #2");
    EXPECT_EQ(ToWindows1251("Ёё№"), "\xA8\xB8\xB9");
    EXPECT_EQ(ToWindows1251("\xE2\x82"), "?"); // a cut sequence
    const auto path
        = (std::filesystem::temp_directory_path() / ("zor-empty-" + std::to_string(::getpid()) + ".log")).string();
    EXPECT_EQ(SaveLogFile(path, LogStore {}), "");
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);
}

} // namespace
} // namespace zor::test
