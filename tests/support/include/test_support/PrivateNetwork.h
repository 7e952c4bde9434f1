// The rule for tests that send real packets (the wizard's connection checks, Adapset
// /check): they run only inside a private network namespace of their own, where the
// only interfaces are loopback and the test modem's veth pair (scripts/test.sh and
// scripts/demo.sh set it up; scripts/modem.sh adds the modem). Anywhere else such a
// test must not start the program; tests that cannot have the namespace use
// recording doubles of the checks instead.
#pragma once
#include <string>

namespace TestSupport {

// Empty when every network interface Wine's session sees is loopback or one of the
// modem's (tpc, tmodem); otherwise a message naming the others.
std::string PrivateNetworkProblem();

}  // namespace TestSupport
