#include "CMarkupSTL.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
struct ErrorCase
{
    const char* text;
    const char* error;
};

// Every message the parser can keep, with the offset it names.
const ErrorCase ErrorCases[] = {
    {"", "Empty document"},
    {" \r\n\t", "No root element"},
    {"just text", "No root element"},
    {"<a/><b/>", "Root element has sibling"},
    {"<a><b></a>", "End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
    {"<a><b><c></a>", "End tag 'a' at offset 10 does not match start tag 'c' at offset 6"},
    {"<a></b></a>", "No start tag for end tag 'b' at offset 3"},
    {"<a></></a>", "No start tag for end tag '' at offset 3"},
    {"<a>text", "Element 'a' at offset 0 not ended"},
    {"<a>< b/></a>", "Incorrect tag name character at offset 3"},
    {"<a><1></a>", "Incorrect tag name character at offset 3"},
    {"<a><!x></a>", "Incorrect ! tag at offset 3"},
    {"<a><!-x--></a>", "Incorrect comment tag at offset 3"},
    {"<a><![X[x]]></a>", "Incorrect tag at offset 3"},
    {"<a><b", "Element tag at offset 3 unterminated"},
    {"<a><b c='>'", "Element tag at offset 3 unterminated"},
    {"<a></a", "Element end tag at offset 3 unterminated"},
    {"<a><![CDATA[x</a>", "CDATA Section at offset 3 unterminated"},
    {"<a><?pi x</a>", "Processing instruction at offset 3 unterminated"},
    {"<a><!-- c </a>", "Comment at offset 3 unterminated"},
    {"<a><!-->", "Comment at offset 3 unterminated"},
    {"<a/><!DOCTYPE a [<!ELEMENT a ANY>", "Doctype at offset 4 unterminated"},
    // The missing root replaces the earlier message.
    {"<!DOCTYPE a [<!ELEMENT a ANY>", "No root element"},
    {"<a/><!ENTITY x", "Doctype at offset 4 unterminated"},
    {"<a/><", "tag at offset 4 unterminated"},
    {"<a/><!", "tag at offset 4 unterminated"},
    // <a b=1/> is a start tag, not an empty element: its slash belongs to the value.
    {"<r><a b=1/></r>", "End tag 'r' at offset 12 does not match start tag 'a' at offset 3"},
    // An end tag whose name only begins with the open element's name does not close it.
    {"<ab><a></ab>", "End tag 'ab' at offset 8 does not match start tag 'a' at offset 4"},
    {"<a><ab></a>", "End tag 'a' at offset 8 does not match start tag 'ab' at offset 3"},
    // Only the first error is kept.
    {"<a><1></b></a>", "Incorrect tag name character at offset 3"},
};

// The name and data of every element, depth first, as one line each.
void Walk(CMarkupSTL& xml, int depth, std::string& out)
{
    while (xml.FindElement()) {
        out += std::string(static_cast<std::size_t>(depth), ' ') + xml.GetTagName() + "=" + xml.GetElementData() + "\n";
        ASSERT_TRUE(xml.EnterElement());
        Walk(xml, depth + 1, out);
        ASSERT_TRUE(xml.LeaveElement());
    }
}
} // namespace

TEST(CMarkupSTL, KeepsFirstErrorWithItsOffset)
{
    for (const ErrorCase& c : ErrorCases) {
        CMarkupSTL xml(c.text);
        EXPECT_EQ(xml.GetError(), c.error) << "document: " << c.text;
        EXPECT_FALSE(xml.IsWellFormed()) << "document: " << c.text;
    }
}

TEST(CMarkupSTL, AcceptsPrologueCommentsAndDeclarations)
{
    CMarkupSTL xml("<?xml version=\"1.0\"?>\r\n<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ATTLIST a b CDATA \"x>\">]>\r\n"
                   "<!-- note --><a b=\"1\"/>\r\n<!-- after -->");
    EXPECT_EQ(xml.GetError(), "");
    EXPECT_TRUE(xml.IsWellFormed());
    EXPECT_TRUE(xml.FindElement("a"));
    EXPECT_EQ(xml.GetAttrib("b"), "1");
}

