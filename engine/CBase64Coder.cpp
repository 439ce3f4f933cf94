#include "CBase64Coder.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

void CBase64Coder::SetLineLength(int length)
{
    // A line length below one would break after every character forever; treat it as "no breaks".
    m_lineLength = length > 0 ? length : INT_MAX;
}

int CBase64Coder::GetLineLength() const
{
    return m_lineLength;
}

int CBase64Coder::EncodedSize(int n) const
{
    const int chars = (n + 2) / 3 * 4;
    const int breaks = chars > 0 ? (chars - 1) / m_lineLength : 0;
    return chars + 2 * breaks + 1;
}

int CBase64Coder::Encode(const unsigned char* data, int n, char* out) const
{
    int written = 0;
    int onLine = 0;
    auto put = [&](char c) {
        if (onLine == m_lineLength) {
            out[written++] = '\r';
            out[written++] = '\n';
            onLine = 0;
        }
        out[written++] = c;
        ++onLine;
    };
    for (int i = 0; i < n; i += 3) {
        const int left = n - i;
        const unsigned b0 = data[i];
        const unsigned b1 = left > 1 ? data[i + 1] : 0u;
        const unsigned b2 = left > 2 ? data[i + 2] : 0u;
        const unsigned group = (b0 << 16) | (b1 << 8) | b2;
        put(kAlphabet[(group >> 18) & 0x3F]);
        put(kAlphabet[(group >> 12) & 0x3F]);
        put(left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=');
        put(left > 2 ? kAlphabet[group & 0x3F] : '=');
    }
    out[written] = '\0';
    return written;
}
