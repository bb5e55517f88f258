// The service journal on the real Qt host, offscreen: the "Журнал" window
// lists, filters and exports (a certificate as PDF, read back with Debian's
// pdftotext, and a selection as CSV); the cylinder window reached from the
// concentration dialog; a damaged journal told at start; a detector without
// a recorded calibration marked in the tree.

#include "ToolFixture.h"

#include "journal/Operation.h"
#include "ui/ConcDialog.h"
#include "ui/CylinderDialog.h"
#include "ui/JournalWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

namespace zor::ui::e2e {
namespace {

class JournalWindowTest : public ToolFixture {
protected:
    void SetUp() override
    {
        ToolFixture::SetUp();
        app.OpenJournal(dir.filePath("journal.sqlite").toStdString(), false);
        ASSERT_NE(form().Journal().Store(), nullptr);
    }
    int64_t Add(int32_t serial, journal::Operation op, bool ok, const std::string& when)
    {
        return form().Journal().Store()->Append({ .unixTime = form().Journal().Clock()->now().unixTime - 86400,
            .when = when,
            .technician = "Сидоров С.С.",
            .site = "",
            .model = "ZOR-10",
            .serial = serial,
            .firmware = "2.04",
            .address = 2,
            .gas = "CH4",
            .unit = "%НКПР",
            .range = "100,0",
            .operation = std::string(journal::OperationText(op)),
            .kind = static_cast<int>(op),
            .success = ok,
            .result = ok ? "Градуировка произведена" : "Ошибка записи параметров!",
            .stoppedAt = "",
            .details = { { "Концентрация ПГС, %НКПР", "50,0" }, { "Баллон ПГС, партия", "П-117" } },
            .readings = { { "Концентрация", "48,7", "50,0" }, { "Порог 1", "20,0", "20,0" } } });
    }

