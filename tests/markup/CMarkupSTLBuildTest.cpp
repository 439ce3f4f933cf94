#include "CMarkupSTL.h"

#include <string>

#include <gtest/gtest.h>

namespace {
// Names, attributes "id" and data of every element, depth first.
void Walk(CMarkupSTL& xml, int depth, std::string& out)
{
    while (xml.FindElement()) {
        out += std::string(static_cast<std::size_t>(depth), ' ') + xml.GetTagName() + "[" + xml.GetAttrib("id") +
               "]=" + xml.GetElementData() + "\n";
        ASSERT_TRUE(xml.EnterElement());
        Walk(xml, depth + 1, out);
        ASSERT_TRUE(xml.LeaveElement());
    }
}

std::string Tree(CMarkupSTL& xml)
{
    std::string out;
    Walk(xml, 0, out);
    return out;
}
} // namespace

TEST(CMarkupSTL, BuildsConfigDocumentWithCrLf)
{
    CMarkupSTL xml;
    ASSERT_TRUE(xml.AddElement("config"));
    ASSERT_TRUE(xml.SetAttribute("version", "2.0"));
    ASSERT_TRUE(xml.SetAttribute("xmlns", "http://www.example.com/ver20/XMLSchema"));
    EXPECT_EQ(xml.GetDocument(), "<config version=\"2.0\" xmlns=\"http://www.example.com/ver20/XMLSchema\"/>\r\n");
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddElement("port"));
    EXPECT_EQ(xml.GetDocument(),
              "<config version=\"2.0\" xmlns=\"http://www.example.com/ver20/XMLSchema\">\r\n"
              "<port/>\r\n"
              "</config>\r\n");
}

