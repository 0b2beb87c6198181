#include "platform/instance/SingleInstance.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <memory>

namespace bw {
namespace {

using namespace std::chrono_literals;

// A later start while another instance holds the lock and never answers: it takes the lock over
// once that instance lets go of it, as a quitting one does a moment after it stops listening,
// and steps aside only when the lock stays held for all the while it waits.
TEST(SingleInstance, ALaterStartTakesTheLockOnceTheSilentHolderLetsGo) {
    char name[] = "instance_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    QCoreApplication application(argc, argv);
    const struct {
        const char* holder;
        bool listens;
        bool letsGo; // after 300 ms
        bool claimed;
    } cases[] = {
        {"no longer listens, lets go", false, true, true},
        {"listens without answering, lets go", true, true, true},
        {"listens without answering, keeps it", true, false, false},
    };
    for (const auto& c : cases) {
        const QTemporaryDir folder;
        std::promise<void> held;
        std::atomic<bool> laterDone = false;
        // The holder's thread runs no event loop, so it never answers.
        const std::unique_ptr<QThread> holder(QThread::create([&] {
            SingleInstance running(folder.path());
            if (c.listens) {
                running.claim();
            } else {
                running.lock();
            }
            held.set_value();
            const auto letGo = std::chrono::steady_clock::now() + (c.letsGo ? 300ms : 1h);
            while (!laterDone && std::chrono::steady_clock::now() < letGo) {
                QThread::msleep(10);
            }
        }));
        holder->start();
        held.get_future().wait();

        SingleInstance later(folder.path());
        EXPECT_EQ(later.claim(), c.claimed) << c.holder;
        laterDone = true;
        holder->wait();
        QLocalSocket probe;
        probe.connectToServer(later.socketPath());
        EXPECT_EQ(probe.waitForConnected(1000), c.claimed) << c.holder << ": listens";
    }
}

} // namespace
} // namespace bw
