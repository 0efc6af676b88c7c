#include "apps/serve/serve.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <iostream>
#include <mutex>
#include <thread>

#include "apps/serve/routes.h"

namespace brenk::serve {

namespace {

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

std::string urlHost(const std::string& host) { return host.find(':') == std::string::npos ? host : "[" + host + "]"; }

// Binds now, so that the address printed is one that already accepts connections.
int bindServer(httplib::Server& server, const ServeOptions& options) {
  if (options.port == 0) return server.bind_to_any_port(options.host);
  return server.bind_to_port(options.host, options.port) ? options.port : -1;
}

// Ctrl-C and SIGTERM arrive here, in a thread of their own, and not as handlers: stopping the
// server is not something a signal handler may do. A search in progress finishes its turn first,
// bounded by its own limit, and its answer still goes out.
void stopOnSignal(httplib::Server& server, const std::atomic<bool>& listenDone) {
  const sigset_t set = stopSignals();
  int signal = 0;
  sigwait(&set, &signal);
  while (!server.is_running() && !listenDone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!listenDone) server.stop();
}

}  // namespace

int runServe(const ServeOptions& options) {
  // Blocked before the server starts its threads, so they inherit the mask and only the waiting
  // thread ever takes these signals.
  const sigset_t set = stopSignals();
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &set, &previous);

  httplib::Server server;
  std::mutex searchLock;
  installRoutes(server, searchLock);
  const int port = bindServer(server, options);
  if (port <= 0) {
    std::cerr << "brenk-cli serve: cannot listen on " << options.host << " port " << options.port << '\n';
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return 1;
  }
  std::cout << "brenk-cli serve: open http://" << urlHost(options.host) << ':' << port
            << "/ in a browser (Ctrl-C stops the server)" << std::endl;

  std::atomic<bool> listenDone{false};
  std::thread waiter(stopOnSignal, std::ref(server), std::cref(listenDone));
  const bool served = server.listen_after_bind();
  listenDone = true;
  if (!served) kill(getpid(), SIGTERM);  // wakes the waiter, which then finds nothing to stop
  waiter.join();

  // A second Ctrl-C may still be pending; it must not kill the process once the mask is restored.
  const timespec noWait{0, 0};
  while (sigtimedwait(&set, nullptr, &noWait) > 0) {
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  if (!served) {
    std::cerr << "brenk-cli serve: the server stopped accepting connections\n";
    return 1;
  }
  std::cerr << "brenk-cli serve: stopped\n";
  return 0;
}

}  // namespace brenk::serve
