#include "ui/HelpWindow.h"

#include "commands/TAboutBox.h"
#include "ui/Bind.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>
#include <QVBoxLayout>

namespace zor::ui {

HelpWindow::HelpWindow(QWidget* mainWindow)
    : QDialog(mainWindow,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName("TAboutBox");
    setModal(false);
    setWindowTitle(QString::fromUtf8(TAboutBox::Caption.data(), static_cast<int>(TAboutBox::Caption.size())));

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(10);
    auto* frame = new QFrame(this);
    frame->setObjectName("Panel1");
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(2, 2, 2, 2);
    memo_ = new QPlainTextEdit(frame);
    memo_->setObjectName("Memo1");
    QStringList lines;
    for (const std::string_view line : TAboutBox::Lines)
        lines << QString::fromUtf8(line.data(), static_cast<int>(line.size()));
    memo_->setPlainText(lines.join('\n'));
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    inner->addWidget(memo_);
    column->addWidget(frame, 1);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    ok->setFixedWidth(75);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    column->addWidget(ok, 0, Qt::AlignHCenter);

    // Wide enough for the longest line and high enough for all ten, with
    // the document's margins and the caret's room.
    const QFontMetrics fm(memo_->font());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int margins = 2 * (memo_->frameWidth() + static_cast<int>(memo_->document()->documentMargin())) + 8;
    memo_->setFixedSize(widest + margins, (fm.lineSpacing() + 1) * static_cast<int>(lines.size()) + margins);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // Enter closes the window: the focus starts on "OK".
    ok->setFocus();
}

void HelpWindow::present()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (!placed_) {
        adjustSize();
        const QRect screenArea = screen()->availableGeometry();
        move(screenArea.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
        placed_ = true;
    }
    show();
    findChild<QPushButton*>("OKButton")->setFocus();
    raise();
    activateWindow();
}

} // namespace zor::ui
