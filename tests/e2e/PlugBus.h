#pragma once
// A simulated bus on a pseudo-terminal of the test's own, reached through a
// link at a fixed path (as a --port path is), that the test pulls out (the
// far end closes, as when a USB adapter is unplugged) and plugs in again
// (a new pseudo-terminal behind the same path).

#include "sim/PtyTransport.h"
#include "sim/SimBus.h"
#include "ui/QtEventLoop.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace zor::ui::e2e {

class PlugBus {
public:
    PlugBus()
        : link_(dir_.filePath("port").toStdString())
    {
    }
    SimBus& bus() { return bus_; }
    const std::string& link() const { return link_; }

    void plugIn()
    {
        line_ = std::make_unique<PtyTransport>(bus_);
        std::string error;
        ASSERT_TRUE(line_->open(error)) << error;
        std::filesystem::remove(link_);
        std::filesystem::create_symlink(line_->slavePath(), link_);
        notifier_ = std::make_unique<QSocketNotifier>(line_->fd(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { line_->onReadable(); });
    }
    void pullOut()
    {
        notifier_.reset();
        line_.reset();
    }

private:
    QTemporaryDir dir_;
    std::string link_;
    QtEventLoop loop_;
    SimBus bus_ { loop_ };
    std::unique_ptr<PtyTransport> line_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zor::ui::e2e