TEST(CMarkupSTL, BuildsNestedPortBody)
{
    CMarkupSTL xml;
    ASSERT_TRUE(xml.AddElement("config"));
    ASSERT_TRUE(xml.SetAttribute("version", "1.0"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddElement("port"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddElementNumber("httpPort", 80));
    ASSERT_TRUE(xml.SetAttribute("type", "int"));
    ASSERT_TRUE(xml.AddElementNumber("rtspPort", -554));
    ASSERT_TRUE(xml.LeaveElement());
    ASSERT_TRUE(xml.AddElement("user", "admin"));
    ASSERT_TRUE(xml.LeaveElement());
    EXPECT_EQ(xml.GetDocument(),
              "<config version=\"1.0\">\r\n"
              "<port>\r\n"
              "<httpPort type=\"int\">80</httpPort>\r\n"
              "<rtspPort>-554</rtspPort>\r\n"
              "</port>\r\n"
              "<user>admin</user>\r\n"
              "</config>\r\n");
    EXPECT_EQ(xml.GetTagName(), "config");
}

TEST(CMarkupSTL, EscapesValues)
{
    CMarkupSTL xml;
    ASSERT_TRUE(xml.AddElement("v", "a<b&c>d'e\"f"));
    ASSERT_TRUE(xml.SetAttribute("q", "x\"y<'&>"));
    EXPECT_EQ(xml.GetDocument(), "<v q=\"x&quot;y&lt;&apos;&amp;&gt;\">a&lt;b&amp;c&gt;d'e\"f</v>\r\n");
    CMarkupSTL back(xml.GetDocument().c_str());
    ASSERT_TRUE(back.FindElement("v"));
    EXPECT_EQ(back.GetElementData(), "a<b&c>d'e\"f");
    EXPECT_EQ(back.GetAttrib("q"), "x\"y<'&>");
}

TEST(CMarkupSTL, ReplacesOrInsertsAttributes)
{
    const struct
    {
        const char* text;
        const char* name;
        const char* value;
        const char* expected;
    } cases[] = {
        {"<a b='1' c=\"2\"/>", "b", "9", "<a b=\"9\" c=\"2\"/>"},
        {"<a b='1' c=\"2\"/>", "c", "", "<a b='1' c=\"\"/>"},
        {"<a b='1' c=\"2\"/>", "d", "4", "<a b='1' c=\"2\" d=\"4\"/>"},
        {"<a />", "x", "1", "<a x=\"1\" />"},
        {"<a/>", "x", "1", "<a x=\"1\"/>"},
        {"<a b=1>t</a>", "b", "2", "<a b=\"2\">t</a>"},
        {"<a bb=\"1\"></a>", "b", "2", "<a bb=\"1\" b=\"2\"></a>"},
        {"<a b = \"1\" >t</a>", "b", "2", "<a b = \"2\" >t</a>"},
        {"<a c=\"b=1\"/>", "b", "2", "<a c=\"b=1\" b=\"2\"/>"},
    };
    for (const auto& c : cases) {
        CMarkupSTL xml(c.text);
        ASSERT_TRUE(xml.FindElement("a")) << c.text;
        ASSERT_TRUE(xml.SetAttribute(c.name, c.value)) << c.text;
        EXPECT_EQ(xml.GetDocument(), c.expected) << c.text;
        EXPECT_EQ(xml.GetAttrib(c.name), c.value) << c.text;
    }
}

TEST(CMarkupSTL, EditsKeepLaterPositionsInStep)
{
    CMarkupSTL xml("<r>\r\n<a>1</a>\r\n<b><c>2</c></b>\r\n</r>\r\n");
    ASSERT_TRUE(xml.FindElement("r"));
    ASSERT_TRUE(xml.SetAttribute("id", "root"));
    ASSERT_TRUE(xml.FindChildElement("a"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.SetAttribute("id", "first"));
    ASSERT_TRUE(xml.AddElement("n", "new"));
    ASSERT_TRUE(xml.FindElement("b"));
    ASSERT_TRUE(xml.FindChildElement("c"));
    EXPECT_EQ(xml.GetChildElementData(), "2");
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.SetAttribute("id", "deep"));
    const char* expected = "r[root]=\n a[first]=1\n n[]=new\n b[]=\n  c[deep]=2\n";
    xml.ResetPos();
    EXPECT_EQ(Tree(xml), expected);
    CMarkupSTL parsed(xml.GetDocument().c_str());
    EXPECT_TRUE(parsed.IsWellFormed());
    EXPECT_EQ(Tree(parsed), expected);
}

TEST(CMarkupSTL, AddsFirstChildToElementWithEmptyContent)
{
    CMarkupSTL xml("<p></p>");
    ASSERT_TRUE(xml.FindElement("p"));
    ASSERT_TRUE(xml.EnterElement());
    ASSERT_TRUE(xml.AddElement("x"));
    ASSERT_TRUE(xml.AddElement("y", "1"));
    EXPECT_EQ(xml.GetDocument(), "<p>\r\n<x/>\r\n<y>1</y>\r\n</p>");
}

TEST(CMarkupSTL, AddsTopLevelElementsAtTheEnd)
{
    CMarkupSTL xml("<a/>");
    ASSERT_TRUE(xml.AddElement("b"));
    EXPECT_EQ(xml.GetDocument(), "<a/><b/>\r\n");
    ASSERT_TRUE(xml.AddElement("c"));
    EXPECT_EQ(xml.GetDocument(), "<a/><b/>\r\n<c/>\r\n");
}

TEST(CMarkupSTL, RefusesEditsItCannotMake)
{
    CMarkupSTL xml;
    EXPECT_FALSE(xml.SetAttribute("a", "1"));
    EXPECT_FALSE(xml.AddElement(""));
    EXPECT_FALSE(xml.AddElement(nullptr));
    EXPECT_FALSE(xml.AddElement("a", "v", 0x10));
    EXPECT_EQ(xml.GetDocument(), "");
    ASSERT_TRUE(xml.AddElement("a"));
    EXPECT_FALSE(xml.SetAttribute("", "1"));
}

TEST(CMarkupSTL, BuildThenParseGivesSameTree)
{
    CMarkupSTL xml;
    ASSERT_TRUE(xml.AddElement("root"));
    ASSERT_TRUE(xml.SetAttribute("id", "r&\"1\""));
    ASSERT_TRUE(xml.EnterElement());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(xml.AddElement("group"));
        ASSERT_TRUE(xml.SetAttribute("id", std::to_string(i).c_str()));
        ASSERT_TRUE(xml.EnterElement());
        for (int j = 0; j < i + 1; ++j) {
            ASSERT_TRUE(xml.AddElementNumber("value", i * 10 + j));
        }
        ASSERT_TRUE(xml.AddElement("text", "<&>"));
        ASSERT_TRUE(xml.LeaveElement());
    }
    ASSERT_TRUE(xml.LeaveElement());
    const std::string expected = "root[r&\"1\"]=\n"
                                 " group[0]=\n  value[]=0\n  text[]=<&>\n"
                                 " group[1]=\n  value[]=10\n  value[]=11\n  text[]=<&>\n"
                                 " group[2]=\n  value[]=20\n  value[]=21\n  value[]=22\n  text[]=<&>\n";
    // The edited object's own index, then a fresh parse of its text.
    xml.ResetPos();
    EXPECT_EQ(Tree(xml), expected);
    CMarkupSTL parsed(xml.GetDocument().c_str());
    EXPECT_TRUE(parsed.IsWellFormed());
    EXPECT_EQ(Tree(parsed), expected);
}

TEST(CMarkupSTL, CopiesAreIndependent)
{
    CMarkupSTL original("<r><a>1</a></r>");
    ASSERT_TRUE(original.FindChildElement("a"));
    CMarkupSTL copy = original;
    ASSERT_TRUE(copy.EnterElement());
    ASSERT_TRUE(copy.AddElement("b", "2"));
    original.SetDocument("<x>9</x>");
    EXPECT_EQ(copy.GetDocument(), "<r><a>1</a><b>2</b>\r\n</r>");
    copy.ResetPos();
    ASSERT_TRUE(copy.FindChildElement("b"));
    EXPECT_EQ(copy.GetChildElementData(), "2");
    CMarkupSTL assigned;
    assigned = copy;
    copy = CMarkupSTL("<y/>");
    assigned.ResetPos();
    ASSERT_TRUE(assigned.FindChildElement("a"));
    EXPECT_EQ(assigned.GetChildElementData(), "1");
}
