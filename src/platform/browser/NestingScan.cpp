#include "NestingScan.h"

#include <algorithm>
#include <array>
#include <gumbo.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace browser {

namespace {

enum TagFlag : unsigned {
    Void = 1u << 0,         // never holds anything
    Special = 1u << 1,      // stops the search for a formatting or unknown element to close
    Formatting = 1u << 2,   // reopened by the parser where it was closed implicitly
    Marker = 1u << 3,       // hides the formatting elements opened before it
    Scope = 1u << 4,        // bounds the search for an element to close
    TableScope = 1u << 5,   // bounds the search for a table part to close
    ClosesP = 1u << 6,      // its start tag ends an open paragraph
    RawText = 1u << 7,      // holds text only, up to its end tag
    Foreign = 1u << 8,      // opens SVG or MathML content
    Ignored = 1u << 9,      // merged into an open element, or (a frameset) cheap to nest
    ScopeByName = 1u << 10, // its end tag closes it if it is in scope
    Breakout = 1u << 11,    // read by HTML rules even inside SVG or MathML
    TablePart = 1u << 12,   // ignored outside a table
    Heading = 1u << 13,     // its end tag closes any heading
};

// Elements go by the parser's own tag numbers, so the scan has rules for exactly
// the elements the parser has rules for; any other name gets a number past those.
using Tag = int;
constexpr Tag kNoTag = -1;  // no element has it
constexpr Tag kMarker = -2; // in the list of formatting elements

const std::array<unsigned, GUMBO_TAG_UNKNOWN>& tagFlags() {
    static const auto flags = [] {
        std::array<unsigned, GUMBO_TAG_UNKNOWN> table{};
        const auto add = [&](std::string_view names, unsigned flag) {
            while (!names.empty()) {
                const size_t space = std::min(names.find(' '), names.size());
                const GumboTag tag = gumbo_tagn_enum(names.data(), unsigned(space));
                if (tag != GUMBO_TAG_UNKNOWN) // else the parser treats it as any other element
                    table[tag] |= flag;
                names.remove_prefix(std::min(space + 1, names.size()));
            }
        };
        add("area base basefont bgsound br col embed frame hr image img input keygen link meta "
            "param source track wbr",
            Void);
        add("address applet area article aside base basefont bgsound blockquote body br button "
            "caption center col colgroup dd details dir div dl dt embed fieldset figcaption "
            "figure footer form frame frameset h1 h2 h3 h4 h5 h6 head header hgroup hr html "
            "iframe img input keygen li link listing main marquee menu meta nav noembed noframes "
            "noscript object ol p param plaintext pre script search section select source style "
            "summary table tbody td template textarea tfoot th thead title tr track ul wbr xmp "
            "mi mo mn ms mtext annotation-xml foreignobject desc",
            Special);
        add("a b big code em font i nobr s small strike strong tt u", Formatting);
        add("applet caption marquee object template td th", Marker);
        add("applet caption html table td th marquee object template mi mo mn ms mtext "
            "annotation-xml foreignobject desc title",
            Scope);
        add("html table template", TableScope);
        add("address article aside blockquote center details dialog dir div dl fieldset "
            "figcaption figure footer header hgroup main menu nav ol p search section summary ul "
            "h1 h2 h3 h4 h5 h6 pre listing form plaintext xmp hr li dd dt",
            ClosesP);
        add("script style xmp iframe noembed noframes textarea title plaintext", RawText);
        add("svg math", Foreign);
        add("table tbody thead tfoot tr td th caption colgroup", TablePart);
        add("html head body frameset", Ignored);
        add("b big blockquote body br center code dd div dl dt em embed h1 h2 h3 h4 h5 h6 head "
            "hr i img li listing menu meta nobr ol p pre ruby s small span strong strike sub sup "
            "table tt u ul var font",
            Breakout);
        add("address applet article aside blockquote button center details dialog dir div dl "
            "fieldset figcaption figure footer form header hgroup listing main marquee menu nav "
            "object ol pre search section select summary ul dd dt h1 h2 h3 h4 h5 h6",
            ScopeByName);
        add("h1 h2 h3 h4 h5 h6", Heading);
        return table;
    }();
    return flags;
}

unsigned flagsOf(Tag tag) {
    return tag >= 0 && tag < GUMBO_TAG_UNKNOWN ? tagFlags()[size_t(tag)] : 0;
}

// Numbers the tag names of one page: the parser's number where it knows the
// name, else one for each name in lower case, so that an end tag finds its element.
class TagNames {
public:
    Tag of(QByteArrayView name) {
        const GumboTag known = gumbo_tagn_enum(name.data(), unsigned(name.size()));
        if (known != GUMBO_TAG_UNKNOWN)
            return known;
        std::string lower(name.data(), size_t(name.size()));
        for (char& c : lower)
            c = c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
        const Tag next = GUMBO_TAG_LAST + Tag(m_others.size());
        return m_others.try_emplace(std::move(lower), next).first->second;
    }

private:
    std::unordered_map<std::string, Tag> m_others;
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

enum class Space { Html, Svg, MathMl };

// An element the tree builder holds open.
struct Open {
    Tag tag;
    unsigned flags;
    int weight; // elements it stands for
    Space space;
};

auto named(Tag a, Tag b = kNoTag) {
    return [a, b](const Open& e) {
        return e.tag == a || e.tag == b;
    };
}

auto flagged(unsigned flag) {
    return [flag](const Open& e) {
        return (e.flags & flag) != 0;
    };
}

auto scopeOr(Tag a, Tag b = kNoTag) {
    return [a, b](const Open& e) {
        return (e.flags & Scope) || e.tag == a || e.tag == b;
    };
}

bool isTableSection(Tag tag) {
    return tag == GUMBO_TAG_TBODY || tag == GUMBO_TAG_THEAD || tag == GUMBO_TAG_TFOOT;
}

// Elements an element stands for: a table holds its cells in an implied body
// and row, and a template may hold a cell in an implied body and row too.
int weightOf(Tag tag) {
    return tag == GUMBO_TAG_TABLE ? 3 : tag == GUMBO_TAG_TEMPLATE ? 4 : 1;
}

// The open elements as the tree builder would hold them, and the formatting
// elements it would reopen.
class OpenElements {
public:
    // The most elements open at once so far, with those the parser may reopen.
    int deepest() const { return m_deepest; }
    // Whether the current element is an SVG or MathML one, where "<![CDATA[" begins text.
    bool inForeignElement() const { return !m_open.empty() && m_open.back().space != Space::Html; }

