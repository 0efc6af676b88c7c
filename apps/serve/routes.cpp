#include "apps/serve/routes.h"

#include <sys/socket.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "apps/analysis/analysis.h"
#include "apps/analysis/report.h"
#include "apps/serve/page.h"
#include "apps/serve/request.h"

namespace brenk::serve {

namespace {

using httplib::Request;
using httplib::Response;
using HandlerResponse = httplib::Server::HandlerResponse;

constexpr const char* kTooLong = "the body is over 64 KiB";

void answerError(Response& res, int status, const std::string& message) {
  res.status = status;
  const nlohmann::json body = {{"error", message}};
  res.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n", "application/json");
}

// Runs before any of the body is read: whatever is not the API's POST is answered from the
// headers alone.
HandlerResponse screen(const Request& req, Response& res) {
  const bool api = req.path == "/api/decide";
  if (api && req.method == "POST") {
    if (req.get_header_value<uint64_t>("Content-Length") <= kMaxBodyBytes) return HandlerResponse::Unhandled;
    answerError(res, 400, kTooLong);
  } else if (api) {
    res.set_header("Allow", "POST");
    answerError(res, 405, "/api/decide takes POST");
  } else if (req.path == "/") {
    if (req.method == "GET" || req.method == "HEAD") return HandlerResponse::Unhandled;
    res.set_header("Allow", "GET, HEAD");
    answerError(res, 405, "/ takes GET");
  } else {
    answerError(res, 404, "nothing at " + req.path);
  }
  return HandlerResponse::Handled;
}

// Errors the library answers itself (a request it cannot parse, a body over its maximum) get a
// JSON body too; an over-long body is a bad request like any other.
HandlerResponse explainError(const Request&, Response& res) {
  if (!res.body.empty()) return HandlerResponse::Unhandled;
  if (res.status == 413) {
    answerError(res, 400, kTooLong);
  } else {
    answerError(res, res.status, res.status == 404 ? "nothing here" : "the request could not be served");
  }
  return HandlerResponse::Handled;
}

// At most kMaxBodyBytes, whether the length is declared, chunked or compressed.
bool readBody(Response& res, const httplib::ContentReader& reader, std::string& body) {
  bool tooLong = false;
  const bool complete = reader([&](const char* data, size_t length) {
    if (length > kMaxBodyBytes - body.size()) {
      tooLong = true;
      return false;
    }
    body.append(data, length);
    return true;
  });
  if (complete && !tooLong) return true;
  answerError(res, 400, tooLong || res.status == 413 ? kTooLong : "the body could not be read");
  return false;
}

void decide(std::mutex& searchLock, Response& res, const httplib::ContentReader& reader) {
  const Clock clock;  // the time limit runs from the request's arrival
  std::string body;
  if (!readBody(res, reader, body)) return;
  std::string error;
  const auto request = parseDecideRequest(body, error);
  if (!request) {
    answerError(res, 400, error);
    return;
  }
  const std::unique_lock<std::mutex> searching(searchLock, std::try_to_lock);
  if (!searching.owns_lock()) {
    res.set_header("Retry-After", "1");
    answerError(res, 503, "Brenk is busy with another position; ask again when it has answered");
    return;
  }
  std::ostream quiet(nullptr);  // the search's diagnostic line has no reader here
  std::ostringstream answer;
  try {
    const cli::Analysis analysis = cli::analyzePosition(request->position, driverOptionsFor(*request, clock, quiet));
    cli::writeAnalysisJsonWithChildren(answer, analysis);
    res.set_header("Server-Timing", "decide;dur=" + std::to_string(analysis.elapsedMs));
  } catch (...) {
    answerError(res, 500, "the search failed while freeing its tree");
    return;
  }
  res.set_content(answer.str(), "application/json");
}

}  // namespace

void installRoutes(httplib::Server& server, std::mutex& searchLock) {
  // The library's default adds SO_REUSEPORT, which lets a second server take the same port and
  // half of the requests; a port in use must be an error instead.
  server.set_socket_options([](int sock) {
    const int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  server.set_payload_max_length(kMaxBodyBytes);
  // One request per connection: a refused body is left unread, so the connection cannot carry
  // another request, and no idle browser connection holds one of the server's threads.
  server.set_keep_alive_max_count(1);
  server.set_pre_routing_handler(screen);
  server.set_error_handler(httplib::Server::HandlerWithResponse(explainError));
  server.Get("/", [](const Request&, Response& res) {
    const std::string_view page = pageHtml();
    res.set_content(page.data(), page.size(), "text/html; charset=utf-8");
  });
  server.Post("/api/decide", [&searchLock](const Request&, Response& res, const httplib::ContentReader& reader) {
    decide(searchLock, res, reader);
  });
}

}  // namespace brenk::serve
