// brenk-cli serve as scripts use it: the real executable on a free loopback port, asked through a
// real HTTP client. Its answer must be brenk-cli analyze's object for the same directory, every
// bad request a JSON 400 that leaves the server as it was, and a second search a 503.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <future>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

using nlohmann::json;
using namespace std::chrono_literals;

// ---- the server as a process --------------------------------------------------------------------

int freeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    port = ntohs(address.sin_port);
  close(fd);
  return port;
}

// Exit status after `signal`, or -1 when the process had to be killed after `patience`.
int stopProcess(pid_t pid, int signal, std::chrono::milliseconds patience) {
  kill(pid, signal);
  const auto end = std::chrono::steady_clock::now() + patience;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(10ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ServerProcess {
 public:
  // Ready once it has printed the address to open: it binds before it prints.
  ServerProcess() {
    for (int attempt = 0; attempt < 5 && pid_ < 0; ++attempt) start(freeLoopbackPort());
    if (pid_ < 0) throw std::runtime_error("brenk-cli serve did not start");
  }
  ~ServerProcess() {
    if (pid_ > 0) stopProcess(pid_, SIGKILL, 5s);
    if (out_ >= 0) close(out_);
  }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int port() const { return port_; }
  httplib::Client client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(300, 0);
    return client;
  }
  // The exit status after `signal` (a search may finish its turn first), -1 if it did not end.
  int stop(int signal) {
    const int status = stopProcess(pid_, signal, 120s);
    pid_ = -1;
    return status;
  }

 private:
  void start(int port) {
    int out[2];
    if (pipe(out) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]), close(out[1]);
      const std::string portText = std::to_string(port);
      execl(BRENK_CLI_EXE, BRENK_CLI_EXE, "serve", "--port", portText.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    const std::string line = readLine(out[0]);
    if (line.find("http://127.0.0.1:" + std::to_string(port) + "/") != std::string::npos) {
      pid_ = pid;
      port_ = port;
      out_ = out[0];  // kept open: a write to a closed pipe would end the server
      return;
    }
    close(out[0]);
    if (pid > 0) stopProcess(pid, SIGKILL, 5s);
  }
  static std::string readLine(int fd) {
    std::string line;
    pollfd poller{fd, POLLIN, 0};
    char ch = 0;
    while (line.find('\n') == std::string::npos && poll(&poller, 1, 60000) > 0 && read(fd, &ch, 1) == 1) line += ch;
    return line;
  }

  pid_t pid_ = -1;
  int port_ = 0;
  int out_ = -1;
};

// ---- requests -----------------------------------------------------------------------------------

using Rows = std::vector<std::string>;

Rows emptyRows() { return Rows(20, std::string(20, '-')); }

Rows withStones(std::vector<std::array<int, 2>> xs, std::vector<std::array<int, 2>> os) {
  Rows rows = emptyRows();
  for (const auto& [r, c] : xs) rows[r][c] = 'x';
  for (const auto& [r, c] : os) rows[r][c] = 'o';
  return rows;
}

json decideBody(const Rows& rows, const std::string& side, json limit) {
  json body = limit;
  body["board"] = rows;
  body["side"] = side;
  return body;
}

httplib::Result post(const ServerProcess& server, const std::string& body) {
  return server.client().Post("/api/decide", body, "application/json");
}

// What brenk-cli analyze prints for the same position as a game directory.
std::string analyzeJson(const Rows& rows, const std::string& side, int iterations, bool threats) {
  brenk::testsupport::TempDir dir("brenk-serve");
  std::string board;
  for (const std::string& row : rows) board += row + "\n";
  dir.write("plocha.dat", board);
  dir.write("tah.dat", side);
  brenk::testsupport::RunOptions options;
  options.args = {"analyze", dir.path().string(), "--iterations", std::to_string(iterations), "--json"};
  if (threats) options.args.push_back("--threats");
  options.stderrTo = brenk::testsupport::Stderr::Discard;
  const auto run = brenk::testsupport::runProcess(BRENK_CLI_EXE, options);
  EXPECT_EQ(run.status, 0);
  return run.out;
}

double number(const json& value) { return value.is_string() ? INFINITY : value.get<double>(); }

void expectJsonError(const httplib::Result& result, int status, const std::string& what) {
  ASSERT_TRUE(result) << what;
  EXPECT_EQ(result->status, status) << what << ": " << result->body;
  EXPECT_EQ(result->get_header_value("Content-Type"), "application/json") << what;
  const json body = json::parse(result->body, nullptr, false);
  EXPECT_TRUE(body.is_object() && body.contains("error") && !body["error"].get<std::string>().empty())
      << what << ": " << result->body;
}

// Two stones and the side to move: nothing is decided before the search, which stays open.
const Rows kQuiet = withStones({{9, 9}}, {{8, 10}});

// ---- tests --------------------------------------------------------------------------------------

TEST(ServeApi, FixedIterationsAnswerIsAnalyzeObjectPlusTheRootChildren) {
  ServerProcess server;
  const struct {
    Rows rows;
    std::string side;
    int iterations;
    bool threats;
  } cases[] = {
      {kQuiet, "x", 500, false},
      {withStones({{9, 9}, {10, 10}, {8, 11}}, {{9, 10}, {10, 9}, {11, 8}}), "o", 1200, false},
      {withStones({{9, 9}, {10, 10}, {8, 11}}, {{9, 10}, {10, 9}, {11, 8}}), "o", 1200, true},
  };
  for (const auto& c : cases) {
    const auto result =
        post(server, decideBody(c.rows, c.side, {{"iterations", c.iterations}, {"threats", c.threats}}).dump());
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200) << result->body;
    const std::string expected = analyzeJson(c.rows, c.side, c.iterations, c.threats);
    ASSERT_GT(expected.size(), 2u);
    const std::string head = expected.substr(0, expected.size() - 2);  // without "}\n"
    const std::string& body = result->body;
    EXPECT_EQ(body.substr(0, head.size()), head);
    EXPECT_EQ(body.substr(head.size(), 12), ",\"children\":");
    EXPECT_EQ(body.substr(body.size() - 2), "}\n");

    const json answer = json::parse(body);
    if (c.threats) {
      // The mode builds no proof-number tree: no children; its search is the alpha-beta one,
      // whose figures came in analyze's part above, the variation starting at the move.
      EXPECT_TRUE(answer["children"].is_null());
      EXPECT_EQ(answer["decision"], "alpha-beta");
      ASSERT_FALSE(answer["alphaBeta"]["pv"].empty()) << body;
      EXPECT_EQ(answer["alphaBeta"]["pv"][0][0], answer["move"][0]);
      EXPECT_EQ(answer["alphaBeta"]["pv"][0][1], answer["move"][1]);
      continue;
    }
    // The children are the root's own: distinct empty cells, one of them the principal line's
    // first, and the root an OR node over them (proof the least of theirs, disproof their sum).
    const json& children = answer["children"];
    ASSERT_FALSE(children.empty());
    std::set<std::pair<int, int>> cells;
    double leastProof = INFINITY, disproofSum = 0;
    for (const json& child : children) {
      const int row = child["cell"][0], col = child["cell"][1];
      EXPECT_EQ(c.rows[row][col], '-');
      EXPECT_TRUE(cells.insert({row, col}).second);
      leastProof = std::min(leastProof, number(child["proof"]));
      disproofSum += number(child["disproof"]);
      EXPECT_EQ(child["value"], 2);
    }
    const json& first = answer["principalLine"][0];
    EXPECT_TRUE(cells.count({first[0].get<int>(), first[1].get<int>()}));
    EXPECT_EQ(number(answer["search"]["rootProof"]), leastProof);
    EXPECT_NEAR(number(answer["search"]["rootDisproof"]), disproofSum, disproofSum * 1e-5);
  }
}

