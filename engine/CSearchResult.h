#pragma once

// Reading of the "multicastSearchResult" document that the search library delivers.

#include "DeviceInfo.h"

#include <string>

class CSearchResult
{
public:
    // Fills the fields of info that the document holds, walking its elements strictly
    // forward; fields whose elements are missing keep their value (the caller passes a
    // zero-filled record with its MAC set). Returns false, with info possibly half filled,
    // for a text that is not a well-formed document with the root element, or a device whose
    // first product series lacks "QMX".
    static bool ReadDevice(const char* xml, DEVICE_INFO& info);

    // Reads the result code of a configuration answer ("setIPResult" below the root).
    // Returns false when the text is not a well-formed document that carries one.
    static bool ReadSetIPResult(const char* xml, int& code);

    // The decimal number at the start of text (leading blanks and a sign allowed), 0 when
    // there is none; values beyond int are clamped instead of overflowing.
    static int ParseInt(const std::string& text);
};
