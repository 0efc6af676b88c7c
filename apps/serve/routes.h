// What the server answers: the page at "/", the decision API at "/api/decide", JSON errors for
// everything else. Bodies are read only for the API and never beyond kMaxBodyBytes.
#pragma once

#include <httplib.h>

#include <mutex>

namespace brenk::serve {

// `searchLock` admits one search at a time; a request that finds it taken is turned away.
void installRoutes(httplib::Server& server, std::mutex& searchLock);

}  // namespace brenk::serve
