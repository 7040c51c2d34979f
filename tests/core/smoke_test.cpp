#include <gtest/gtest.h>
#include "support/hosts.h"
#include "core/numtext.h"
using namespace kursolin;
TEST(Smoke, Builds) { test::ScriptedPort p; Session s(p, HostSettings::german()); EXPECT_EQ(PZD(s, "0.00"), "0,00"); }
