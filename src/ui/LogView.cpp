#include "ui/LogView.h"

#include "ui/Bind.h"

#include <QPlainTextEdit>
#include <QPointer>

namespace zor::ui {

QString LogParagraphs(const std::string& piece)
{
    std::string text = piece;
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    QString q = qs(text);
    q.replace("\r\n", "\n");
    return q;
}

void BindLog(ExchangeLog& log, QPlainTextEdit* widget)
{
    widget->setReadOnly(true);
    widget->setLineWrapMode(QPlainTextEdit::NoWrap);
    widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    widget->setUndoRedoEnabled(false);
    widget->setMinimumHeight(76);
    if (!log.Text().empty())
        widget->setPlainText(LogParagraphs(log.Text()));
    QPointer<QPlainTextEdit> alive(widget);
    log.SetObserver([alive](const std::string& appended) {
        if (alive)
            alive->appendPlainText(LogParagraphs(appended));
    });
}

} // namespace zor::ui
