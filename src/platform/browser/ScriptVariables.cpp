#include "ScriptVariables.h"

#include <optional>

namespace browser {

namespace {

bool isLineTerminator(QChar c) {
    return c == u'\n' || c == u'\r' || c == u'\x2028' || c == u'\x2029';
}

bool isIdentifierPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

class Scanner {
public:
    explicit Scanner(const QString& source) : m_s(source) {}

    QList<std::pair<QString, QString>> run() {
        while (m_pos < m_s.size()) {
            const QChar c = m_s.at(m_pos);
            if (c.isSpace()) {
                ++m_pos;
            } else if (skipComment()) {
            } else if (c == u'"' || c == u'\'') {
                readString();
                m_regexAllowed = false;
            } else if (c == u'`') {
                skipTemplate();
                m_regexAllowed = false;
            } else if (c == u'/' && m_regexAllowed) {
                skipRegex();
                m_regexAllowed = false;
            } else if (isIdentifierPart(c)) {
                const QString word = readIdentifier();
                const bool declaration = word == QLatin1String("var") && m_depth == 0;
                if (declaration)
                    readDeclarations(); // stops at most after an "="
                m_regexAllowed = declaration || isKeywordBeforeExpression(word);
            } else {
                punctuator(c);
            }
        }
        return m_found;
    }

private:
    static bool isKeywordBeforeExpression(const QString& word) {
        static const char* const kWords[] = {"return",     "typeof", "case",   "do",   "else", "in",
                                             "instanceof", "new",    "delete", "void", "throw"};
        for (const char* keyword : kWords) {
            if (word == QLatin1String(keyword))
                return true;
        }
        return false;
    }

    void punctuator(QChar c) {
        if (c == u'(' || c == u'[' || c == u'{')
            ++m_depth;
        else if ((c == u')' || c == u']' || c == u'}') && m_depth > 0)
            --m_depth;
        m_regexAllowed = !(c == u')' || c == u']' || c == u'}');
        ++m_pos;
    }

    QStringView ahead(qsizetype length) const { return QStringView(m_s).mid(m_pos, length); }

    bool skipComment() {
        // "<!--" opens a line comment too: old pages hide their scripts in one.
        if (ahead(2) == QLatin1String("//") || ahead(4) == QLatin1String("<!--")) {
            while (m_pos < m_s.size() && !isLineTerminator(m_s.at(m_pos)))
                ++m_pos;
            return true;
        }
        if (ahead(2) == QLatin1String("/*")) {
            const qsizetype close = m_s.indexOf(QLatin1String("*/"), m_pos + 2);
            m_pos = close < 0 ? m_s.size() : close + 2;
            return true;
        }
        return false;
    }

    // Skips white space and comments; tells whether a line ended on the way.
    bool skipBlank() {
        bool newline = false;
        while (m_pos < m_s.size()) {
            const QChar c = m_s.at(m_pos);
            if (c.isSpace()) {
                newline = newline || isLineTerminator(c);
                ++m_pos;
            } else if (!skipComment()) {
                break;
            }
        }
        return newline;
    }

    QString readIdentifier() {
        const qsizetype start = m_pos;
        while (m_pos < m_s.size() && isIdentifierPart(m_s.at(m_pos)))
            ++m_pos;
        return m_s.mid(start, m_pos - start);
    }

    void skipTemplate() {
        for (++m_pos; m_pos < m_s.size() && m_s.at(m_pos) != u'`'; ++m_pos) {
            if (m_s.at(m_pos) == u'\\')
                ++m_pos;
        }
        ++m_pos;
    }

    void skipRegex() {
        bool inClass = false;
        for (++m_pos; m_pos < m_s.size() && !isLineTerminator(m_s.at(m_pos)); ++m_pos) {
            const QChar c = m_s.at(m_pos);
            if (c == u'\\')
                ++m_pos;
            else if (c == u'[')
                inClass = true;
            else if (c == u']')
                inClass = false;
            else if (c == u'/' && !inClass)
                break;
        }
        ++m_pos;
    }