TEST(CMarkupSTL, EmptyDocumentFindsNothing)
{
    CMarkupSTL xml;
    EXPECT_EQ(xml.GetError(), "Empty document");
    EXPECT_FALSE(xml.FindElement());
    EXPECT_FALSE(xml.FindChildElement());
    EXPECT_FALSE(xml.EnterElement());
    EXPECT_FALSE(xml.LeaveElement());
    EXPECT_EQ(xml.GetElementData(), "");
    CMarkupSTL null(nullptr, 5);
    EXPECT_EQ(null.GetError(), "Empty document");
}

TEST(CMarkupSTL, UnclosedInnerElementStaysChildOfItsParent)
{
    CMarkupSTL xml("<a><b>x</a>");
    ASSERT_TRUE(xml.FindElement("a"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindElement("b"));
    // Never ended: its length is its start tag, so it has no data.
    EXPECT_EQ(xml.GetElementData(), "");
    EXPECT_FALSE(xml.FindElement());
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetTagName(), "a");
}

TEST(CMarkupSTL, ChildrenOfUnendedElementsMoveUpInDocumentOrder)
{
    CMarkupSTL xml("<a><b><c>1</c><d><e>2</e></a>");
    std::string tree;
    Walk(xml, 0, tree);
    EXPECT_EQ(tree, "a=\n b=\n c=1\n d=\n e=2\n");
    EXPECT_EQ(xml.GetError(), "End tag 'a' at offset 26 does not match start tag 'd' at offset 14");
}

TEST(CMarkupSTL, UnmatchedEndTagClosesNothing)
{
    CMarkupSTL xml("<a>x</c>y</a>");
    EXPECT_EQ(xml.GetError(), "No start tag for end tag 'c' at offset 4");
    ASSERT_TRUE(xml.FindElement("a"));
    EXPECT_EQ(xml.GetElementData(), "xy");
}

TEST(CMarkupSTL, BothTopLevelElementsAreReachable)
{
    CMarkupSTL xml("<a>1</a>\r\n<b>2</b>");
    EXPECT_FALSE(xml.IsWellFormed());
    ASSERT_TRUE(xml.FindElement("a"));
    EXPECT_EQ(xml.GetElementData(), "1");
    ASSERT_TRUE(xml.FindElement("b"));
    EXPECT_EQ(xml.GetElementData(), "2");
}

TEST(CMarkupSTL, QuotedGreaterThanDoesNotEndTag)
{
    CMarkupSTL xml("<a t=\"x>y\" u='p>\"q'>data</a>");
    EXPECT_TRUE(xml.IsWellFormed());
    ASSERT_TRUE(xml.FindElement("a"));
    EXPECT_EQ(xml.GetElementData(), "data");
    EXPECT_EQ(xml.GetAttrib("t"), "x>y");
    EXPECT_EQ(xml.GetAttrib("u"), "p>\"q");
    EXPECT_EQ(xml.GetAttrib("v"), "");
}

TEST(CMarkupSTL, DecodesEntitiesAndNumericReferences)
{
    const std::pair<const char*, std::string> cases[] = {
        {"<a>&lt;&amp;&#x41;&#66;&foo;</a>", "<&AB&foo;"},
        {"<a>&gt;&apos;&quot;</a>", ">'\""},
        {"<a>&#2048;</a>", "\xE0\xA0\x80"},
        {"<a>&#xE9;</a>", "\xC3\xA9"},
        {"<a>&#x1F600;</a>", "\xF0\x9F\x98\x80"},
        {"<a>&#x10FFFF;</a>", "\xF4\x8F\xBF\xBF"},
        {"<a>&#0000065;</a>", "A"},
        // Not references: left as written.
        {"<a>&#0;</a>", "&#0;"},
        {"<a>&#xD800;</a>", "&#xD800;"},
        {"<a>&#xDFFF;</a>", "&#xDFFF;"},
        {"<a>&#x110000;</a>", "&#x110000;"},
        {"<a>&#65</a>", "&#65"},
        {"<a>&#x;</a>", "&#x;"},
        {"<a>&#6a;</a>", "&#6a;"},
        {"<a>&#000000065;</a>", "&#000000065;"},
        {"<a>&lt &amp</a>", "&lt &amp"},
        {"<a>a & b</a>", "a & b"},
        {"<a>&&lt;</a>", "&<"},
    };
    for (const auto& c : cases) {
        CMarkupSTL xml(c.first);
        ASSERT_TRUE(xml.FindElement("a")) << c.first;
        EXPECT_EQ(xml.GetElementData(), c.second) << c.first;
    }
}

