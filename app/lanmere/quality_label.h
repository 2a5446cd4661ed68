// The print quality wizard's test label: its format's field lines for a model, and the messages
// that define it, print it with the candidate settings and give the printer its own settings
// back. Texts are in the control-character notation.
#pragma once

#include <string>
#include <vector>

namespace tarvo::app::lanmere {

// The field lines of the test label format for `model`. Fields 42 (sensitivity), 43 (darkness)
// and 44 (speed) are variable; field 45 shows the resolution.
std::vector<std::string> QualityLabelFields(int model);

// What one print asks for.
struct QualityPrint {
    int count = 1;  // labels, 1..99
    int sensitivity = 0;
    int darkness = 0;
    int mediaType = 0;
    int speed = 0;  // the speed key the label names
    bool metric = false;
    int location = 0;  // the format to print (the operator's or the temporary one)
};

// "<SI>d-05<SI>g1,420": darkness and media type with sensitivity, as the printer takes them.
std::string QualitySettings(int darkness, int mediaType, int sensitivity);

// The print request of the standard label: the format, the settings, the count and the three
// variable fields ("0420", "-05", "3.0 ips").
std::string QualityPrintRequest(const QualityPrint& print);

// "E05;F05,TESTPRNT;" and the field lines, cut into messages of at most `limit` characters (a
// line longer than the limit goes alone).
std::vector<std::string> QualityFormatMessages(int location, int model, std::size_t limit);

}  // namespace tarvo::app::lanmere
