#pragma once
// The exchange log pane: read-only, vertical scroll bar, and only the new
// text is added at the end, so that it stays fast however long the log
// grows.

#include "app/ExchangeLog.h"

#include <QString>

#include <string>

class QPlainTextEdit;

namespace zor::ui {

void BindLog(ExchangeLog& log, QPlainTextEdit* widget);

// What one appended piece of the log (entries end with CR LF) adds to the
// pane as paragraphs: the piece without its last line end, with CR LF as
// paragraph breaks.
QString LogParagraphs(const std::string& piece);

} // namespace zor::ui