TEST(CMarkupSTL, DataJoinsTextAndCDataAndDropsComments)
{
    CMarkupSTL xml("<r><a>one <![CDATA[<two> & ]]]]><!-- three -->four<?pi x?></a><b><![CDATA[]]></b></r>");
    ASSERT_TRUE(xml.FindChildElement("a"));
    EXPECT_EQ(xml.GetChildElementData(), "one <two> & ]]four");
    ASSERT_TRUE(xml.FindChildElement("b"));
    EXPECT_EQ(xml.GetChildElementData(), "");
}

TEST(CMarkupSTL, DataIsEmptyForParentsAndEmptyElements)
{
    CMarkupSTL xml("<r>text<c>x</c>more<e/><f></f></r>");
    ASSERT_TRUE(xml.FindElement("r"));
    EXPECT_EQ(xml.GetElementData(), "");
    ASSERT_TRUE(xml.FindChildElement("e"));
    EXPECT_EQ(xml.GetChildElementData(), "");
    ASSERT_TRUE(xml.FindChildElement("f"));
    EXPECT_EQ(xml.GetChildElementData(), "");
}

TEST(CMarkupSTL, KeepsNulBytesOfAnExplicitLength)
{
    const char text[] = "<a>x\0y</a>";
    CMarkupSTL xml(text, sizeof text - 1);
    ASSERT_TRUE(xml.FindElement("a"));
    EXPECT_EQ(xml.GetElementData(), std::string("x\0y", 3));
}

TEST(CMarkupSTL, NamesMatchWholeAndCaseSensitive)
{
    CMarkupSTL xml("<r><ipAddr>1</ipAddr><ip>2</ip><IP>3</IP></r>");
    ASSERT_TRUE(xml.FindElement("r"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindElement("ip"));
    EXPECT_EQ(xml.GetElementData(), "2");
    EXPECT_FALSE(xml.FindElement("ip"));

    CMarkupSTL only("<r><ip>2</ip></r>");
    ASSERT_TRUE(only.FindElement("r"));
    EXPECT_FALSE(only.FindChildElement("ipAddr"));
    EXPECT_FALSE(only.FindChildElement("IP"));
    EXPECT_FALSE(only.FindChildElement("i"));
    EXPECT_TRUE(only.FindChildElement("ip"));
}

TEST(CMarkupSTL, SearchGoesForwardOnly)
{
    CMarkupSTL xml("<r><a>1</a><b>2</b></r>");
    ASSERT_TRUE(xml.FindElement("r"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindElement("b"));
    EXPECT_FALSE(xml.FindElement("a"));
    EXPECT_EQ(xml.GetTagName(), "b");

    // Leaving keeps b as the child position, so child searches go on after it.
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetChildTagName(), "b");
    EXPECT_FALSE(xml.FindChildElement("a"));
    xml.ResetChildPosition();
    EXPECT_TRUE(xml.FindChildElement("a"));
    EXPECT_EQ(xml.GetChildElementData(), "1");
    EXPECT_TRUE(xml.FindChildElement("b"));
    EXPECT_FALSE(xml.FindChildElement("a"));
    EXPECT_EQ(xml.GetChildTagName(), "b");
}

TEST(CMarkupSTL, FindChildElementStartsAtFirstElement)
{
    CMarkupSTL xml("<r><a>1</a></r>");
    ASSERT_TRUE(xml.FindChildElement("a"));
    EXPECT_EQ(xml.GetTagName(), "r");
    EXPECT_EQ(xml.GetChildTagName(), "a");
    ASSERT_TRUE(xml.EnterElement());
    EXPECT_EQ(xml.GetTagName(), "a");
}

TEST(CMarkupSTL, ReadsDeviceReportInTheEngineOrder)
{
    CMarkupSTL xml("<multicastSearchResult>\r\n<productInfo><productSeries>QMX_IPC</productSeries></productInfo>\r\n"
                   "<tcpIp><ipAddr><item><mask>255.255.255.0</mask><ip>192.168.1.64</ip></item>"
                   "<item><ip>10.0.0.2</ip></item></ipAddr><dns1>8.8.8.8</dns1></tcpIp>\r\n"
                   "<port><dataPort>8000</dataPort><httpPort>80</httpPort></port>\r\n"
                   "<productInfo><devName>Gate</devName><build>5</build></productInfo>\r\n"
                   "</multicastSearchResult>\r\n");
    ASSERT_TRUE(xml.FindElement("multicastSearchResult"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindElement("tcpIp"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindElement("ipAddr"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.FindElement("item"));
    ASSERT_TRUE(xml.FindChildElement("ip"));
    EXPECT_EQ(xml.GetChildElementData(), "192.168.1.64");
    xml.ResetChildPosition();
    ASSERT_TRUE(xml.FindChildElement("mask"));
    EXPECT_EQ(xml.GetChildElementData(), "255.255.255.0");
    ASSERT_TRUE(xml.FindElement("item"));
    ASSERT_TRUE(xml.FindChildElement("ip"));
    EXPECT_EQ(xml.GetChildElementData(), "10.0.0.2");
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.FindElement("dns1"));
    EXPECT_EQ(xml.GetElementData(), "8.8.8.8");
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetTagName(), "tcpIp");
    ASSERT_TRUE(xml.FindElement("port"));
    EXPECT_FALSE(xml.FindElement("tcpIp"));
    ASSERT_TRUE(xml.FindElement("productInfo"));
    ASSERT_TRUE(xml.FindChildElement("devName"));
    EXPECT_EQ(xml.GetChildElementData(), "Gate");
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_FALSE(xml.LeaveElement());
}

TEST(CMarkupSTL, DeepNestingNeedsNoRecursion)
{
    const int depth = 100000;
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += "<a>";
    }
    text += "x";
    for (int i = 0; i < depth; ++i) {
        text += "</a>";
    }
    CMarkupSTL xml(text.data(), text.size());
    EXPECT_TRUE(xml.IsWellFormed());
    int level = 0;
    while (xml.FindElement("a") && xml.EnterElement()) {
        ++level;
    }
    EXPECT_EQ(level, depth);
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetElementData(), "x");

    // Never ended at all: every element ends with its start tag, all side by side.
    text.resize(static_cast<std::size_t>(depth) * 3);
    CMarkupSTL open(text.data(), text.size());
    EXPECT_EQ(open.GetError(), "Root element has sibling");
    int count = 0;
    while (open.FindElement("a")) {
        ++count;
    }
    EXPECT_EQ(count, depth);
}