    QTemporaryDir dir;
};

// The text of the first page.
QString PdfText(const QString& path)
{
    QProcess p;
    p.start("pdftotext", { "-layout", "-l", "1", path, "-" });
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(JournalWindowTest, ListsNewestFirstFiltersAndExportsACertificateAndCsv)
{
    Add(7000123, journal::Operation::Zero, true, "2026-12-01 09:00:00 +01:00");
    const int64_t span = Add(7000456, journal::Operation::Span, true, "2026-12-02 10:30:00 +01:00");
    Add(7000123, journal::Operation::Options, false, "2026-12-03 11:15:00 +01:00");

    std::vector<int64_t> listed;
    int filtered = -1;
    QString chosenFile;
    ShowWatcher<QFileDialog> files([&](QFileDialog* d) {
        d->selectFile(chosenFile);
        static_cast<QDialog*>(d)->accept();
    });
    auto script = WhenModal<JournalWindow>(
        [&](JournalWindow& w) {
            JournalListModel* m = w.model();
            for (int i = 0; i < m->rowCount(); ++i)
                listed.push_back(m->idAt(i));
            w.findChild<QComboBox*>("CBoxFilter")->setCurrentIndex(1);
            w.findChild<QLineEdit*>("EditFilter")->setText("7000456");
            filtered = m->rowCount();
            // The one record is chosen: its certificate.
            chosenFile = dir.filePath("protocol");
            w.findChild<QPushButton*>("BtCertificate")->click();
            // All three, as a table.
            w.findChild<QLineEdit*>("EditFilter")->clear();
            w.findChild<QComboBox*>("CBoxFilter")->setCurrentIndex(0);
            w.findChild<QTableView*>("JournalList")->selectAll();
            chosenFile = dir.filePath("journal");
            w.findChild<QPushButton*>("BtCsv")->click();
            w.findChild<QPushButton*>("BtClose")->click();
        },
        10000);
    click("BtJournal");
    ASSERT_TRUE(WaitFor([&] { return script->done(); }, 12000));
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[1], span);
    EXPECT_GT(listed[0], listed[1]);
    EXPECT_GT(listed[1], listed[2]);
    EXPECT_EQ(filtered, 1);
    EXPECT_TRUE(boxes.texts.empty());

    const QString text = PdfText(dir.filePath("protocol.pdf"));
    for (const char* expected : { "Протокол калибровки газоанализатора", "Градуировка по ПГС (Град.)", "7000456",
             "Сидоров С.С.", "Следующая калибровка до", "Концентрация ПГС, %НКПР", "П-117", "48,7", "50,0", "Подпись",
             "2026-12-02 10:30:00 +01:00" })
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();

    QFile csv(dir.filePath("journal.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), 4); // the header and three records
    EXPECT_TRUE(bytes.contains(";7000456;"));
}

TEST_F(JournalWindowTest, CylinderFromTheConcentrationDialogIsKept)
{
    auto script = WhenModal<CylinderDialog>([](CylinderDialog& w) {
        w.findChild<QLineEdit*>("EditLot")->setText("П-204");
        w.findChild<QLineEdit*>("EditCertified")->setText("2,20 %об.");
        w.findChild<QCheckBox*>("ChBoxExpiry")->setChecked(true);
        w.findChild<QDateEdit*>("EditExpiry")->setDate(QDate(2027, 3, 31));
        w.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    auto* button = app.Conc().findChild<QPushButton*>("BtCylinder");
    ASSERT_NE(button, nullptr);
    Later([button] { button->click(); });
    ASSERT_TRUE(WaitFor([&] { return script->done(); }, 6000));
    const JournalSettings& s = form().Journal().Settings;
    EXPECT_EQ(s.cylinderLot, "П-204");
    EXPECT_EQ(s.cylinderConc, "2,20 %об.");
    ASSERT_TRUE(s.cylinderExpiry);
    EXPECT_EQ(*s.cylinderExpiry, (journal::Date { 2027, 3, 31 }));
}

TEST_F(JournalWindowTest, ADamagedJournalIsToldAndANewOneTakesRecords)
{
    const QString path = dir.filePath("old.sqlite");
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, '\x3C'));
    garbage.close();
    app.OpenJournal(path.toStdString(), false);
    app.Show();
    ASSERT_TRUE(WaitFor([&] { return !boxes.texts.empty(); }, 3000));
    EXPECT_NE(boxes.texts[0].find("повреждён и перенесён в " + path.toStdString() + ".damaged-"), std::string::npos)
        << boxes.texts[0];
    EXPECT_NE(form().Log.Text().find("Начат новый журнал."), std::string::npos);
    EXPECT_GT(Add(7000123, journal::Operation::Zero, true, "2026-12-01 09:00:00 +01:00"), 0);
}

TEST_F(JournalWindowTest, ADetectorWithoutARecordedCalibrationIsMarkedInTheTree)
{
    // A span of detector 1 yesterday; none of detector 2.
    Add(7000123, journal::Operation::Span, true, "2026-12-10 09:00:00 +01:00");
    searchUpTo(2);
    QTreeWidgetItem* marked = app.Main().tree()->itemOf(deviceNode(2));
    QTreeWidgetItem* fine = app.Main().tree()->itemOf(deviceNode(1));
    ASSERT_TRUE(marked && fine);
    EXPECT_EQ(marked->toolTip(0), "Калибровка не записана в журнале");
    EXPECT_EQ(fine->toolTip(0), "");
    // The mark is drawn over the image.
    EXPECT_NE(marked->icon(0).pixmap(24, 24).toImage(), fine->icon(0).pixmap(24, 24).toImage());
}

TEST_F(JournalWindowTest, AnExpiredCylinderIsWarnedAboutAndTheSpanStillRecorded)
{
    app.Bus()->detector(1).applyTestGas(500);
    searchUpTo(1);
    press(deviceNode(1));
    QTest::mouseDClick(
        app.Main().tree()->viewport(), Qt::LeftButton, {}, app.Main().tree()->hitRect(deviceNode(1)).center());
    ASSERT_TRUE(WaitFor([&] { return form().Panel.DevPanel.text().find("#1 : ") == 0; }, 5000));
    JournalSettings& s = form().Journal().Settings;
    s.cylinderLot = "П-117";
    s.cylinderExpiry = journal::Date { 2020, 1, 31 };
    click("BtClbConc");
    ASSERT_TRUE(app.Conc().isVisible());
    QTest::mouseClick(app.Conc().findChild<QPushButton*>("BtOk"), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return form().Journal().Store()->Count() == 1; }, 12000));
    ASSERT_GE(boxes.texts.size(), 2u) << (boxes.texts.empty() ? "" : boxes.texts[0]);
    EXPECT_EQ(boxes.texts[0], "Срок годности баллона ПГС истёк (31.01.2020)!");
    EXPECT_EQ(boxes.texts[1], "Градуировка произведена");
    const auto r = form().Journal().Store()->Get(form().Journal().Store()->Find({}).front());
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->success);
    EXPECT_EQ(r->operation, "Градуировка по ПГС (Град.)");
}

} // namespace
} // namespace zor::ui::e2e
