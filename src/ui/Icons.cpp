#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>

#include <array>
#include <map>

// Resources compiled into a static library register only when asked to,
// from the global namespace.
static void InitZorResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace zor::ui {

void InitResources()
{
    InitZorResources();
}

QIcon Icon(const std::string& name)
{
    return QIcon(QString(":/icons/%1.svg").arg(QString::fromStdString(name)));
}

QIcon WithDueMark(const QIcon& image)
{
    QPixmap pixmap = image.pixmap(24, 24);
    if (pixmap.isNull()) {
        pixmap = QPixmap(24, 24);
        pixmap.fill(Qt::transparent);
    }
    QPainter painter(&pixmap);
    Icon("due").paint(&painter, QRect(11, 11, 13, 13));
    return QIcon(pixmap);
}

QIcon TreeImage(int index)
{
    static const std::map<int, std::string> names { { 0, "added" }, { 1, "zor11" }, { 2, "zor12" }, { 3, "zor13" },
        { 4, "zor10" }, { 7, "working" }, { 8, "error" } };
    const auto it = names.find(index);
    return it == names.end() ? QIcon() : Icon(it->second);
}

} // namespace zor::ui
