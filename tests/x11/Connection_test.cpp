#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "fakes/FakeSystemLog.h"
#include "platform/linux/x11/WindowQuery.h"
#include "platform/linux/x11/XConnection.h"
#include "support/X11Environment.h"
#include "support/XServer.h"

namespace quayline::x11test {
namespace {

double processorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void runEventLoop(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

TEST(XConnection, ALostServerIsReportedOnceAndNothingSpins) {
  // A server of this test's own: the shared one must outlive the test.
  const auto logs = X11Environment::instance().root() / "logs";
  auto server = XServer::start(logs, XServer::WindowManager::none);
  ASSERT_NE(server, nullptr);
  FakeSystemLog log;
  auto connection = x11::XConnection::open(log, server->display().c_str());
  ASSERT_NE(connection, nullptr);
  EXPECT_NE(connection->atom(x11::Atom::_NET_WM_STATE_HIDDEN),
            static_cast<xcb_atom_t>(XCB_ATOM_NONE));
  int losses = 0;
  auto observing = connection->observeLoss([&] { ++losses; });
  connection->selectInput(connection->root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
  connection->flush();

  server->kill();
  ASSERT_TRUE(waitUntil([&] { return losses > 0; }));
  EXPECT_EQ(log.messagesIn("x11").size(), 1u);

  // Reads fail at once from now on, and the loop sleeps instead of waking on the dead socket.
  x11::WindowQuery query(*connection, std::chrono::steady_clock::now() + std::chrono::seconds(5));
  query.requestRoot(x11::kClientList);
  const auto started = std::chrono::steady_clock::now();
  query.collect();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
  EXPECT_FALSE(query.root().clients);

  const double before = processorSeconds();
  runEventLoop(500);
  EXPECT_LT(processorSeconds() - before, 0.2);
  EXPECT_EQ(losses, 1);
  EXPECT_EQ(log.messagesIn("x11").size(), 1u);
}

TEST(XConnection, RepliesReachThreadsThatWaitAtOnce) {
  // Each waiting thread reads the socket, and so does the event loop: whoever reads another
  // thread's reply must wake it.
  FakeSystemLog log;
  auto connection = x11::XConnection::open(log);
  ASSERT_NE(connection, nullptr);
  connection->selectInput(connection->root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
  constexpr int kThreads = 4;
  constexpr int kRoundTrips = 40;
  std::atomic<int> answered{0};
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kRoundTrips; ++i) {
        if (connection->sync(std::chrono::steady_clock::now() + std::chrono::seconds(20))) {
          ++answered;
        }
      }
      ++finished;
    });
  }
  while (finished < kThreads) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(answered, kThreads * kRoundTrips);
  EXPECT_TRUE(log.messagesIn("x11").empty());
}

TEST(XConnection, NoServerNoConnection) {
  FakeSystemLog log;
  EXPECT_EQ(x11::XConnection::open(log, ":4095"), nullptr);
  EXPECT_EQ(log.messagesIn("x11").size(), 1u);
}

}  // namespace
}  // namespace quayline::x11test
