#include "Console.h"

#include "SafeText.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

bool UseColour()
{
    const char* noColour = std::getenv("NO_COLOR");
    return isatty(STDOUT_FILENO) == 1 && (noColour == nullptr || noColour[0] == '\0');
}

std::string Coloured(const std::string& text, int colour)
{
    if (!UseColour()) {
        return text;
    }
    return "\033[" + std::to_string(colour) + "m" + text + "\033[0m";
}

void Message(const std::string& text)
{
    // Messages quote device texts and input: nothing in them may steer the terminal.
    std::cerr << "scanix-cli: " << PrintableText(text) << '\n';
}

std::size_t TextWidth(const std::string& text)
{
    std::size_t width = 0;
    for (const char c : text) {
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return width;
}

std::string FitText(const std::string& text, std::size_t width, bool pad)
{
    std::size_t columns = TextWidth(text);
    if (columns <= width) {
        return pad ? text + std::string(width - columns, ' ') : text;
    }
    // Cut at a character boundary, keeping one column for the mark.
    std::string cut;
    std::size_t used = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && used + 1 >= width) {
            break;
        }
        used += starts ? 1 : 0;
        cut += text[i];
    }
    return cut + "~";
}
