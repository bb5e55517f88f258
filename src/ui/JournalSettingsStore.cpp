#include "ui/JournalSettingsStore.h"

#include <QSettings>

#include <algorithm>

namespace zor::ui {

namespace {
constexpr const char* kOwner = "zor-tool";
}

void StoreJournalSettings(const JournalSettings& settings)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOwner, kOwner);
    s.beginGroup("journal");
    s.setValue("technician", QString::fromStdString(settings.technician));
    s.setValue("intervalMonths", settings.intervalMonths);
    s.setValue("cylinderLot", QString::fromStdString(settings.cylinderLot));
    s.setValue("cylinderConc", QString::fromStdString(settings.cylinderConc));
    s.setValue("cylinderExpiry",
        settings.cylinderExpiry ? QString::fromStdString(journal::DateText(*settings.cylinderExpiry)) : QString());
}

JournalSettings LoadJournalSettings()
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, kOwner, kOwner);
    s.beginGroup("journal");
    JournalSettings settings;
    settings.technician = s.value("technician").toString().toStdString();
    settings.intervalMonths = std::clamp(s.value("intervalMonths", settings.intervalMonths).toInt(), 1, 60);
    settings.cylinderLot = s.value("cylinderLot").toString().toStdString();
    settings.cylinderConc = s.value("cylinderConc").toString().toStdString();
    journal::Date d;
    if (journal::ParseDate(s.value("cylinderExpiry").toString().toStdString(), d))
        settings.cylinderExpiry = d;
    return settings;
}

} // namespace zor::ui
