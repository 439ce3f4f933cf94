#pragma once

#include <climits>

// Base64 encoder (standard alphabet, "=" padding) for the Basic authentication header.
// The line length starts so large that no line break is ever written; a smaller value
// inserts CR LF after every that many output characters.
class CBase64Coder
{
public:
    CBase64Coder() = default;

    void SetLineLength(int length);
    int GetLineLength() const;

    // Room Encode needs for n input bytes with the current line length, terminator included.
    int EncodedSize(int n) const;

    // Encodes n bytes of data into out, which must hold EncodedSize(n) bytes; writes the
    // terminating zero and returns the number of characters before it.
    int Encode(const unsigned char* data, int n, char* out) const;

private:
    int m_lineLength = INT_MAX;
};
