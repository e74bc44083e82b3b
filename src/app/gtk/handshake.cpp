#include "app/gtk/handshake.h"

namespace tarnwick {

namespace {

struct Posted {
  Handshake* handshake;
  GuiRequest* request;
};

}  // namespace

Handshake::Handshake(Server serve, GMainContext* context) : serve_(std::move(serve)), context_(context) {}

gboolean Handshake::serveOnMain(gpointer data) {
  auto* posted = static_cast<Posted*>(data);
  Handshake* self = posted->handshake;
  GuiRequest* request = posted->request;
  delete posted;
  self->pending_ = request;
  self->serve_(*request);
  return G_SOURCE_REMOVE;
}

int64_t Handshake::postToGui(int code, const void* argument) {
  GuiRequest request;
  request.code = code;
  request.argument = argument;
  {
    std::lock_guard<std::mutex> lock(serialMutex_);
    request.serial = nextSerial_++;
  }
  // Below input, so that the window still reacts while a worker logs line after line;
  // above redraws, so that the worker, which waits for each answer, does not wait for
  // the window to paint every line: the window paints while the worker works on.
  GSource* source = g_idle_source_new();
  g_source_set_priority(source, G_PRIORITY_HIGH_IDLE);
  g_source_set_callback(source, serveOnMain, new Posted{this, &request}, nullptr);
  g_source_attach(source, context_);
  g_source_unref(source);
  // attach wakes the context; the predicate guards against spurious wake-ups.
  std::unique_lock<std::mutex> lock(request.mutex);
  request.answeredCond.wait(lock, [&] { return request.answered; });
  return request.result;
}

void Handshake::answerRequest(GuiRequest& request, int64_t value) {
  // Forget the request before the worker may leave the call and free it.
  if (pending_ == &request) pending_ = nullptr;
  std::lock_guard<std::mutex> lock(request.mutex);
  request.result = value;
  request.answered = true;
  request.answeredCond.notify_one();
}

}  // namespace tarnwick
