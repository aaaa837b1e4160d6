#include "pages.h"

#include <charconv>

#include "web_files.h"

namespace panel::server {

Pages::Pages(const PanelLayout& layout, bool view_only)
    : layout_(layout), description_(describe_layout(layout, view_only)) {}

std::string_view target_path(std::string_view target) {
    return target.substr(0, target.find_first_of("?#"));
}

bool Pages::is_page(std::string_view path) const {
    if (path == "/") return true;
    if (path.starts_with("/gauge/")) {
        const std::string_view name = path.substr(7);
        for (const LaidOutGauge& gauge : layout_.gauges) {
            if (gauge.path == name) return true;
        }
        return false;
    }
    if (path.starts_with("/window/")) {
        const std::string_view number = path.substr(8);
        size_t index = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), index);
        return !number.empty() && error == std::errc{} && end == number.data() + number.size() &&
               index < layout_.windows.size();
    }
    return false;
}

Answer Pages::answer(std::string_view target) const {
    const std::string_view path = target_path(target);
    if (is_page(path)) return {200, "text/html; charset=utf-8", std::string(web::page_html)};
    if (path == "/panel.js") return {200, "text/javascript; charset=utf-8", std::string(web::panel_js)};
    if (path == "/panel.css") return {200, "text/css; charset=utf-8", std::string(web::panel_css)};
    if (path == "/api/panel") return {200, "application/json", description_};
    return {404, "text/plain; charset=utf-8", "nothing here\n"};
}

}  // namespace panel::server
