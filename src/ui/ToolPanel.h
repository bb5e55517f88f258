#pragma once
// A tool panel: a caption bar over a column of captioned sections, as the
// main window's left panel (the tree and the port) and the device panel.

#include <QFrame>

class QLabel;
class QVBoxLayout;

namespace zor::ui {

class ToolPanel : public QFrame {
    Q_OBJECT
public:
    ToolPanel(const QString& caption, QWidget* parent);

    QLabel* caption() const { return caption_; }
    // Adds a section under the ones before; the section (caption bar and
    // content) is returned so that it can be shown, hidden or disabled as a
    // whole. stretch gives it the height that is left.
    QWidget* addSection(const QString& caption, QWidget* content, int stretch = 0);
    // The caption bar of a section returned by addSection.
    static QLabel* sectionCaption(QWidget* section);

private:
    QLabel* caption_;
    QVBoxLayout* column_;
};

} // namespace zor::ui
