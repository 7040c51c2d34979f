#pragma once
// Every test that turns numbers into text runs on a German (",") and an English (".") host.

#include <gtest/gtest.h>

#include <string>

#include "core/host.h"
#include "session/session.h"
#include "support/fake_port.h"

namespace kursolin::test {

inline HostSettings hostWith(char sep) {
  return sep == ',' ? HostSettings::german() : HostSettings::english();
}

/// A session on a scripted port, for a test parameterised by the decimal separator.
class HostTest : public ::testing::TestWithParam<char> {
 protected:
  HostTest() : session(port, hostWith(GetParam())) {}
  char sep() const { return GetParam(); }
  /// The text with its first "." shown as the host separator.
  std::string h(std::string t) const {
    auto p = t.find('.');
    if (p != std::string::npos) t[p] = GetParam();
    return t;
  }
  ScriptedPort port;
  Session session;
};

inline std::string sepName(const ::testing::TestParamInfo<char>& info) {
  return info.param == ',' ? "CommaHost" : "PointHost";
}

#define KURSOLIN_ON_BOTH_HOSTS(Suite) \
  INSTANTIATE_TEST_SUITE_P(Hosts, Suite, ::testing::Values(',', '.'), ::kursolin::test::sepName)

}  // namespace kursolin::test