    // Opens the element; true when the parser reads what follows as its text, up to its end tag.
    bool start(Tag tag, bool selfClosing) {
        unsigned flags = flagsOf(tag);
        if (flags & Ignored)
            return false;
        const bool html = !inForeignContent() || (flags & Breakout);
        while ((flags & Breakout) && inForeignContent())
            popTo(int(m_open.size()) - 1); // an HTML element ends the SVG or MathML around it
        if (html) {
            if (inSelect() && !startInSelect(tag, flags))
                return false;
            if (tag != GUMBO_TAG_TABLE && (flags & TablePart) && !inTable())
                return false; // the parser ignores table parts outside a table
            closeImplied(tag, flags);
            if (flags & Void)
                return false;
        } else {
            flags &= ~(Marker | Formatting | RawText);
        }
        if (selfClosing && (!html || (flags & Foreign)))
            return false;
        const Space space = !html                   ? m_open.back().space
                            : tag == GUMBO_TAG_SVG  ? Space::Svg
                            : tag == GUMBO_TAG_MATH ? Space::MathMl
                                                    : Space::Html;
        m_open.push_back({tag, flags, weightOf(tag), space});
        m_weight += m_open.back().weight;
        if (flags & Formatting) {
            m_active.push_back(tag);
            ++m_formatting;
        }
        if (flags & Marker)
            m_active.push_back(kMarker);
        m_deepest = std::max(m_deepest, kImplied + m_weight + m_formatting);
        return flags & RawText;
    }

    void end(Tag tag) {
        const unsigned flags = flagsOf(tag);
        if (flags & Ignored)
            return;
        if (inForeignElement() && tag != GUMBO_TAG_P && tag != GUMBO_TAG_BR && endForeign(tag))
            return;
        if (inSelect() && !endInSelect(tag, flags))
            return;
        if (tag == GUMBO_TAG_OPTION || tag == GUMBO_TAG_OPTGROUP || tag == GUMBO_TAG_FORM)
            closeCurrent(tag); // the parser keeps what a form holds open, if it still is
        else if (flags & Formatting)
            endFormatting(tag);
        else if (flags & Heading)
            popTo(find(flagged(Heading), flagged(Scope)));
        else if (flags & TablePart)
            popTo(find(named(tag), flagged(TableScope)));
        else if (tag == GUMBO_TAG_P)
            popTo(find(named(tag), scopeOr(GUMBO_TAG_BUTTON)));
        else if (tag == GUMBO_TAG_LI)
            popTo(find(named(tag), scopeOr(GUMBO_TAG_UL, GUMBO_TAG_OL)));
        else
            popTo(find(named(tag), flagged((flags & ScopeByName) ? Scope : Special)));
    }

