// A stored print template whose character formats nest 10 000 deep is refused as unreadable; the print
// control keeps what it had.
#include "TestApp.h"
#include "documents/SbRoutienen.h"
#include "platform/richtext/ScribantPro.h"
#include "platform/richtext/VeluDoc.h"

#include <gtest/gtest.h>

namespace velu {
namespace {

TEST(DruckvorlageTiefe, DeepTemplateIsRefusedAndTheControlKeepsItsText) {
    testApp();
    richtext::ScribantPro c;
    QString text = "<velu-doc version=\"1\"><p>vorher</p></velu-doc>", format = richtext::VeluDocFormat;
    ASSERT_TRUE(documents::SBPasteData(c, text, format, 0, richtext::ScribantPro::Body));
    QString tief = "<velu-doc version=\"1\"><p>";
    for (int i = 0; i < 10000; ++i)
        tief += "<u>";
    tief += "x";
    for (int i = 0; i < 10000; ++i)
        tief += "</u>";
    tief += "</p></velu-doc>";
    format = richtext::VeluDocFormat;
    EXPECT_FALSE(documents::SBPasteData(c, tief, format, 0, richtext::ScribantPro::Body));
    EXPECT_EQ(c.Text(), "vorher");
}

} // namespace
} // namespace velu
