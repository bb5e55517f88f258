#include "ui/ErrorReport.h"

#include <QtGlobal>

#include <exception>

namespace zor::ui {

namespace {

std::function<void(const std::string&)>& reporter()
{
    static std::function<void(const std::string&)> fn;
    return fn;
}

void report(const std::string& text)
{
    if (reporter()) {
        try {
            reporter()(text);
            return;
        } catch (...) {
            // The report itself failed: the log is all that is left.
        }
    }
    qWarning("%s", text.c_str());
}

} // namespace

void SetErrorReporter(std::function<void(const std::string&)> fn)
{
    reporter() = std::move(fn);
}

void Guarded(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        report(e.what());
    } catch (...) {
        report("Неизвестная ошибка");
    }
}

} // namespace zor::ui
