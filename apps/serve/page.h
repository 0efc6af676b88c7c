// The one page of brenk-cli serve, built into the executable from apps/serve/page.html.
#pragma once

#include <string_view>

namespace brenk::serve {

std::string_view pageHtml();

}  // namespace brenk::serve