TEST(CMarkupSTL, IndexGrowsPastOneSegment)
{
    const int children = 70000;
    std::string text = "<r>";
    for (int i = 0; i < children; ++i) {
        text += "<i>" + std::to_string(i) + "</i>";
    }
    text += "</r>";
    CMarkupSTL xml(text.data(), text.size());
    ASSERT_TRUE(xml.FindElement("r"));
    ASSERT_TRUE(xml.EnterElement());
    int count = 0;
    while (xml.FindElement("i")) {
        if (xml.GetElementData() != std::to_string(count)) {
            break;
        }
        ++count;
    }
    EXPECT_EQ(count, children);
    // Editing at the far end still keeps every position in step with the text.
    ASSERT_TRUE(xml.AddElement("last", "end"));
    CMarkupSTL again(xml.GetDocument().data(), xml.GetDocument().size());
    EXPECT_TRUE(again.IsWellFormed());
    ASSERT_TRUE(again.FindChildElement("last"));
    EXPECT_EQ(again.GetChildElementData(), "end");
}

TEST(CMarkupSTL, LongNamesEndAtWhitespaceSlashOrGreaterThan)
{
    // Names longer than one 16-byte block, with a control byte that belongs to the name.
    const std::string name = std::string("abcdefghijklmnop") + '\x01' + "qrstuvwxyz0123456789";
    for (const char* end : {">", " >", "\t>", "\r\n>", "/>"}) {
        const bool empty = std::string(end) == "/>";
        const std::string text = "<" + name + end + (empty ? "" : "v</" + name + ">");
        CMarkupSTL xml(text.data(), text.size());
        EXPECT_TRUE(xml.IsWellFormed()) << xml.GetError();
        ASSERT_TRUE(xml.FindElement(name.c_str()));
        EXPECT_EQ(xml.GetTagName(), name);
        EXPECT_EQ(xml.GetElementData(), empty ? "" : "v");
    }
}

TEST(CMarkupSTL, EndTagMayCarrySpaceBeforeItsBracket)
{
    CMarkupSTL xml("<a><b>1</b \r\n></a\t>");
    EXPECT_TRUE(xml.IsWellFormed()) << xml.GetError();
    ASSERT_TRUE(xml.FindChildElement("b"));
    EXPECT_EQ(xml.GetChildElementData(), "1");
}
