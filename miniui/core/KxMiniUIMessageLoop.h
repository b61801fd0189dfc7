// The UI thread's message loop with its message filters (offered every
// message before it is dispatched, last registered first) and idle handlers
// (called while the queue is empty).
#pragma once

#include <windows.h>

#include <vector>

class KxMiniUIMessageFilter {
 public:
  // True when the message was consumed and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& message) = 0;

 protected:
  ~KxMiniUIMessageFilter() = default;
};

class KxMiniUIIdleHandler {
 public:
  // True to be called again before the next message arrives.
  virtual bool OnIdle() = 0;

 protected:
  ~KxMiniUIIdleHandler() = default;
};

class KxMiniUIMessageLoop {
 public:
  KxMiniUIMessageLoop();
  virtual ~KxMiniUIMessageLoop();
  KxMiniUIMessageLoop(const KxMiniUIMessageLoop&) = delete;
  KxMiniUIMessageLoop& operator=(const KxMiniUIMessageLoop&) = delete;

  // Handlers are not owned; they may add or remove themselves (and others)
  // while the loop is calling them.
  void AddMessageFilter(KxMiniUIMessageFilter* filter);
  void RemoveMessageFilter(KxMiniUIMessageFilter* filter);
  void AddIdleHandler(KxMiniUIIdleHandler* handler);
  void RemoveIdleHandler(KxMiniUIIdleHandler* handler);

  // Runs until WM_QUIT and answers its exit code.
  int Run();

  // Messages that leave the loop in its no-idle state: they arrive in
  // streams and must not each start an idle pass.
  static bool IsIdleMessage(const MSG& message);

 protected:
  virtual bool PreTranslateMessage(MSG& message);
  // Answers whether any handler wants more idle time.
  virtual bool OnIdle(int idleCount);

 private:
  // Removal leaves a gap while handlers are being called; gaps are
  // squeezed out between messages.
  void Compact();

  std::vector<KxMiniUIMessageFilter*> filters_;
  std::vector<KxMiniUIIdleHandler*> idleHandlers_;
};
