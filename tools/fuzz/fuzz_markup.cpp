// Fuzz target for the XML document: parse any bytes, walk and read every element, build a
// copy from what was read and check that the copy reads back the same, both through the
// copy's own edited index and through a fresh parse of its text.
#include "CMarkupSTL.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {
// Names and data the builder can write back unchanged: ordinary names, no NUL bytes.
bool IsPlainName(const std::string& name)
{
    if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) {
        return false;
    }
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.' && c != ':') {
            return false;
        }
    }
    return true;
}

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// Walks every element depth first without recursion, so deep input cannot exhaust the stack.
std::string Tree(CMarkupSTL& xml)
{
    std::string tree;
    int depth = 0;
    for (;;) {
        if (xml.FindElement()) {
            tree += std::to_string(depth) + ":" + xml.GetTagName() + "=" + xml.GetElementData() + "|" +
                    xml.GetAttrib("d") + "\n";
            Check(xml.EnterElement());
            ++depth;
        } else if (depth > 0) {
            Check(xml.LeaveElement());
            --depth;
        } else {
            break;
        }
    }
    return tree;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CMarkupSTL in(reinterpret_cast<const char*>(data), size);
    (void)in.GetError();
    CMarkupSTL out;
    std::string expected;
    bool plain = true;
    int depth = 0;
    for (;;) {
        if (in.FindElement()) {
            const std::string name = in.GetTagName();
            const std::string value = in.GetElementData();
            (void)in.GetAttrib(name.c_str());
            plain = plain && IsPlainName(name) && value.find('\0') == std::string::npos;
            expected += std::to_string(depth) + ":" + name + "=" + value + "|" + value + "\n";
            if (!name.empty()) {
                out.AddElement(name.c_str(), value.c_str());
                out.SetAttribute("d", value.c_str());
            }
            // Child searches from here must agree with entering the element.
            while (in.FindChildElement()) {
                (void)in.GetChildElementData();
                (void)in.GetChildAttrib("d");
            }
            in.ResetChildPosition();
            Check(in.EnterElement());
            out.EnterElement();
            ++depth;
        } else if (depth > 0) {
            Check(in.LeaveElement());
            out.LeaveElement();
            --depth;
        } else {
            break;
        }
    }
    if (plain) {
        out.ResetPos();
        Check(Tree(out) == expected);
        CMarkupSTL parsed(out.GetDocument().data(), out.GetDocument().size());
        Check(Tree(parsed) == expected);
        Check(expected.empty() || parsed.GetError().empty() || parsed.GetError() == "Root element has sibling");
    }
    // Edits on whatever was parsed must keep the object usable.
    in.ResetPos();
    if (in.FindElement()) {
        in.SetAttribute("z", "1<\"'&>");
        in.AddElement("added", "v");
        in.EnterElement();
        in.AddElementNumber("n", -1);
        CMarkupSTL edited(in.GetDocument().data(), in.GetDocument().size());
        (void)Tree(edited);
    }
    return 0;
}
