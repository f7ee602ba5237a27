#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// A pull reader over UTF-8 XML that hands out element names and raw text without converting the
// document to UTF-16: a large sheet is read several times faster than with QXmlStreamReader.
// Mismatched or unclosed elements, stray markup, bad character references, raw control
// characters and document type declarations are errors.
class XmlScanner
{
public:
    enum class Token { StartElement, EndElement, Characters, EndDocument, Invalid };

    explicit XmlScanner(QByteArrayView data);

    Token ReadNext();
    // The local name (prefix left out) of the element just started or ended.
    QByteArrayView Name() const { return name; }
    // The value of an attribute of the element just started, by its qualified name; empty when
    // it is missing.
    QByteArray Attribute(QByteArrayView qualifiedName) const;
    // Appends the text just read, references resolved and line ends made "\n".
    void AppendText(QByteArray& out) const;
    // Reads past the end of the element just started.
    bool SkipCurrentElement() { return ReadPastElement(nullptr); }
    // Reads past the end of the element just started, appending its text and that of the
    // elements within it.
    bool ReadElementText(QByteArray& out) { return ReadPastElement(&out); }

private:
    Token Fail();
    bool ReadPastElement(QByteArray* text);
    bool ReadStartTag();
    bool ReadEndTag();
    bool ReadText();

    const char* at;
    const char* end;
    QByteArrayView name;
    const char* attributesBegin = nullptr;
    const char* attributesEnd = nullptr;
    const char* textBegin = nullptr;
    const char* textEnd = nullptr;
    bool textIsRaw = false;
    bool pendingEnd = false;
    bool rootSeen = false;
    bool failed = false;
    std::vector<QByteArrayView> open;
};