    static std::optional<uint> hexValue(QStringView digits) {
        uint value = 0;
        for (const QChar c : digits) {
            const int digit = QStringLiteral("0123456789abcdef").indexOf(c.toLower());
            if (digit < 0 || value > 0x10FFFF)
                return std::nullopt;
            value = value * 16 + uint(digit);
        }
        return digits.isEmpty() ? std::nullopt : std::optional<uint>(value);
    }

    std::optional<uint> readHex(qsizetype digits) {
        const QStringView text = ahead(digits);
        m_pos += digits;
        return text.size() == digits ? hexValue(text) : std::nullopt;
    }

    std::optional<uint> readEscape() {
        const QChar c = m_s.at(m_pos++);
        switch (c.unicode()) {
        case 'n':
            return '\n';
        case 't':
            return '\t';
        case 'r':
            return '\r';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'v':
            return '\v';
        case 'x':
            return readHex(2);
        case 'u': {
            if (m_pos >= m_s.size() || m_s.at(m_pos) != u'{')
                return readHex(4);
            const qsizetype close = m_s.indexOf(u'}', m_pos);
            if (close < 0)
                return std::nullopt;
            const std::optional<uint> value =
                hexValue(QStringView(m_s).mid(m_pos + 1, close - m_pos - 1));
            m_pos = close + 1;
            return value && *value <= 0x10FFFF ? value : std::nullopt;
        }
        default:
            break;
        }
        if (c >= u'0' && c <= u'7') { // legacy octal, at most 0377
            uint value = c.unicode() - '0';
            for (int digits = 1; digits < 3 && m_pos < m_s.size(); ++digits) {
                const QChar next = m_s.at(m_pos);
                if (next < u'0' || next > u'7' || value * 8 + (next.unicode() - '0') > 0377)
                    break;
                value = value * 8 + (next.unicode() - '0');
                ++m_pos;
            }
            return value;
        }
        return c.unicode();
    }

    // Reads a string literal at m_pos; nullopt when it is not well formed.
    std::optional<QString> readString() {
        const QChar quote = m_s.at(m_pos++);
        QString value;
        while (m_pos < m_s.size()) {
            const QChar c = m_s.at(m_pos++);
            if (c == quote)
                return value;
            if (isLineTerminator(c) || (m_pos >= m_s.size() && c == u'\\'))
                return std::nullopt;
            if (c != u'\\') {
                value += c;
                continue;
            }
            if (isLineTerminator(m_s.at(m_pos))) { // line continuation
                m_pos += ahead(2) == QLatin1String("\r\n") ? 2 : 1;
                continue;
            }
            const std::optional<uint> code = readEscape();
            if (!code)
                return std::nullopt;
            // \uD83D\uDE00 spells one character in two halves: keep code units as they are.
            const char32_t codePoint = *code;
            value += *code <= 0xFFFF ? QString(QChar(char16_t(*code)))
                                     : QString::fromUcs4(&codePoint, 1);
        }
        return std::nullopt;
    }

    void readDeclarations() {
        for (;;) {
            skipBlank();
            const QString name = readIdentifier();
            skipBlank();
            if (name.isEmpty() || m_pos >= m_s.size() || m_s.at(m_pos) != u'=' ||
                ahead(2) == QLatin1String("=="))
                return;
            ++m_pos;
            skipBlank();
            if (m_pos >= m_s.size() || (m_s.at(m_pos) != u'"' && m_s.at(m_pos) != u'\''))
                return;
            const std::optional<QString> value = readString();
            if (!value)
                return;
            const bool newline = skipBlank();
            const QChar next = m_pos < m_s.size() ? m_s.at(m_pos) : QChar(u';');
            if (!newline && next != u';' && next != u',' && next != u'}')
                return; // the literal is only part of an expression
            m_found.append({name, *value});
            if (next != u',')
                return;
            ++m_pos;
        }
    }

    const QString& m_s;
    qsizetype m_pos = 0;
    int m_depth = 0;
    bool m_regexAllowed = true;
    QList<std::pair<QString, QString>> m_found;
};

} // namespace

QList<std::pair<QString, QString>> scriptStringVariables(const QString& script) {
    return Scanner(script).run();
}

} // namespace browser
