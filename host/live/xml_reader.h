// A bounded reader for the small XML files FlightGear's generic protocol is written in:
// elements, their text, comments, the XML declaration and the five predefined entities.
// Attributes are read past and ignored; CDATA, DTDs, processing instructions and other
// entities are refused. Every error names the line it was found on.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace panel::live {

class XmlError : public std::runtime_error {
public:
    XmlError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line), message_(message) {}
    int line() const { return line_; }
    const std::string& message() const { return message_; }

private:
    int line_;
    std::string message_;
};

struct XmlElement {
    std::string name;
    std::string text;  // the element's own text, entities decoded, surrounding blanks kept
    int line = 0;      // where its start tag is
    std::vector<std::unique_ptr<XmlElement>> children;

    // The first child of that name, or null.
    const XmlElement* child(std::string_view child_name) const;
};

// Limits that no protocol file comes near; past them the file is taken for something else.
inline constexpr size_t max_xml_bytes = 1 << 20;
inline constexpr int max_xml_depth = 32;
inline constexpr size_t max_xml_elements = 20000;

// The root element. Throws XmlError for anything it cannot read.
std::unique_ptr<XmlElement> parse_xml(std::string_view text);

}  // namespace panel::live