TEST(ServeApi, QuickDecisionsNeedNoSearchWhateverTheLimit) {
  ServerProcess server;
  // x has four in a row from (9,5) to (9,8): x completes it, o must block one end.
  const Rows four = withStones({{9, 5}, {9, 6}, {9, 7}, {9, 8}}, {{10, 5}, {10, 6}, {8, 9}});
  const struct {
    std::string side;
    json limit;
    std::string decision;
  } cases[] = {
      {"x", {{"iterations", 10'000'000}}, "own-five"},
      {"o", {{"timeMs", 60'000}, {"threats", true}}, "block-five"},
      {"x", {{"timeMs", 0}}, "own-five"},
  };
  for (const auto& c : cases) {
    const auto result = post(server, decideBody(four, c.side, c.limit).dump());
    ASSERT_TRUE(result);
    ASSERT_EQ(result->status, 200) << result->body;
    const json answer = json::parse(result->body);
    EXPECT_EQ(answer["decision"], c.decision);
    const json move = answer["move"];
    EXPECT_TRUE(move == json({9, 4}) || move == json({9, 9})) << move;
    EXPECT_TRUE(answer["search"].is_null());
    EXPECT_TRUE(answer["children"].is_null());
  }
}

TEST(ServeApi, BadRequestsGetAJson400AndChangeNothing) {
  ServerProcess server;
  const json good = decideBody(kQuiet, "x", {{"iterations", 50}});
  auto with = [&](const std::string& key, json value) {
    json body = good;
    body[key] = value;
    return body.dump();
  };
  auto without = [&](const std::string& key) {
    json body = good;
    body.erase(key);
    return body.dump();
  };
  Rows longRow = kQuiet, badChar = kQuiet;
  longRow[3] += "-";
  badChar[4][7] = 'X';
  const std::pair<std::string, std::string> cases[] = {
      {"malformed JSON", "{\"board\": ["},
      {"not an object", "[1, 2]"},
      {"no board", without("board")},
      {"19 rows", with("board", Rows(19, std::string(20, '-')))},
      {"a row of 21", with("board", longRow)},
      {"a capital X", with("board", badChar)},
      {"rows as numbers", with("board", std::vector<int>(20, 0))},
      {"no side", without("side")},
      {"side y", with("side", "y")},
      {"side as a number", with("side", 1)},
      {"no limit", without("iterations")},
      {"both limits", with("timeMs", 100)},
      {"negative iterations", with("iterations", -1)},
      {"too many iterations", with("iterations", 10'000'001)},
      {"fractional iterations", with("iterations", 2.5)},
      {"iterations as text", with("iterations", "50")},
      {"negative time", json(decideBody(kQuiet, "x", {{"timeMs", -5}})).dump()},
      {"too much time", json(decideBody(kQuiet, "x", {{"timeMs", 60'001}})).dump()},
      {"threats as text", with("threats", "yes")},
      {"an unknown key", with("iteration", 50)},
  };
  for (const auto& [what, body] : cases) expectJsonError(post(server, body), 400, what);

  // 64 KiB is the most a body may hold, spaces included; one byte more is refused unread.
  const std::string compact = good.dump();
  const std::string spaces(64 * 1024 - compact.size(), ' ');
  const auto fits = post(server, spaces + compact);
  ASSERT_TRUE(fits);
  EXPECT_EQ(fits->status, 200) << fits->body;
  const std::string padded = spaces + " " + compact;
  expectJsonError(post(server, padded), 400, "a declared length over 64 KiB");
  // Chunked, the length is not known in advance: the reading stops at the limit.
  const auto chunked = server.client().Post(
      "/api/decide",
      [&](size_t offset, httplib::DataSink& sink) {
        if (offset < padded.size()) {
          sink.write(padded.data() + offset, std::min<size_t>(4096, padded.size() - offset));
        } else {
          sink.done();
        }
        return true;
      },
      "application/json");
  expectJsonError(chunked, 400, "a chunked body over 64 KiB");

  // The server is as it was: the same request gets the same answer as before the bad ones.
  const auto again = post(server, good.dump());
  ASSERT_TRUE(again && fits);
  EXPECT_EQ(again->body, fits->body);
}

TEST(ServeApi, UnknownPathsGet404AndWrongMethods405) {
  ServerProcess server;
  httplib::Client client = server.client();
  expectJsonError(client.Get("/nothing"), 404, "GET /nothing");
  expectJsonError(client.Post("/api/decide/more", "{}", "application/json"), 404, "POST under the API");
  expectJsonError(client.Get("/api/decide"), 405, "GET of the API");
  const auto page = client.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(page->body.find("http://"), std::string::npos) << "the page must not fetch anything from outside";
  EXPECT_EQ(page->body.find("https://"), std::string::npos) << "the page must not fetch anything from outside";
}

// A long timed search, and quick requests beside it until one is turned away.
bool sawBusyAnswerDuring(const ServerProcess& server, std::future<httplib::Result>& search) {
  const std::string quick = decideBody(kQuiet, "x", {{"iterations", 0}}).dump();
  while (search.wait_for(50ms) != std::future_status::ready) {
    const auto result = post(server, quick);
    if (result && result->status == 503) {
      expectJsonError(result, 503, "a request while searching");
      return true;
    }
  }
  return false;
}

TEST(ServeProcess, StopsWithStatus0OnCtrlC) {
  ServerProcess idle;
  EXPECT_EQ(idle.stop(SIGINT), 0);
}

// One search at a time: a second request is turned away, not queued. SIGTERM then lets the
// search in progress finish and answer before the server ends.
TEST(ServeProcess, TurnsAwayASecondSearchAndStopsCleanlyDuringOne) {
  ServerProcess server;
  auto search = std::async(std::launch::async, [&] {
    return post(server, decideBody(kQuiet, "x", {{"timeMs", 2000}}).dump());
  });
  ASSERT_TRUE(sawBusyAnswerDuring(server, search));
  EXPECT_EQ(server.stop(SIGTERM), 0);
  const auto answered = search.get();
  ASSERT_TRUE(answered);
  EXPECT_EQ(answered->status, 200);
}

TEST(ServeProcess, AnAddressInUseIsReportedWithStatus1) {
  ServerProcess first;
  brenk::testsupport::RunOptions options;
  options.args = {"serve", "--port", std::to_string(first.port())};
  options.stderrTo = brenk::testsupport::Stderr::Capture;
  options.timeoutMs = 30000;
  const auto second = brenk::testsupport::runProcess(BRENK_CLI_EXE, options);
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.err.find("cannot listen"), std::string::npos) << second.err;
}

}  // namespace
