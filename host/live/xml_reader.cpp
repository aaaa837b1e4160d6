#include "xml_reader.h"

#include <cctype>

namespace panel::live {
namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::unique_ptr<XmlElement> document() {
        if (text_.size() > max_xml_bytes) fail("the file is larger than 1 MB: not a protocol file");
        if (text_.starts_with("\xEF\xBB\xBF")) advance(3);
        skip_misc();
        if (at_end() || peek() != '<') fail("no root element");
        auto root = element(1);
        skip_misc();
        if (!at_end()) fail("text after the root element");
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw XmlError(line_, message); }

    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }
    bool looking_at(std::string_view what) const { return text_.substr(pos_).starts_with(what); }
    void advance(size_t count) {
        for (size_t i = 0; i < count && pos_ < text_.size(); ++i) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
    }
    void skip_blanks() {
        while (!at_end() && std::isspace(static_cast<unsigned char>(peek()))) advance(1);
    }
    // Moves past the next `end`, failing with `what` when the text runs out first.
    void skip_past(std::string_view end, const char* what) {
        const size_t found = text_.find(end, pos_);
        if (found == std::string_view::npos) fail(what);
        advance(found + end.size() - pos_);
    }

    // Blanks, comments and the XML declaration, between elements.
    void skip_misc() {
        while (true) {
            skip_blanks();
            if (looking_at("<!--")) skip_comment();
            else if (looking_at("<?")) skip_past("?>", "an unfinished <? ... ?>");
            else return;
        }
    }
    void skip_comment() {
        advance(4);
        skip_past("-->", "an unfinished comment");
    }

    std::string name() {
        const size_t start = pos_;
        while (!at_end()) {
            const char c = peek();
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':')) break;
            advance(1);
        }
        if (pos_ == start) fail("an element name was expected");
        return std::string(text_.substr(start, pos_ - start));
    }

    // Attributes are allowed and ignored: FlightGear's own files carry a few.
    void skip_attributes() {
        while (true) {
            skip_blanks();
            if (at_end()) fail("an unfinished start tag");
            if (peek() == '>' || looking_at("/>")) return;
            name();
            skip_blanks();
            if (at_end() || peek() != '=') fail("an attribute without a value");
            advance(1);
            skip_blanks();
            if (at_end() || (peek() != '"' && peek() != '\'')) fail("an attribute value must be quoted");
            const char quote = peek();
            advance(1);
            skip_past(std::string_view(&quote, 1), "an unfinished attribute value");
        }
    }

    void entity(std::string& into) {
        static constexpr std::pair<std::string_view, char> entities[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        for (const auto& [spelled, character] : entities) {
            if (looking_at(spelled)) {
                into += character;
                advance(spelled.size());
                return;
            }
        }
        fail("an entity other than &amp; &lt; &gt; &quot; &apos;");
    }

    std::unique_ptr<XmlElement> element(int depth) {
        if (depth > max_xml_depth) fail("elements nested too deep");
        if (++elements_ > max_xml_elements) fail("too many elements");
        auto node = std::make_unique<XmlElement>();
        node->line = line_;
        advance(1);  // '<'
        node->name = name();
        skip_attributes();
        if (looking_at("/>")) {
            advance(2);
            return node;
        }
        advance(1);  // '>'
        while (true) {
            if (at_end()) fail("<" + node->name + "> is not closed");
            if (looking_at("</")) {
                advance(2);
                const int line = line_;
                const std::string closing = name();
                skip_blanks();
                if (at_end() || peek() != '>') fail("an unfinished end tag");
                advance(1);
                if (closing != node->name) {
                    throw XmlError(
                        line, "</" + closing + "> closes <" + node->name + "> of line " + std::to_string(node->line));
                }
                return node;
            }
            if (looking_at("<!--")) skip_comment();
            else if (looking_at("<![CDATA[") || looking_at("<!") || looking_at("<?"))
                fail("CDATA, DTDs and processing instructions are not read");
            else if (peek() == '<') node->children.push_back(element(depth + 1));
            else if (peek() == '&') entity(node->text);
            else {
                node->text += peek();
                advance(1);
            }
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
    size_t elements_ = 0;
};

}  // namespace

const XmlElement* XmlElement::child(std::string_view child_name) const {
    for (const auto& element : children) {
        if (element->name == child_name) return element.get();
    }
    return nullptr;
}

std::unique_ptr<XmlElement> parse_xml(std::string_view text) {
    return Reader(text).document();
}

}  // namespace panel::live
