#include "app/gtk/handshake.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

// A private GLib context, iterated by the test as the main thread would.
class HandshakeTest : public ::testing::Test {
 protected:
  void SetUp() override { context = g_main_context_new(); }
  void TearDown() override { g_main_context_unref(context); }
  // Iterates the context until done holds; false after five seconds.
  bool serveUntil(const std::atomic<bool>& done) {
    gint64 end = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
    while (!done) {
      if (g_get_monotonic_time() > end) return false;
      g_main_context_iteration(context, FALSE);
      g_usleep(100);
    }
    return true;
  }
  GMainContext* context = nullptr;
};

TEST_F(HandshakeTest, ManyRequestsAreServedInOrderOneAtATime) {
  std::vector<int> seen;
  int maxPending = 0;
  Handshake* hs = nullptr;
  Handshake handshake(
      [&](GuiRequest& r) {
        maxPending = std::max(maxPending, hs->pending() == &r ? 1 : 2);
        seen.push_back(*static_cast<const int*>(r.argument));
        hs->answerRequest(r, r.code * 1000 + seen.back());
      },
      context);
  hs = &handshake;
  std::atomic<bool> done{false};
  std::atomic<int> wrongAnswers{0};
  std::thread worker([&] {
    for (int i = 0; i < 500; ++i)
      if (handshake.postToGui(AppendLog, &i) != AppendLog * 1000 + i) ++wrongAnswers;
    done = true;
  });
  ASSERT_TRUE(serveUntil(done));
  worker.join();
  ASSERT_EQ(seen.size(), 500u);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(seen[i], i);
  EXPECT_EQ(wrongAnswers, 0);
  EXPECT_EQ(maxPending, 1);
  EXPECT_EQ(handshake.pending(), nullptr);
}

TEST_F(HandshakeTest, AnswerGivenLaterReachesTheWaitingWorker) {
  Handshake* hs = nullptr;
  uint64_t serial = 0;
  Handshake handshake([&](GuiRequest& r) { serial = r.serial; }, context);  // no answer yet
  hs = &handshake;
  std::atomic<bool> done{false};
  int64_t answer = -1;
  std::thread worker([&] {
    answer = handshake.postToGui(OpenSearchReplace);
    done = true;
  });
  gint64 end = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
  while (!hs->pending() && g_get_monotonic_time() < end) g_main_context_iteration(context, FALSE);
  ASSERT_NE(hs->pending(), nullptr);
  EXPECT_TRUE(hs->isPending(serial));
  g_usleep(20000);
  EXPECT_FALSE(done);  // still waiting for its answer
  hs->answerRequest(*hs->pending(), 2);
  EXPECT_FALSE(hs->isPending(serial));  // a second answer would find nothing pending
  ASSERT_TRUE(serveUntil(done));
  worker.join();
  EXPECT_EQ(answer, 2);
}

}  // namespace
}  // namespace tarnwick
