// The image preamble a 588 x 768 cover page must carry, written out literally for the tests.
#pragma once

namespace qor::test {

inline constexpr const char kCoverPagePreamble[] =
    "%%FaxCoverPage: 1 1\n"
    "/temp 588 string def\n"
    "/CSImage 7 dict def\n"
    "CSImage begin\n"
    "    /ImageType 1 def\n"
    "    /Width 588 def\n"
    "    /Height 767 def\n"
    "    /BitsPerComponent 8 def\n"
    "    /ImageMatrix [ 1 0 0 1 0 0 ] def\n"
    "    /DataSource { currentfile temp readhexstring pop } def\n"
    "    /Decode [ 0 1 ] def\n"
    "end\n"
    "12 12 translate\n"
    "/DeviceGray setcolorspace\n"
    "CSImage\n"
    "image\n";

}  // namespace qor::test
