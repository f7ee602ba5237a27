#include "XmlScanner.h"

#include <cstring>
#include <string_view>

namespace
{

bool IsNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}

bool IsNameChar(unsigned char c)
{
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

const char* SkipBlanks(const char* p, const char* end)
{
    while (p < end && IsBlank(*p))
        ++p;
    return p;
}

const char* SkipName(const char* p, const char* end)
{
    if (p == end || !IsNameStart(static_cast<unsigned char>(*p)))
        return p;
    while (p < end && IsNameChar(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

QByteArrayView LocalName(QByteArrayView qualifiedName)
{
    const auto colon =
        std::string_view(qualifiedName.data(), size_t(qualifiedName.size())).rfind(':');
    return colon == std::string_view::npos ? qualifiedName
                                           : qualifiedName.sliced(qsizetype(colon) + 1);
}

bool IsXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Reads the reference at `p` (its "&") and moves past its ";".
bool ReadReference(const char*& p, const char* end, char32_t& code)
{
    const char* semicolon = static_cast<const char*>(std::memchr(p, ';', size_t(end - p)));
    if (!semicolon)
        return false;
    const std::string_view body(p + 1, size_t(semicolon - p - 1));
    p = semicolon + 1;
    if (body == "lt")
        code = '<';
    else if (body == "gt")
        code = '>';
    else if (body == "amp")
        code = '&';
    else if (body == "quot")
        code = '"';
    else if (body == "apos")
        code = '\'';
    else if (body.size() >= 2 && body[0] == '#') {
        const bool hex = body[1] == 'x';
        const std::string_view digits = body.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return false;
        code = 0;
        for (const char c : digits) {
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            if (digit < 0)
                return false;
            code = code * (hex ? 16 : 10) + char32_t(digit);
        }
        return IsXmlCharacter(code);
    } else {
        return false;
    }
    return true;
}

// Text or an attribute value up to `end`: raw control characters, "<" and bad references fail.
bool IsWellFormedText(const char* p, const char* end)
{
    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '&') {
            char32_t code = 0;
            if (!ReadReference(p, end, code))
                return false;
            continue;
        }
        if (c == '<' || (c < 0x20 && !IsBlank(char(c))))
            return false;
        ++p;
    }
    return true;
}

void AppendUtf8(QByteArray& out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6))).append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)))
            .append(char(0x80 | ((c >> 6) & 0x3F)))
            .append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)))
            .append(char(0x80 | ((c >> 12) & 0x3F)))
            .append(char(0x80 | ((c >> 6) & 0x3F)))
            .append(char(0x80 | (c & 0x3F)));
    }
}

// Appends checked text; a raw "\r\n" or "\r" is a line end, "\n", as for any XML reader.
void Decode(const char* p, const char* end, bool raw, QByteArray& out)
{
    while (p < end) {
        const char* run = p;
        while (p < end && *p != '\r' && (raw || *p != '&'))
            ++p;
        out.append(run, p - run);
        if (p == end)
            break;
        if (*p == '\r') {
            out.append('\n');
            ++p;
            if (p < end && *p == '\n')
                ++p;
        } else {
            char32_t code = 0;
            ReadReference(p, end, code);
            AppendUtf8(out, code);
        }
    }
}

const char* Find(const char* p, const char* end, std::string_view what)
{
    const auto found = std::string_view(p, size_t(end - p)).find(what);
    return found == std::string_view::npos ? nullptr : p + found;
}

} // namespace

XmlScanner::XmlScanner(QByteArrayView data) : at(data.data()), end(data.data() + data.size())
{
    if (data.startsWith("\xEF\xBB\xBF"))
        at += 3;
}

XmlScanner::Token XmlScanner::Fail()
{
    failed = true;
    return Token::Invalid;
}

