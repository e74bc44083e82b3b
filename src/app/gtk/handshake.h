// The worker's only way to reach the main thread: a request is queued to the main loop
// and the worker blocks until the main thread answers it. At most one request is
// pending at a time, because the worker waits for each answer before it goes on.
#pragma once

#include <glib.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace tarnwick {

enum RequestCode : int {
  CloseStartDialog = 1025,
  OpenSearchReplace = 1026,
  CloseSearchReplace = 1027,
  AppendLog = 1028,
  // Requests of the shell itself: the worker touches no widget, so enabling the main
  // window and reporting the end of the run go through the main thread too.
  EnableMainWindow = 1029,
  RunEnded = 1030,
};

// One waiting call, on the worker's stack for the duration of the call.
struct GuiRequest {
  int code = 0;
  const void* argument = nullptr;  // the request's input; its type depends on the code
  int64_t result = 0;
  uint64_t serial = 0;             // tells apart requests that reuse the same address

  std::mutex mutex;
  std::condition_variable answeredCond;
  bool answered = false;
};

class Handshake {
 public:
  // serve runs on the thread that owns context (the default context: the main thread).
  // It must answer the request, at once or later, with answerRequest.
  using Server = std::function<void(GuiRequest&)>;
  explicit Handshake(Server serve, GMainContext* context = nullptr);
  Handshake(const Handshake&) = delete;
  Handshake& operator=(const Handshake&) = delete;

  // Worker side: posts the request and returns the answer once it is given.
  int64_t postToGui(int code, const void* argument = nullptr);
  // Main-thread side: stores the value and wakes the waiting worker.
  void answerRequest(GuiRequest& request, int64_t value);
  // The request being served and not yet answered, or nullptr (main thread only).
  GuiRequest* pending() const { return pending_; }
  // True when request is still the pending one with this serial (main thread only).
  bool isPending(uint64_t serial) const { return pending_ && pending_->serial == serial; }

 private:
  static gboolean serveOnMain(gpointer data);

  Server serve_;
  GMainContext* context_;
  GuiRequest* pending_ = nullptr;
  std::mutex serialMutex_;
  uint64_t nextSerial_ = 1;
};

}  // namespace tarnwick
