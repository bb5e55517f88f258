#include "journal/JournalStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace zor::journal {
namespace {

namespace fs = std::filesystem;

class JournalStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/zor-journal-XXXXXX";
        dir_ = mkdtemp(tmpl);
        path_ = dir_ + "/journal.sqlite";
    }
    void TearDown() override { fs::remove_all(dir_); }

    static JournalRecord Sample(int32_t serial, const std::string& operation, int kind = 1, bool ok = true)
    {
        JournalRecord r;
        r.unixTime = 1'765'450'000;
        r.when = "2025-12-11 11:46:40 +01:00";
        r.technician = "Иванов И.И.";
        r.model = "ZOR-12";
        r.serial = serial;
        r.firmware = "15.52";
        r.address = 5;
        r.gas = "CH4";
        r.unit = "%НКПР";
        r.range = "100";
        r.operation = operation;
        r.kind = kind;
        r.success = ok;
        r.result = ok ? "Параметры изменены!" : "Ошибка записи параметров!";
        r.stoppedAt = ok ? "" : "Запись порога №2...";
        r.details = { { "ПГС, %НКПР", "50" } };
        r.readings = { { "Порог 1", "10", "12" }, { "Порог 2", "20", "20" }, { "Концентрация", "", "0" } };
        return r;
    }

    std::string dir_;
    std::string path_;
    FixedClock clock_ { { 1'765'450'000, 60 } };
};

TEST_F(JournalStoreTest, RecordComesBackWholeAndListsNewestFirst)
{
    auto opened = JournalStore::Open(path_, clock_);
    ASSERT_TRUE(opened.store);
    EXPECT_TRUE(opened.message.empty());
    JournalStore& j = *opened.store;
    const int64_t first = j.Append(Sample(120001, "Запись параметров"));
    const int64_t second = j.Append(Sample(130002, "Установка нуля (Уст. 0)", 3, false));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);

    const auto back = j.Get(second);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->serial, 130002);
    EXPECT_EQ(back->when, "2025-12-11 11:46:40 +01:00");
    EXPECT_EQ(back->technician, "Иванов И.И.");
    EXPECT_FALSE(back->success);
    EXPECT_EQ(back->stoppedAt, "Запись порога №2...");
    ASSERT_EQ(back->details.size(), 1u);
    EXPECT_EQ(back->details[0].label, "ПГС, %НКПР");
    ASSERT_EQ(back->readings.size(), 3u);
    EXPECT_TRUE(back->readings[0].changed());
    EXPECT_FALSE(back->readings[1].changed());
    EXPECT_FALSE(back->readings[2].changed()); // nothing known before: not marked
    EXPECT_EQ(back->readings[2].left, "0");

    EXPECT_EQ(j.Find({}), (std::vector<int64_t> { second, first }));
    EXPECT_EQ(j.Count(), 2);
}

TEST_F(JournalStoreTest, FiltersBySerialAndByTextInAnyCase)
{
    auto opened = JournalStore::Open(path_, clock_);
    JournalStore& j = *opened.store;
    const int64_t a = j.Append(Sample(120001, "Запись параметров"));
    const int64_t b = j.Append(Sample(130002, "Установка нуля (Уст. 0)", 3, false));
    const int64_t c = j.Append(Sample(120001, "Сброс градуировки", 5));
    struct Case {
        Filter filter;
        std::vector<int64_t> ids;
    };
    const Case cases[] {
        { { 120001, "" }, { c, a } },
        { { 130002, "" }, { b } },
        { { std::nullopt, "УСТАНОВКА" }, { b } },
        { { std::nullopt, "градуировки" }, { c } },
        { { std::nullopt, "ошибка" }, { b } },
        { { std::nullopt, "иванов" }, { c, b, a } },
        { { 120001, "нуля" }, {} },
        { { std::nullopt, "нет такого" }, {} },
    };
    for (const Case& k : cases)
        EXPECT_EQ(j.Find(k.filter), k.ids) << k.filter.text;
}

TEST_F(JournalStoreTest, SiteIsRememberedPerSerialAcrossOpenings)
{
    {
        auto opened = JournalStore::Open(path_, clock_);
        opened.store->SetSite(120001, "Котельная, поз. 3");
        opened.store->SetSite(130002, "Насосная");
        opened.store->SetSite(130002, "");
    }
    auto opened = JournalStore::Open(path_, clock_);
    EXPECT_EQ(opened.store->Site(120001), "Котельная, поз. 3");
    EXPECT_EQ(opened.store->Site(130002), "");
}

TEST_F(JournalStoreTest, DamagedFileIsMovedAsideAndANewJournalStarts)
{
    // A file of another kind, and a journal whose pages were overwritten.
    const auto garbage
        = [](const std::string& path) { std::ofstream(path, std::ios::binary) << std::string(8192, '\xA5'); };
    const auto trampled = [this](const std::string& path) {
        {
            auto opened = JournalStore::Open(path, clock_);
            for (int i = 0; i < 200; ++i)
                opened.store->Append(Sample(120000 + i, "Запись параметров"));
        }
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 2);
        f << std::string(4096 * 3, '\x5A');
    };
    for (const auto& damage :
        { std::function<void(const std::string&)>(garbage), std::function<void(const std::string&)>(trampled) }) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        damage(path_);
        const auto size = fs::file_size(path_);
        auto opened = JournalStore::Open(path_, clock_);
        ASSERT_TRUE(opened.store);
        EXPECT_NE(opened.message.find("повреждён"), std::string::npos) << opened.message;
        EXPECT_EQ(opened.store->Count(), 0);
        EXPECT_GT(opened.store->Append(Sample(1, "Запись параметров")), 0);
        // The old file is kept whole beside the new one, under the name the
        // message gives.
        const std::string aside = path_ + ".damaged-20251211-114640";
        EXPECT_NE(opened.message.find(aside), std::string::npos);
        ASSERT_TRUE(fs::exists(aside));
        EXPECT_EQ(fs::file_size(aside), size);
    }
}

TEST_F(JournalStoreTest, NoJournalWhereNoFileCanBeMadeYetNoFailure)
{
    // A folder that cannot be: a plain file stands where it would be.
    std::ofstream(dir_ + "/plain") << "x";
    auto opened = JournalStore::Open(dir_ + "/plain/journal.sqlite", clock_);
    EXPECT_FALSE(opened.store);
    EXPECT_NE(opened.message.find("Журнал недоступен"), std::string::npos);
    EXPECT_EQ(std::ifstream(dir_ + "/plain").get(), 'x');
}

TEST_F(JournalStoreTest, FileIsInWriteAheadLogMode)
{
    auto opened = JournalStore::Open(path_, clock_);
    opened.store->Append(Sample(1, "Запись параметров"));
    std::ifstream f(path_, std::ios::binary);
    char header[20] {};
    f.read(header, sizeof header);
    // Bytes 18 and 19 of the header are 2 in a WAL database.
    EXPECT_EQ(header[18], 2);
    EXPECT_EQ(header[19], 2);
}

TEST(FoldCaseTest, LatinAndCyrillicLetters)
{
    EXPECT_EQ(FoldCase("ПОРОГ Порог ЁЖ ZOR-12 ябв"), "порог порог ёж zor-12 ябв");
}

} // namespace
} // namespace zor::journal