XmlScanner::Token XmlScanner::ReadNext()
{
    if (failed)
        return Token::Invalid;
    if (pendingEnd) {
        pendingEnd = false;
        name = LocalName(open.back());
        open.pop_back();
        return Token::EndElement;
    }
    while (at < end) {
        const std::string_view rest(at, size_t(end - at));
        if (*at != '<') {
            if (!ReadText())
                return Fail();
            if (!open.empty())
                return Token::Characters;
            if (SkipBlanks(textBegin, textEnd) != textEnd)
                return Fail();
        } else if (rest.starts_with("</")) {
            return ReadEndTag() ? Token::EndElement : Fail();
        } else if (rest.starts_with("<?") || rest.starts_with("<!--")) {
            const bool instruction = rest[1] == '?';
            const char* close = Find(at + 2, end, instruction ? "?>" : "-->");
            if (!close)
                return Fail();
            at = close + (instruction ? 2 : 3);
        } else if (rest.starts_with("<![CDATA[")) {
            const char* close = Find(at + 9, end, "]]>");
            if (!close || open.empty())
                return Fail();
            textBegin = at + 9;
            textEnd = close;
            textIsRaw = true;
            at = close + 3;
            return Token::Characters;
        } else {
            // Document types are refused: no workbook part has one, and their entities could
            // make a small part expand enormously.
            if (rest.starts_with("<!") || (open.empty() && rootSeen))
                return Fail();
            return ReadStartTag() ? Token::StartElement : Fail();
        }
    }
    return open.empty() && rootSeen ? Token::EndDocument : Fail();
}

bool XmlScanner::ReadText()
{
    textBegin = at;
    const char* less = static_cast<const char*>(std::memchr(at, '<', size_t(end - at)));
    textEnd = less ? less : end;
    textIsRaw = false;
    at = textEnd;
    return IsWellFormedText(textBegin, textEnd);
}

bool XmlScanner::ReadStartTag()
{
    const char* p = at + 1;
    const char* nameEnd = SkipName(p, end);
    if (nameEnd == p)
        return false;
    const QByteArrayView qualifiedName(p, nameEnd - p);
    p = nameEnd;
    attributesBegin = p;
    bool selfClosing = false;
    for (;;) {
        const char* before = p;
        p = SkipBlanks(p, end);
        if (p == end)
            return false;
        if (*p == '>' || *p == '/') {
            selfClosing = *p == '/';
            if (selfClosing && (p + 1 == end || p[1] != '>'))
                return false;
            attributesEnd = p;
            p += selfClosing ? 2 : 1;
            break;
        }
        const char* attributeEnd = SkipName(p, end);
        if (p == before || attributeEnd == p)
            return false;
        p = SkipBlanks(attributeEnd, end);
        if (p == end || *p != '=')
            return false;
        p = SkipBlanks(p + 1, end);
        if (p == end || (*p != '"' && *p != '\''))
            return false;
        const char* close = static_cast<const char*>(std::memchr(p + 1, *p, size_t(end - p - 1)));
        if (!close || !IsWellFormedText(p + 1, close))
            return false;
        p = close + 1;
    }
    open.push_back(qualifiedName);
    rootSeen = true;
    name = LocalName(qualifiedName);
    pendingEnd = selfClosing;
    at = p;
    return true;
}

bool XmlScanner::ReadEndTag()
{
    const char* p = at + 2;
    const char* nameEnd = SkipName(p, end);
    const QByteArrayView qualifiedName(p, nameEnd - p);
    p = SkipBlanks(nameEnd, end);
    if (p == end || *p != '>' || open.empty() || open.back() != qualifiedName)
        return false;
    name = LocalName(qualifiedName);
    open.pop_back();
    at = p + 1;
    return true;
}

QByteArray XmlScanner::Attribute(QByteArrayView qualifiedName) const
{
    // The tag was checked when it was read: only its structure is followed here.
    const char* p = attributesBegin;
    while (true) {
        p = SkipBlanks(p, attributesEnd);
        if (p == attributesEnd)
            return QByteArray();
        const char* nameEnd = SkipName(p, attributesEnd);
        const QByteArrayView attribute(p, nameEnd - p);
        p = SkipBlanks(SkipBlanks(nameEnd, attributesEnd) + 1, attributesEnd);
        const char* close =
            static_cast<const char*>(std::memchr(p + 1, *p, size_t(attributesEnd - p - 1)));
        if (attribute == qualifiedName) {
            QByteArray value;
            Decode(p + 1, close, false, value);
            return value;
        }
        p = close + 1;
    }
}

void XmlScanner::AppendText(QByteArray& out) const
{
    Decode(textBegin, textEnd, textIsRaw, out);
}

bool XmlScanner::ReadPastElement(QByteArray* text)
{
    for (int depth = 1; depth > 0;) {
        switch (ReadNext()) {
        case Token::StartElement:
            ++depth;
            break;
        case Token::EndElement:
            --depth;
            break;
        case Token::Characters:
            if (text)
                AppendText(*text);
            break;
        default:
            return false;
        }
    }
    return true;
}