    // Closes the element whose text was just read.
    void closeText() { popTo(int(m_open.size()) - 1); }

private:
    static constexpr int kImplied = 2; // html and body

    // Whether the parser reads start tags by the rules of SVG or MathML: inside
    // such an element, unless it is one that holds HTML.
    bool inForeignContent() const {
        if (!inForeignElement())
            return false;
        const Open& current = m_open.back();
        const auto holdsHtml = [&](std::initializer_list<Tag> tags) {
            return std::find(tags.begin(), tags.end(), current.tag) != tags.end();
        };
        return current.space == Space::MathMl
                   ? !holdsHtml(
                         {GUMBO_TAG_MI, GUMBO_TAG_MO, GUMBO_TAG_MN, GUMBO_TAG_MS, GUMBO_TAG_MTEXT})
                   : !holdsHtml({GUMBO_TAG_FOREIGNOBJECT, GUMBO_TAG_DESC, GUMBO_TAG_TITLE});
    }

    // Whether the parser takes table parts: inside a table, and not in a template inside it.
    bool inTable() const {
        const int holder = find(named(GUMBO_TAG_TABLE, GUMBO_TAG_TEMPLATE), flagged(0));
        return holder >= 0 && m_open[size_t(holder)].tag == GUMBO_TAG_TABLE;
    }

    // An end tag among SVG or MathML elements closes the innermost of its name
    // before any HTML element; true when it did.
    bool endForeign(Tag tag) {
        for (int i = int(m_open.size()) - 1; i >= 0 && m_open[size_t(i)].space != Space::Html;
             --i) {
            if (m_open[size_t(i)].tag == tag) {
                popTo(i);
                return true;
            }
        }
        return false;
    }

    // Whether the parser reads tags as in a drop-down list: a select with only options inside.
    bool inSelect() const {
        for (auto open = m_open.rbegin(); open != m_open.rend(); ++open) {
            if (open->tag != GUMBO_TAG_OPTION && open->tag != GUMBO_TAG_OPTGROUP)
                return open->tag == GUMBO_TAG_SELECT && open->space == Space::Html;
        }
        return false;
    }

    // A start tag in a drop-down list: most are ignored, some end the list first.
    bool startInSelect(Tag tag, unsigned flags) {
        if (tag == GUMBO_TAG_OPTION || tag == GUMBO_TAG_OPTGROUP || tag == GUMBO_TAG_SCRIPT ||
            tag == GUMBO_TAG_TEMPLATE)
            return true;
        const bool endsList = tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_INPUT ||
                              tag == GUMBO_TAG_KEYGEN || tag == GUMBO_TAG_TEXTAREA ||
                              ((flags & TablePart) && inTable());
        if (endsList)
            popTo(find(named(GUMBO_TAG_SELECT), flagged(0)));
        return endsList && tag != GUMBO_TAG_SELECT;
    }

    bool endInSelect(Tag tag, unsigned flags) {
        const bool endsList = (flags & TablePart) && inTable();
        if (endsList)
            popTo(find(named(GUMBO_TAG_SELECT), flagged(0)));
        return endsList || tag == GUMBO_TAG_SELECT || tag == GUMBO_TAG_OPTION ||
               tag == GUMBO_TAG_OPTGROUP || tag == GUMBO_TAG_TEMPLATE;
    }

    // The innermost open element that matches, unless one where the search stops comes first.
    template <class Match, class Stop> int find(Match match, Stop stop) const {
        for (int i = int(m_open.size()) - 1; i >= 0; --i) {
            if (match(m_open[size_t(i)]))
                return i;
            if (stop(m_open[size_t(i)]))
                return -1;
        }
        return -1;
    }

