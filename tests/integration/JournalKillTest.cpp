// The journal survives a process killed in the middle of its writes: every
// record the writer had committed is there whole, the file passes its check,
// and the journal takes new records.

#include "journal/JournalStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace zor::journal {
namespace {

JournalRecord Numbered(int n)
{
    JournalRecord r;
    r.unixTime = 1'765'450'000 + n;
    r.when = "2025-12-11 11:46:40 +01:00";
    r.model = "ZOR-11";
    r.serial = 100000 + n;
    r.operation = "Запись параметров";
    r.kind = 1;
    r.success = true;
    r.result = "Параметры изменены!";
    // Long enough that a record spans pages and a kill can land inside one.
    r.readings.assign(40, Reading { "Регистр", std::string(60, 'a' + n % 26), std::to_string(n) });
    return r;
}

TEST(JournalKillTest, CommittedRecordsSurviveAKillMidWrite)
{
    char tmpl[] = "/tmp/zor-journal-kill-XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    const std::string path = dir + "/journal.sqlite";
    FixedClock clock({ 1'765'450'000, 0 });

    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The writer: appends without end and tells the parent each record
        // it has committed.
        close(pipeFd[0]);
        auto opened = JournalStore::Open(path, clock);
        for (int n = 1;; ++n) {
            if (opened.store->Append(Numbered(n)) <= 0)
                _exit(2);
            if (write(pipeFd[1], &n, sizeof n) != sizeof n)
                _exit(3);
        }
    }
    close(pipeFd[1]);
    int committed = 0;
    int n = 0;
    while (committed < 150 && read(pipeFd[0], &n, sizeof n) == sizeof n)
        committed = n;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeFd[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;

    auto opened = JournalStore::Open(path, clock);
    ASSERT_TRUE(opened.store);
    EXPECT_TRUE(opened.message.empty()) << opened.message; // not taken for damaged
    const std::vector<int64_t> ids = opened.store->Find({});
    ASSERT_GE(static_cast<int>(ids.size()), committed);
    // At most the record in flight beyond the last one reported.
    EXPECT_LE(static_cast<int>(ids.size()), committed + 1);
    for (int64_t id : ids) {
        const auto r = opened.store->Get(id);
        ASSERT_TRUE(r);
        const auto expected = Numbered(r->serial - 100000);
        ASSERT_EQ(r->readings.size(), expected.readings.size());
        EXPECT_EQ(r->readings.back().found, expected.readings.back().found);
        EXPECT_EQ(r->readings.back().left, expected.readings.back().left);
    }
    EXPECT_GT(opened.store->Append(Numbered(999)), 0);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace zor::journal
