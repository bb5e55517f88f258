#include "ui/WindowPlaceStore.h"

#include <QSettings>

namespace zor::ui {

namespace {
// The line settings' file (LineMemoryStore).
QSettings File()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "zor-tool", "zor-tool");
}
} // namespace

void StoreWindowPlace(const QByteArray& geometry)
{
    File().setValue("window/geometry", geometry);
}

QByteArray LoadWindowPlace()
{
    return File().value("window/geometry").toByteArray();
}

} // namespace zor::ui