    void closeImplied(Tag tag, unsigned flags) {
        if (flags & ClosesP)
            popTo(find(named(GUMBO_TAG_P), scopeOr(GUMBO_TAG_BUTTON)));
        // A list item ends the one before it, unless a block other than these lies between.
        const auto blockBetweenItems = [](const Open& e) {
            return (e.flags & Special) && e.tag != GUMBO_TAG_ADDRESS && e.tag != GUMBO_TAG_DIV &&
                   e.tag != GUMBO_TAG_P;
        };
        if (tag == GUMBO_TAG_LI)
            popTo(find(named(GUMBO_TAG_LI), blockBetweenItems));
        else if (tag == GUMBO_TAG_DD || tag == GUMBO_TAG_DT)
            popTo(find(named(GUMBO_TAG_DD, GUMBO_TAG_DT), blockBetweenItems));
        else if (tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH)
            popTo(find(named(GUMBO_TAG_TD, GUMBO_TAG_TH), flagged(TableScope)));
        else if (tag == GUMBO_TAG_TR)
            popTo(find(named(GUMBO_TAG_TR), flagged(TableScope)));
        else if (isTableSection(tag))
            popTo(find([](const Open& e) { return isTableSection(e.tag); }, flagged(TableScope)));
        else if (tag == GUMBO_TAG_A || tag == GUMBO_TAG_NOBR)
            endFormatting(tag); // the one before ends first
        else if (tag == GUMBO_TAG_BUTTON)
            popTo(find(named(tag), flagged(Scope)));
        if (tag == GUMBO_TAG_OPTION || tag == GUMBO_TAG_OPTGROUP)
            closeCurrent(GUMBO_TAG_OPTION);
        if (tag == GUMBO_TAG_OPTGROUP)
            closeCurrent(GUMBO_TAG_OPTGROUP);
    }

    void closeCurrent(Tag tag) {
        if (!m_open.empty() && m_open.back().tag == tag)
            popTo(int(m_open.size()) - 1);
    }

    // Closes a formatting element as the adoption agency does: where a block
    // lies inside it, the parser keeps as many elements open as before.
    void endFormatting(Tag tag) {
        bool blockInside = false;
        for (int i = int(m_open.size()) - 1; i >= 0; --i) {
            const Open& open = m_open[size_t(i)];
            if (open.tag == tag) {
                if (!blockInside) {
                    popTo(i);
                    forget(tag);
                }
                return;
            }
            if (open.flags & Scope)
                return;
            blockInside = blockInside || (open.flags & Special);
        }
        forget(tag); // no longer open: the parser stops reopening it
    }

    void forget(Tag tag) {
        for (size_t i = m_active.size(); i > 0 && m_active[i - 1] != kMarker; --i) {
            if (m_active[i - 1] == tag) {
                m_active.erase(m_active.begin() + std::ptrdiff_t(i - 1));
                --m_formatting;
                return;
            }
        }
    }

    void popTo(int index) {
        while (index >= 0 && int(m_open.size()) > index) {
            const Open& open = m_open.back();
            m_weight -= open.weight;
            if (open.flags & Marker) {
                while (!m_active.empty() && m_active.back() != kMarker) {
                    m_active.pop_back();
                    --m_formatting;
                }
                if (!m_active.empty())
                    m_active.pop_back();
            }
            m_open.pop_back();
        }
    }

    std::vector<Open> m_open;
    std::vector<Tag> m_active; // formatting elements; kMarker for a marker
    int m_weight = 0;
    int m_formatting = 0;
    int m_deepest = kImplied;
};

class Scanner {
public:
    explicit Scanner(QByteArrayView text) : m_text(text) {}

    int run(int limit) {
        while (m_at < m_text.size() && m_elements.deepest() <= limit) {
            const qsizetype open = m_text.indexOf('<', m_at);
            if (open < 0)
                break;
            m_at = open + 1;
            if (!markup())
                break;
        }
        return m_elements.deepest();
    }

private:
    char at(qsizetype i) const { return i < m_text.size() ? m_text[i] : '\0'; }
    static bool isLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

    // Reads what follows a "<"; false when the rest of the text holds no more markup.
    bool markup() {
        const char c = at(m_at);
        if (c == '!') {
            if (m_text.sliced(m_at).startsWith("!--"))
                return comment();
            if (m_elements.inForeignElement() && m_text.sliced(m_at).startsWith("![CDATA["))
                return skipPast("]]>");
            return skipPast(">");
        }
        if (c == '?')
            return skipPast(">");
        if (c == '/') {
            if (isLetter(at(m_at + 1))) {
                ++m_at;
                return tag(true);
            }
            return skipPast(">");
        }
        return isLetter(c) ? tag(false) : true;
    }

    bool comment() {
        m_at += 3;
        // "<!-->" and "<!--->" end where they begin.
        const qsizetype abrupt = at(m_at) == '>'                          ? 1
                                 : at(m_at) == '-' && at(m_at + 1) == '>' ? 2
                                                                          : 0;
        if (abrupt > 0) {
            m_at += abrupt;
            return true;
        }
        // It ends at "-->" or "--!>".
        for (qsizetype dashes = m_text.indexOf("--", m_at); dashes >= 0;
             dashes = m_text.indexOf("--", dashes + 1)) {
            const qsizetype end = at(dashes + 2) == '>'                            ? dashes + 3
                                  : at(dashes + 2) == '!' && at(dashes + 3) == '>' ? dashes + 4
                                                                                   : 0;
            if (end > 0) {
                m_at = end;
                return true;
            }
        }
        return false;
    }

