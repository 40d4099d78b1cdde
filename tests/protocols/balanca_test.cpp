// The scale's answer and speed texts.
#include "driver/protocols/balanca/balanca.h"

#include <gtest/gtest.h>

namespace {

using tarvo::balanca::PayloadBalanca;
using tarvo::balanca::VelocidadeBalanca;

TEST(Balanca, ThePayloadRunsFromAfterTheFirstStxToTheFinalEtx) {
    EXPECT_EQ(PayloadBalanca("\x02"
                             "01250\x03"),
              "01250");
    EXPECT_EQ(PayloadBalanca("lixo\x02"
                             "01250\x03"),
              "01250");                               // noise before STX
    EXPECT_EQ(PayloadBalanca("01250\x03"), "01250");  // no STX: from the first byte
    EXPECT_EQ(PayloadBalanca("\x02"
                             "a\x02"
                             "b\x03"),
              "a\x02"
              "b");  // only the first STX counts
    EXPECT_EQ(PayloadBalanca("\x02"
                             "a\x03"
                             "b\x03"),
              "a\x03"
              "b");  // only the final ETX ends it
    EXPECT_EQ(PayloadBalanca("\x02\x03"), "");
    EXPECT_EQ(PayloadBalanca("\x03"), "");
    EXPECT_EQ(PayloadBalanca("\x03\x02\x03"), "");
}

TEST(Balanca, TheSpeedIsMatchedOnTheWholeText) {
    bool ok = false;
    EXPECT_EQ(VelocidadeBalanca("1200", &ok), 1200);
    EXPECT_TRUE(ok);
    EXPECT_EQ(VelocidadeBalanca("1"), 1200);
    EXPECT_EQ(VelocidadeBalanca("2400"), 2400);
    EXPECT_EQ(VelocidadeBalanca("2"), 2400);
    EXPECT_EQ(VelocidadeBalanca("4800"), 4800);
    EXPECT_EQ(VelocidadeBalanca("4"), 4800);
    EXPECT_EQ(VelocidadeBalanca("9600", &ok), 9600);
    EXPECT_TRUE(ok);
    for (const char* outra : {"19200", "", "12", "2400 ", "48000", "x"}) {
        EXPECT_EQ(VelocidadeBalanca(outra, &ok), 9600) << outra;
        EXPECT_FALSE(ok) << outra;
    }
}

}  // namespace
