// The Qt-free SVG surface: each polyline keeps the pen and the cut it was drawn with, text is
// escaped, the last figure is not lost, and numbers keep their point under a decimal-comma locale.
#include "SvgCanvas.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

TEST(SvgCanvas, PolylinesKeepTheirPenAndCutTextIsEscapedNumbersHaveAPoint)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    const bool comma = std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr;
    canvas::SvgCanvas c(100, 50, "a & <b>");
    c.SetPenColor(canvas::clRed);
    c.MoveTo(0, 0);
    c.LineTo(10, 0);
    c.SetClip(5, 5, 20, 20);
    c.LineTo(10, 10);
    c.SetPenColor(canvas::clBlue);
    c.TextOut(3, 4, "x < y & z");
    c.SetPenStyle(canvas::PenStyle::Dash);
    c.MoveToF(1.25, 2.5);
    c.LineToF(3.75, 4.04);
    const std::string doc = c.Document();
    std::setlocale(LC_NUMERIC, previous.c_str());

    EXPECT_TRUE(comma) << "ru_RU.UTF-8 is missing: scripts/deps.sh generates it";
    EXPECT_NE(doc.find("<title>a &amp; &lt;b&gt;</title>"), std::string::npos) << doc;
    EXPECT_NE(doc.find(R"svg(<polyline points="0.5,0.5 10.5,0.5" fill="none" stroke="#ff0000"/>)svg"), std::string::npos) << doc;
    EXPECT_NE(doc.find(R"svg(<polyline points="10.5,0.5 10.5,10.5" fill="none" stroke="#ff0000" clip-path="url(#clip0)"/>)svg"),
              std::string::npos) << doc;
    EXPECT_NE(doc.find(R"svg(<clipPath id="clip0"><rect x="5" y="5" width="15" height="15"/></clipPath>)svg"), std::string::npos) << doc;
    EXPECT_NE(doc.find(">x &lt; y &amp; z</text>"), std::string::npos) << doc;
    EXPECT_NE(doc.find(R"svg(<polyline points="1.3,2.5 3.8,4" fill="none" stroke="#0000ff" stroke-dasharray="4 3" clip-path="url(#clip0)"/>)svg"),
              std::string::npos) << doc;
    EXPECT_TRUE(doc.ends_with("</svg>\n"));
}