    bool skipPast(const char* marker) {
        const qsizetype end = m_text.indexOf(marker, m_at);
        if (end < 0)
            return false;
        m_at = end + qsizetype(qstrlen(marker));
        return true;
    }

    bool tag(bool isEnd) {
        const qsizetype start = m_at;
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '/' &&
               m_text[m_at] != '>')
            ++m_at;
        const QByteArrayView name = m_text.sliced(start, m_at - start);
        bool selfClosing = false;
        if (!attributes(selfClosing))
            return false; // a tag cut off by the end of the text is dropped
        const Tag tag = m_names.of(name);
        if (isEnd) {
            m_elements.end(tag);
            return true;
        }
        if (!m_elements.start(tag, selfClosing))
            return true;
        const bool more = tag == GUMBO_TAG_SCRIPT
                              ? skipScript()
                              : tag != GUMBO_TAG_PLAINTEXT && skipToEndTag(name);
        m_elements.closeText();
        return more;
    }

    bool attributes(bool& selfClosing) {
        while (m_at < m_text.size()) {
            const char c = m_text[m_at];
            if (isSpace(c)) {
                ++m_at;
            } else if (c == '>') {
                ++m_at;
                return true;
            } else if (c == '/') {
                ++m_at;
                selfClosing = at(m_at) == '>';
            } else {
                attribute();
            }
        }
        return false;
    }

    void attribute() {
        ++m_at; // the first character belongs to the name, even "="
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '/' &&
               m_text[m_at] != '>' && m_text[m_at] != '=')
            ++m_at;
        while (isSpace(at(m_at)))
            ++m_at;
        if (at(m_at) != '=')
            return;
        ++m_at;
        while (isSpace(at(m_at)))
            ++m_at;
        const char quote = at(m_at);
        if (quote == '"' || quote == '\'') {
            const qsizetype close = m_text.indexOf(quote, m_at + 1);
            m_at = close < 0 ? m_text.size() : close + 1;
            return;
        }
        while (m_at < m_text.size() && !isSpace(m_text[m_at]) && m_text[m_at] != '>')
            ++m_at;
    }

    // Whether the text at `at` is the tag name `name` followed by a space, "/" or ">".
    bool isTagName(qsizetype at, QByteArrayView name) const {
        const char after = this->at(at + name.size());
        return at + name.size() <= m_text.size() &&
               m_text.sliced(at, name.size()).compare(name, Qt::CaseInsensitive) == 0 &&
               (isSpace(after) || after == '/' || after == '>');
    }

    // Past raw text to its end tag.
    bool skipToEndTag(QByteArrayView name) {
        for (qsizetype end = m_text.indexOf("</", m_at); end >= 0;
             end = m_text.indexOf("</", end + 2)) {
            if (isTagName(end + 2, name)) {
                m_at = end;
                return true;
            }
        }
        return false;
    }

    // Past a script to its end tag, through the escapes in which "<!--" hides a "<script>"
    // and so the next "</script>".
    bool skipScript() {
        enum class Escape { None, Single, Double } escape = Escape::None;
        for (qsizetype i = m_at; i < m_text.size(); ++i) {
            const char c = m_text[i];
            if (c == '>' && escape != Escape::None && at(i - 1) == '-' && at(i - 2) == '-') {
                escape = Escape::None;
            } else if (c != '<') {
                continue;
            } else if (escape == Escape::None && m_text.sliced(i).startsWith("<!--")) {
                escape = Escape::Single;
                i += 3;
                if (at(i + 1) == '>')
                    escape = Escape::None;
            } else if (escape == Escape::Single && isTagName(i + 1, "script")) {
                escape = Escape::Double;
            } else if (at(i + 1) == '/' && isTagName(i + 2, "script")) {
                if (escape != Escape::Double) {
                    m_at = i;
                    return true;
                }
                escape = Escape::Single;
            }
        }
        return false;
    }

    QByteArrayView m_text;
    qsizetype m_at = 0;
    TagNames m_names;
    OpenElements m_elements;
};

} // namespace

int nestingDepth(QByteArrayView utf8, int limit) {
    return Scanner(utf8).run(limit);
}

} // namespace browser
