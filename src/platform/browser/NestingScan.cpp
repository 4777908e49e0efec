#include "NestingScan.h"

#include <QByteArray>
#include <QHash>
#include <algorithm>
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
};

const QHash<QByteArray, unsigned>& tagFlags() {
    static const QHash<QByteArray, unsigned> flags = [] {
        QHash<QByteArray, unsigned> table;
        const auto add = [&](const char* names, unsigned flag) {
            for (const QByteArray& name : QByteArray(names).split(' '))
                table[name] |= flag;
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
        return table;
    }();
    return flags;
}

unsigned flagsOf(const QByteArray& name) {
    return tagFlags().value(name);
}

bool isHeading(const QByteArray& name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

enum class Space { Html, Svg, MathMl };

// An element the tree builder holds open.
struct Open {
    QByteArray name;
    unsigned flags;
    int weight; // elements it stands for
    Space space;
};

auto named(QByteArrayView a, QByteArrayView b = {}) {
    return [a, b](const Open& e) {
        return e.name == a || (!b.isNull() && e.name == b);
    };
}

auto flagged(unsigned flag) {
    return [flag](const Open& e) {
        return (e.flags & flag) != 0;
    };
}

auto scopeOr(QByteArrayView a, QByteArrayView b = {}) {
    return [a, b](const Open& e) {
        return (e.flags & Scope) || e.name == a || (!b.isNull() && e.name == b);
    };
}

// Elements an element stands for: a table holds its cells in an implied body
// and row, and a template may hold a cell in an implied body and row too.
int weightOf(const QByteArray& name) {
    return name == "table" ? 3 : name == "template" ? 4 : 1;
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
    bool start(const QByteArray& name, bool selfClosing) {
        unsigned flags = flagsOf(name);
        if (flags & Ignored)
            return false;
        const bool html = !inForeignContent() || (flags & Breakout);
        while ((flags & Breakout) && inForeignContent())
            popTo(int(m_open.size()) - 1); // an HTML element ends the SVG or MathML around it
        if (html) {
            if (inSelect() && !startInSelect(name, flags))
                return false;
            if (name != "table" && (flags & TablePart) && !inTable())
                return false; // the parser ignores table parts outside a table
            closeImplied(name, flags);
            if (flags & Void)
                return false;
        } else {
            flags &= ~(Marker | Formatting | RawText);
        }
        if (selfClosing && (!html || (flags & Foreign)))
            return false;
        const Space space = !html            ? m_open.back().space
                            : name == "svg"  ? Space::Svg
                            : name == "math" ? Space::MathMl
                                             : Space::Html;
        m_open.push_back({name, flags, weightOf(name), space});
        m_weight += m_open.back().weight;
        if (flags & Formatting) {
            m_active.push_back(name);
            ++m_formatting;
        }
        if (flags & Marker)
            m_active.push_back(QByteArray());
        m_deepest = std::max(m_deepest, kImplied + m_weight + m_formatting);
        return flags & RawText;
    }

    void end(const QByteArray& name) {
        const unsigned flags = flagsOf(name);
        if (flags & Ignored)
            return;
        if (inForeignElement() && name != "p" && name != "br" && endForeign(name))
            return;
        if (inSelect() && !endInSelect(name, flags))
            return;
        if (name == "option" || name == "optgroup" || name == "form")
            closeCurrent(name); // the parser keeps what a form holds open, if it still is
        else if (flags & Formatting)
            endFormatting(name);
        else if (isHeading(name))
            popTo(find([](const Open& e) { return isHeading(e.name); }, flagged(Scope)));
        else if (flags & TablePart)
            popTo(find(named(name), flagged(TableScope)));
        else if (name == "p")
            popTo(find(named(name), scopeOr("button")));
        else if (name == "li")
            popTo(find(named(name), scopeOr("ul", "ol")));
        else
            popTo(find(named(name), flagged((flags & ScopeByName) ? Scope : Special)));
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
        const auto holdsHtml = [&](std::initializer_list<const char*> names) {
            return std::any_of(names.begin(), names.end(),
                               [&](const char* name) { return current.name == name; });
        };
        return current.space == Space::MathMl ? !holdsHtml({"mi", "mo", "mn", "ms", "mtext"})
                                              : !holdsHtml({"foreignobject", "desc", "title"});
    }

    // Whether the parser takes table parts: inside a table, and not in a template inside it.
    bool inTable() const {
        const int holder = find(named("table", "template"), flagged(0));
        return holder >= 0 && m_open[size_t(holder)].name == "table";
    }

    // An end tag among SVG or MathML elements closes the innermost of its name
    // before any HTML element; true when it did.
    bool endForeign(const QByteArray& name) {
        for (int i = int(m_open.size()) - 1; i >= 0 && m_open[size_t(i)].space != Space::Html;
             --i) {
            if (m_open[size_t(i)].name == name) {
                popTo(i);
                return true;
            }
        }
        return false;
    }

    // Whether the parser reads tags as in a drop-down list: a select with only options inside.
    bool inSelect() const {
        for (auto open = m_open.rbegin(); open != m_open.rend(); ++open) {
            if (open->name != "option" && open->name != "optgroup")
                return open->name == "select" && open->space == Space::Html;
        }
        return false;
    }

    // A start tag in a drop-down list: most are ignored, some end the list first.
    bool startInSelect(const QByteArray& name, unsigned flags) {
        if (name == "option" || name == "optgroup" || name == "script" || name == "template")
            return true;
        const bool endsList = name == "select" || name == "input" || name == "keygen" ||
                              name == "textarea" || ((flags & TablePart) && inTable());
        if (endsList)
            popTo(find(named("select"), flagged(0)));
        return endsList && name != "select";
    }

    bool endInSelect(const QByteArray& name, unsigned flags) {
        const bool endsList = (flags & TablePart) && inTable();
        if (endsList)
            popTo(find(named("select"), flagged(0)));
        return endsList || name == "select" || name == "option" || name == "optgroup" ||
               name == "template";
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

    void closeImplied(const QByteArray& name, unsigned flags) {
        if (flags & ClosesP)
            popTo(find(named("p"), scopeOr("button")));
        // A list item ends the one before it, unless a block other than these lies between.
        const auto blockBetweenItems = [](const Open& e) {
            return (e.flags & Special) && e.name != "address" && e.name != "div" && e.name != "p";
        };
        if (name == "li")
            popTo(find(named("li"), blockBetweenItems));
        else if (name == "dd" || name == "dt")
            popTo(find(named("dd", "dt"), blockBetweenItems));
        else if (name == "td" || name == "th")
            popTo(find(named("td", "th"), flagged(TableScope)));
        else if (name == "tr")
            popTo(find(named("tr"), flagged(TableScope)));
        else if (name == "tbody" || name == "thead" || name == "tfoot")
            popTo(find(
                [](const Open& e) {
                    return e.name == "tbody" || e.name == "thead" || e.name == "tfoot";
                },
                flagged(TableScope)));
        else if (name == "a" || name == "nobr")
            endFormatting(name); // the one before ends first
        else if (name == "button")
            popTo(find(named(name), flagged(Scope)));
        if (name == "option" || name == "optgroup")
            closeCurrent("option");
        if (name == "optgroup")
            closeCurrent("optgroup");
    }

    void closeCurrent(const char* name) {
        if (!m_open.empty() && m_open.back().name == name)
            popTo(int(m_open.size()) - 1);
    }

    // Closes a formatting element as the adoption agency does: where a block
    // lies inside it, the parser keeps as many elements open as before.
    void endFormatting(const QByteArray& name) {
        bool blockInside = false;
        for (int i = int(m_open.size()) - 1; i >= 0; --i) {
            const Open& open = m_open[size_t(i)];
            if (open.name == name) {
                if (!blockInside) {
                    popTo(i);
                    forget(name);
                }
                return;
            }
            if (open.flags & Scope)
                return;
            blockInside = blockInside || (open.flags & Special);
        }
        forget(name); // no longer open: the parser stops reopening it
    }

    void forget(const QByteArray& name) {
        for (size_t i = m_active.size(); i > 0 && !m_active[i - 1].isNull(); --i) {
            if (m_active[i - 1] == name) {
                m_active.erase(m_active.begin() + qsizetype(i - 1));
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
                while (!m_active.empty() && !m_active.back().isNull()) {
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
    std::vector<QByteArray> m_active; // formatting element names; null for a marker
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
        const QByteArray name = m_text.sliced(start, m_at - start).toByteArray().toLower();
        bool selfClosing = false;
        if (!attributes(selfClosing))
            return false; // a tag cut off by the end of the text is dropped
        if (isEnd) {
            m_elements.end(name);
            return true;
        }
        if (!m_elements.start(name, selfClosing))
            return true;
        const bool more =
            name == "script" ? skipScript() : name != "plaintext" && skipToEndTag(name);
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
    bool skipToEndTag(const QByteArray& name) {
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
    OpenElements m_elements;
};

} // namespace

int nestingDepth(QByteArrayView utf8, int limit) {
    return Scanner(utf8).run(limit);
}

} // namespace browser
