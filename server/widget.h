#pragma once

#include <string_view>

namespace server {

// The product page's script and a page that shows it, as built into the program.
std::string_view widgetScript();
std::string_view widgetDemoPage();

} // namespace server
