#include "ui/Certificate.h"

#include "journal/Operation.h"

#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace zor::ui {

namespace {

QString Esc(const std::string& s)
{
    return QString::fromStdString(s).toHtmlEscaped();
}

QString Row(const QString& label, const QString& value)
{
    return "<tr><td width='45%'>" + label + "</td><td><b>" + value + "</b></td></tr>";
}

bool IsCalibration(int kind)
{
    using journal::Operation;
    const auto op = static_cast<Operation>(kind);
    return op == Operation::Zero || op == Operation::Span || op == Operation::Reset;
}

} // namespace

QString CertificateHtml(const journal::JournalRecord& r, const std::optional<std::string>& nextDue)
{
    // Sized to stay on one A4 page with every value of the detector.
    QString html = "<html><head><style>h2 { font-size: 13pt; margin: 0 } h3 { font-size: 9pt; margin-top: 8px; "
                   "margin-bottom: 2px } td, th { padding: 2px }</style></head>"
                   "<body style='font-family: DejaVu Sans; font-size: 8pt'>";
    html += QString("<h2 align='center'>%1</h2>")
                .arg(IsCalibration(r.kind) ? "Протокол калибровки газоанализатора"
                                           : "Протокол обслуживания газоанализатора");
    html += QString("<p align='center'>№ %1 от %2</p>").arg(r.id).arg(Esc(r.when));
    html += "<h3>Прибор</h3><table width='100%' cellspacing='0' cellpadding='2' border='1'>";
    html += Row("Модель", Esc(r.model));
    html += Row("Заводской номер", QString::number(r.serial));
    html += Row("Версия ПО", Esc(r.firmware));
    html += Row("Адрес на шине", QString::number(r.address));
    html += Row("Газ", Esc(r.gas));
    html += Row("Единица измерения", Esc(r.unit));
    html += Row("Диапазон измерений", Esc(r.range + " " + r.unit));
    html += Row("Объект / позиция", r.site.empty() ? QString("—") : Esc(r.site));
    html += "</table><h3>Операция</h3><table width='100%' cellspacing='0' cellpadding='2' border='1'>";
    html += Row("Операция", Esc(r.operation));
    html += Row("Дата и время", Esc(r.when));
    html += Row("Результат", (r.success ? QString("Выполнено: ") : QString("Не выполнено: ")) + Esc(r.result));
    if (!r.stoppedAt.empty())
        html += Row("Остановлено на шаге", Esc(r.stoppedAt));
    for (const journal::Detail& d : r.details)
        html += Row(Esc(d.label), Esc(d.text));
    if (nextDue)
        html += Row("Следующая калибровка до", Esc(*nextDue));
    html += "</table><h3>Показания прибора</h3>"
            "<table width='100%' cellspacing='0' cellpadding='2' border='1'>"
            "<tr><th align='left' width='40%'>Величина</th><th align='left' width='30%'>До операции</th>"
            "<th align='left' width='30%'>После операции</th></tr>";
    for (const journal::Reading& x : r.readings) {
        const QString mark = x.changed() ? " style='background-color: #ffe9a8'" : "";
        html += QString("<tr%1><td>%2</td><td>%3</td><td>%4%5</td></tr>")
                    .arg(mark, Esc(x.name), x.found.empty() ? QString("—") : Esc(x.found),
                        x.left.empty() ? QString("—") : Esc(x.left), x.changed() ? QString(" *") : QString());
    }
    html += "</table><p style='font-size: 8pt'>* — значение изменилось; «—» — не прочитано.</p>";
    html += "<br><table width='100%'><tr><td>Выполнил: " + Esc(r.technician.empty() ? "" : r.technician)
        + "</td><td align='right'>Подпись: ____________________</td></tr>"
          "<tr><td></td><td align='right'>Дата: ____________________</td></tr></table>";
    html += "</body></html>";
    return html;
}

bool WriteCertificate(
    const journal::JournalRecord& record, const std::optional<std::string>& nextDue, const QString& path)
{
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(18, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle("Протокол");
    writer.setCreator("ZOR Tool");
    QTextDocument doc;
    doc.setHtml(CertificateHtml(record, nextDue));
    doc.print(&writer);
    return true;
}

} // namespace zor::ui
