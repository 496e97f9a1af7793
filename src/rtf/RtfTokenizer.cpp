#include "RtfTokenizer.h"

#include <algorithm>

namespace
{

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfTokenizer::RtfTokenizer(QByteArrayView rtf) : m_rtf(rtf) {}

RtfTokenizer::~RtfTokenizer() = default;

bool RtfTokenizer::next(Token &token)
{
    while (m_pos < m_rtf.size()) {
        token = Token{};
        token.offset = m_pos;
        const char c = m_rtf[m_pos];
        if (c == '{' || c == '}') {
            token.kind = c == '{' ? Kind::GroupOpen : Kind::GroupClose;
            ++m_pos;
            return true;
        }
        if (c == '\\') {
            if (backslash(token))
                return true;
        } else if (isLineBreak(c)) {
            ++m_pos; // line breaks in the source are not text
        } else {
            text(token);
            return true;
        }
    }
    return false;
}

// Reads what starts with the backslash at m_pos; false when it stands for nothing.
bool RtfTokenizer::backslash(Token &token)
{
    if (m_pos + 1 >= m_rtf.size()) {
        m_pos = m_rtf.size(); // a lone backslash at the very end
        return false;
    }
    const char next = m_rtf[m_pos + 1];
    if (isLetter(next)) {
        controlWord(token);
        return true;
    }
    if (next == '\'')
        return escape(token);
    token.kind = Kind::ControlSymbol;
    token.byte = next;
    m_pos += 2;
    return true;
}

void RtfTokenizer::controlWord(Token &token)
{
    const qsizetype size = m_rtf.size();
    const qsizetype start = m_pos + 1;
    qsizetype i = start;
    while (i < size && isLetter(m_rtf[i]))
        ++i;
    token.bytes = m_rtf.sliced(start, i - start);

    const bool negative = i + 1 < size && m_rtf[i] == '-' && isDigit(m_rtf[i + 1]);
    if (negative)
        ++i;
    qint64 value = 0;
    for (; i < size && isDigit(m_rtf[i]); ++i) {
        token.hasParameter = true;
        value = std::min<qint64>(kMaxParameter, value * 10 + (m_rtf[i] - '0'));
    }
    token.parameter = int(negative ? -value : value);
    if (i < size && m_rtf[i] == ' ')
        ++i; // the delimiter belongs to the control word
    m_pos = i;

    token.kind = Kind::ControlWord;
    if (token.bytes == "bin") {
        // Binary data of the given length follows; none of it is RTF.
        const qsizetype length =
            token.hasParameter ? std::clamp<qsizetype>(token.parameter, 0, size - m_pos) : 0;
        token.kind = Kind::Binary;
        token.bytes = m_rtf.sliced(m_pos, length);
        m_pos += length;
    } else if (token.bytes == "u" && token.hasParameter) {
        token.kind = Kind::Unicode;
    }
}

// Reads \'hh at m_pos; false for a broken escape, which stands for nothing.
bool RtfTokenizer::escape(Token &token)
{
    const qsizetype size = m_rtf.size();
    const int high = m_pos + 2 < size ? hexValue(m_rtf[m_pos + 2]) : -1;
    const int low = m_pos + 3 < size ? hexValue(m_rtf[m_pos + 3]) : -1;
    if (high < 0 || low < 0) {
        m_pos += high >= 0 ? 3 : 2;
        return false;
    }
    token.kind = Kind::Escape;
    token.byte = char(high * 16 + low);
    m_pos += 4;
    return true;
}

void RtfTokenizer::text(Token &token)
{
    const qsizetype start = m_pos;
    while (m_pos < m_rtf.size()) {
        const char c = m_rtf[m_pos];
        if (c == '{' || c == '}' || c == '\\' || isLineBreak(c))
            break;
        ++m_pos;
    }
    token.kind = Kind::Text;
    token.bytes = m_rtf.sliced(start, m_pos - start);
}
