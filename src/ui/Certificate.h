#pragma once
// A journal record as a certificate on one A4 page in PDF: the detector, the
// operation and its result, the values as found and as left with the
// changed ones marked, the next calibration due after a span, and a line
// for the signature.

#include "journal/JournalRecord.h"

#include <QString>

#include <optional>
#include <string>

namespace zor::ui {

// The certificate's text as HTML; nextDue: "11.06.2027" after a span.
QString CertificateHtml(const journal::JournalRecord& record, const std::optional<std::string>& nextDue);
// Writes it to path; false when the file could not be written.
bool WriteCertificate(
    const journal::JournalRecord& record, const std::optional<std::string>& nextDue, const QString& path);

} // namespace zor::ui
