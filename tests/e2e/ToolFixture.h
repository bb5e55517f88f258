#pragma once
// The real desktop program, offscreen, on a simulated bus behind a
// pseudo-terminal. Message boxes are answered by a watcher that records
// their texts, so that nothing waits for a user. Every wait is bounded.

#include "app/TFormMain.h"
#include "sim/SimBus.h"
#include "ui/DesktopApp.h"
#include "ui/DeviceTreeWidget.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zor::ui::e2e {

// Waits, handling events, until done() or the deadline; returns done().
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
}

// Answers every message box that opens: records its text and presses the
// button whose caption is next in the script, or the default button.
class BoxWatcher {
public:
    BoxWatcher()
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    std::vector<std::string> texts;
    std::vector<QStringList> buttons;
    std::vector<QPoint> positions;
    std::vector<QString> answers; // captions to press, in order
    std::function<void(QMessageBox&)> onBox; // runs before the press

private:
    void poll()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible())
                continue;
            texts.push_back(box->text().toStdString());
            QStringList captions;
            QAbstractButton* press = box->defaultButton();
            for (QAbstractButton* b : box->buttons()) {
                captions << b->text();
                if (!answers.empty() && b->text() == answers.front())
                    press = b;
            }
            if (!answers.empty())
                answers.erase(answers.begin());
            buttons.push_back(captions);
            positions.push_back(box->pos());
            if (onBox)
                onBox(*box);
            press->click();
        }
    }
    QTimer timer_;
};

// Runs answer, from a posted call, on every window of type W that is shown.
template <class W> class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(std::function<void(W*)> answer)
        : answer_(std::move(answer))
    {
        qApp->installEventFilter(this);
    }
    ~ShowWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* w = qobject_cast<W*>(watched); w && w->isWindow())
                QMetaObject::invokeMethod(
                    this,
                    [this, p = QPointer<W>(w)] {
                        if (p)
                            answer_(p);
                    },
                    Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void(W*)> answer_;
};

// Steps run one after the other from a timer, each when its condition
// holds, so that they also run inside a modal window's event loop. A step
// that opens a modal window defers it (Later), or the script would wait
// behind it. When the time is up, giveUp runs (to close a modal window the
// test waits behind).
class Script {
public:
    struct Step {
        std::function<bool()> when;
        std::function<void()> then;
    };
    Script(std::vector<Step> steps, int timeoutMs, std::function<void()> giveUp)
        : steps_(std::move(steps))
        , deadline_(timeoutMs)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this, giveUp] {
            if (deadline_.hasExpired() && !done()) {
                timer_.stop();
                giveUp();
                return;
            }
            while (next_ < steps_.size() && steps_[next_].when())
                steps_[next_++].then();
        });
        timer_.start(20);
    }
    bool done() const { return next_ == steps_.size(); }
    size_t reached() const { return next_; }

private:
    std::vector<Step> steps_;
    QDeadlineTimer deadline_;
    size_t next_ = 0;
    QTimer timer_;
};

// A script of one step: act on the modal window of type W once it shows;
// when the time is up, whatever modal window is left is closed.
template <class W> std::unique_ptr<Script> WhenModal(std::function<void(W&)> act, int timeoutMs = 5000)
{
    return std::make_unique<Script>(
        std::vector<Script::Step> {
            { [] { return qobject_cast<W*>(QApplication::activeModalWidget()) != nullptr; },
                [act] { act(*qobject_cast<W*>(QApplication::activeModalWidget())); } },
        },
        timeoutMs, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
}

// Runs fn once control is back in an event loop.
inline void Later(std::function<void()> fn)
{
    QTimer::singleShot(0, std::move(fn));
}

class ToolFixture : public ::testing::Test {
protected:
    // Two detectors at the lowest addresses, found within two search steps;
    // a "ZOR-10" whose firmware asks for no newer tool.
    static constexpr const char* kBus = "ZOR-10 address=1 gas=5 serial=7000123\n"
                                        "ZOR-10 address=2 gas=1 serial=7000456 version=204\n";

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(app.StartSimBus(kBus, "Тестовая шина", error)) << error;
        app.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.Main()));
    }

    TFormMain& form() { return app.Form(); }
    template <class W> W* find(const char* name) const
    {
        W* w = const_cast<DesktopApp&>(app).Main().findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }

    forms::TreeNode* deviceNode(uint8_t address)
    {
        for (forms::TreeNode* n : form().DevTree.allNodes())
            if (n->level() == 1 && n->overlayIndex() == address)
                return n;
        return nullptr;
    }
    // A press on the icon or label of a node.
    void press(forms::TreeNode* node, Qt::MouseButton button = Qt::LeftButton)
    {
        DeviceTreeWidget* tree = app.Main().tree();
        QTest::mouseClick(tree->viewport(), button, {}, tree->hitRect(node).center());
    }
    // Searches until the detectors up to address `upTo` are found, then
    // stops the search.
    void searchUpTo(uint8_t upTo)
    {
        click("BtFind");
        ASSERT_TRUE(WaitFor([&] { return deviceNode(upTo) != nullptr; }, 6000));
        click("BtFind");
        ASSERT_FALSE(form().Finding());
    }

    DesktopApp app { '.' };
    BoxWatcher boxes;
};

} // namespace zor::ui::e2e
