// The browser's page, script and style, carried in the program (from host/server/web/).
#pragma once

#include <string_view>

namespace panel::server::web {

extern const std::string_view page_html;
extern const std::string_view panel_js;
extern const std::string_view panel_css;

}  // namespace panel::server::web
